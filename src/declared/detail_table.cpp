#include "declared/detail_table.h"

#include "core/retag.h"
#include "core/text.h"
#include "dbaccess/conexion.h"
#include "dbaccess/general.h"
#include "dbaccess/table_reads.h"
#include "declared/statement_text.h"
#include "kolvar/error.h"

namespace kolvar::declared {

DetailTable::DetailTable(const DetailLayout& layout) : layout_(&layout) {
  for (const DetailColumn& c : layout.columns) values_.push_back(ZeroOf(c.type));
}

std::size_t DetailTable::indexOf(std::string_view name) const {
  for (std::size_t i = 0; i < layout_->columns.size(); ++i)
    if (text::EqualsNoCase(layout_->columns[i].name, name)) return i;
  Raise(err::kNoMember);
}

Value DetailTable::property(std::string_view name) const {
  return values_[indexOf(name)];
}

void DetailTable::property(std::string_view name, const Value& v) {
  property(indexOf(name), v);
}

void DetailTable::property(std::size_t column, const Value& v) {
  values_.at(column) = ConvertTo(layout_->columns.at(column).type, v);
}

Value DetailTable::CargarDatos(std::int32_t csdo) {
  return WithTag(layout_->loadTag, [&] {
    return SelectBuffer(std::string(layout_->loadQuery) + std::to_string(csdo), 0);
  });
}

bool DetailTable::InsertarDatos(const Value& csdo, const Value& csci) {
  std::vector<std::string> texts{csdo.toString()};
  for (const Value& v : values_) texts.push_back(v.toString());
  std::vector<Value> params = LiteralValues(std::move(texts));
  params.insert(params.begin(), Value(csci.toString()));
  Conexion().execute(
      std::string(layout_->insertHead) + " VALUES ( " + Placeholders(params.size()) + ")", params);
  return true;
}

bool DetailTable::ModificarDatos(const Value& csdo, const Value& csci) {
  std::string sql(layout_->updateHead);
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (i > 0) sql += "', ";
    sql += std::string(layout_->columns[i].name) + " = '" + values_[i].toString();
  }
  sql += "'" + std::string(layout_->updateWhereCsdo) + csdo.toString() +
         std::string(layout_->updateAndCsci) + csci.toString();
  Conexion().execute(sql);
  return true;
}

bool DetailTable::DuplicarDatosPropios(std::int32_t lngCSCI, std::int32_t lngCSCIOrg,
                                       std::int32_t lngCSDO, std::int32_t lngCSDOrg) {
  auto rs = Conexion().openRecordset(std::string(layout_->copyQuery) + std::to_string(lngCSCIOrg) +
                                     " and CSDO = " + std::to_string(lngCSDOrg));
  while (!rs->eof()) {
    std::vector<std::string> texts;
    for (int j = 0; j < rs->fieldCount(); ++j) texts.push_back(StoredText(rs->field(j)));
    Conexion().execute(std::string(layout_->copyInsertHead) + " VALUES ( " +
                       std::to_string(lngCSCI) + ", " + std::to_string(lngCSDO) + ", '" +
                       JoinQuoted(texts) + "')");
    rs->moveNext();
  }
  rs->close();
  return true;
}

void DetailTable::Validar(const Value& vBuffer, Value& vBufferErrores) {
  layout_->validate(vBuffer, vBufferErrores);
}

std::optional<DetailTable> DetailOfBook(std::string_view cdtl) {
  const DetailLayout* layout = LayoutOfBook(cdtl);
  if (!layout) return std::nullopt;
  return DetailTable(*layout);
}

}  // namespace kolvar::declared
