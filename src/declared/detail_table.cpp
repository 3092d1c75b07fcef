#include "declared/detail_table.h"

#include "core/retag.h"
#include "core/text.h"
#include "dbaccess/conexion.h"
#include "dbaccess/general.h"
#include "dbaccess/sql_literal.h"
#include "dbaccess/table_reads.h"
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
    return SelectBuffer(std::string(layout_->loadQuery) + SqlNumber(csdo), 0);
  });
}

// The keys are Longs whatever the client passed; the values are held in their
// columns' types already.
bool DetailTable::InsertarDatos(const Value& csdo, const Value& csci) {
  std::vector<std::string> texts{SqlNumber(csdo.toLong())};
  for (const Value& v : values_) texts.push_back(SqlValueText(v));
  std::vector<Value> params = SqlTextValues(texts);
  params.insert(params.begin(), Value(csci.toLong()));
  Conexion().execute(
      std::string(layout_->insertHead) + " VALUES ( " + SqlParameters(params.size()) + ")", params);
  return true;
}

bool DetailTable::ModificarDatos(const Value& csdo, const Value& csci) {
  const std::string keyCsdo = SqlNumber(csdo.toLong()), keyCsci = SqlNumber(csci.toLong());
  std::string sql(layout_->updateHead);
  for (std::size_t i = 0; i < values_.size(); ++i) {
    if (i > 0) sql += ", ";
    sql += std::string(layout_->columns[i].name) + " = " + SqlText(SqlValueText(values_[i]));
  }
  sql += std::string(layout_->updateWhereCsdo) + keyCsdo + std::string(layout_->updateAndCsci) +
         keyCsci;
  Conexion().execute(sql);
  return true;
}

bool DetailTable::DuplicarDatosPropios(std::int32_t lngCSCI, std::int32_t lngCSCIOrg,
                                       std::int32_t lngCSDO, std::int32_t lngCSDOrg) {
  auto rs = Conexion().openRecordset(std::string(layout_->copyQuery) + SqlNumber(lngCSCIOrg) +
                                     " and CSDO = " + SqlNumber(lngCSDOrg));
  while (!rs->eof()) {
    std::vector<std::string> texts;
    for (int j = 0; j < rs->fieldCount(); ++j) texts.push_back(SqlValueText(rs->field(j)));
    Conexion().execute(std::string(layout_->copyInsertHead) + " VALUES ( " + SqlNumber(lngCSCI) +
                       ", " + SqlNumber(lngCSDO) + ", " + SqlTexts(texts) + ")");
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
