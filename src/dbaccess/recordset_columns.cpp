#include "dbaccess/recordset_columns.h"

#include "core/text.h"
#include "kolvar/error.h"

namespace kolvar::db {

void RecordsetColumns::addColumn(std::string name, std::optional<ColumnType> type) {
  lowerNames_.push_back(text::LowerAscii(name));
  names_.push_back(std::move(name));
  types_.push_back(type);
}

void RecordsetColumns::requireOpen() const {
  if (!isOpen()) Raise(err::kObjectInvalid);
}

void RecordsetColumns::requireField(int index) const {
  if (index < 0 || index >= columns()) Raise(err::kItemNotFound);
}

int RecordsetColumns::fieldCount() const {
  requireOpen();
  return columns();
}

const std::string& RecordsetColumns::fieldName(int index) const {
  requireOpen();
  requireField(index);
  return names_[static_cast<std::size_t>(index)];
}

int RecordsetColumns::fieldIndex(std::string_view name) const {
  requireOpen();
  const std::string wanted = text::LowerAscii(name);
  for (std::size_t i = 0; i < lowerNames_.size(); ++i)
    if (lowerNames_[i] == wanted) return static_cast<int>(i);
  Raise(err::kItemNotFound,
        "Elemento no encontrado en esta colección: '" + std::string(name) + "'.");
}

}  // namespace kolvar::db
