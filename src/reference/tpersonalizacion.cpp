#include "reference/tpersonalizacion.h"

#include "core/text.h"
#include "dbaccess/conexion.h"
#include "dbaccess/sql_literal.h"

namespace kolvar {

namespace {

// The first column of the only row as trimmed text, or `fallback` without a
// row. A Null there is error 94.
std::string StoredText(std::string_view sql, std::string fallback) {
  auto rs = Conexion().openRecordset(sql);
  if (!rs->eof()) fallback = text::Trim(rs->field(0).toString());
  rs->close();
  return fallback;
}

}  // namespace

std::string cTPersonalizacion::ObtenerIdioma() const {
  return StoredText("select Idioma from tgeneral", "C");
}

std::int16_t cTPersonalizacion::ObtenerActOnline() const {
  return Value(StoredText("select ActOnline from tgeneral", "0")).toInteger();
}

Value cTPersonalizacion::GuardarIdioma() const {
  // The letter goes into the literal unchanged.
  Conexion().execute("Update tgeneral Set Idioma =" + SqlText(idioma_));
  return Value();
}

Value cTPersonalizacion::GuardarActOnline() const {
  Conexion().execute("Update tGeneral Set ActOnline =" + SqlNumber(std::int32_t{actOnline_}));
  return Value();
}

}  // namespace kolvar
