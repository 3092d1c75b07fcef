// What the result sets of both engines share: their columns, by position and
// by name without regard to case, each with the described type of the table
// column it reads (none for a computed column).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbaccess/engine.h"
#include "dbaccess/schema.h"

namespace kolvar::db {

class RecordsetColumns : public Recordset {
 public:
  int fieldCount() const override;
  const std::string& fieldName(int index) const override;
  int fieldIndex(std::string_view name) const override;
  using Recordset::field;

 protected:
  void addColumn(std::string name, std::optional<ColumnType> type);
  void requireOpen() const;            // 3420 once closed
  void requireField(int index) const;  // 3265 outside the columns
  int columns() const { return static_cast<int>(names_.size()); }
  const std::optional<ColumnType>& describedType(int index) const {
    return types_[static_cast<std::size_t>(index)];
  }

 private:
  std::vector<std::string> names_;
  std::vector<std::string> lowerNames_;
  std::vector<std::optional<ColumnType>> types_;
};

}  // namespace kolvar::db
