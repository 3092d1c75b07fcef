#include "reference/tlecmdb.h"

#include <string_view>

#include "core/text.h"
#include "dbaccess/conexion.h"
#include "dbaccess/sql_literal.h"

namespace kolvar {

namespace {

// A description statement up to the code's literal, per language. The
// spacing around "=" differs between tables.
struct Lookup {
  std::string_view castilian;
  std::string_view basque;
};

constexpr Lookup kClave{"SELECT descripcionc FROM TOperaciones WHERE codigo = ",
                        "SELECT descripcione FROM TOperaciones WHERE codigo = "};
constexpr Lookup kProvincia{"SELECT PRO_CAS FROM TPROVINCIAS WHERE PRO_ID = ",
                            "SELECT PRO_EUS FROM TPROVINCIAS WHERE PRO_ID = "};
constexpr Lookup kVia{"SELECT CAS FROM TSIGLASVIA WHERE codigo=",
                      "SELECT EUS FROM TSIGLASVIA WHERE codigo="};
constexpr Lookup kPais{"SELECT PAISCAS FROM TPaises WHERE codigo=",
                       "SELECT PAISEUS FROM TPaises WHERE codigo="};
constexpr Lookup kMedioCobro{"SELECT descas FROM TMedioCobro WHERE codigo=",
                             "SELECT deseus FROM TMedioCobro WHERE codigo="};

// The code goes into the literal as it is: an apostrophe in it is error 3075.
std::string Describe(const Lookup& lookup, std::int32_t idioma, const std::string& code) {
  const std::string sql =
      std::string(idioma == 0 ? lookup.castilian : lookup.basque) + SqlText(code);
  auto rs = Conexion().openRecordset(sql);
  std::string description = rs->eof() ? "" : text::UCase(rs->field(0).toString());
  rs->close();
  return description;
}

}  // namespace

std::string cTLecMDB::ObtenerDesClave() const {
  return Describe(kClave, idioma_, claveCod_);
}
std::string cTLecMDB::ObtenerNombreProvincia() const {
  return Describe(kProvincia, idioma_, provCod_);
}
std::string cTLecMDB::ObtenerDescriVia() const {
  return Describe(kVia, idioma_, viaCod_);
}
std::string cTLecMDB::ObtenerDesPais() const {
  return Describe(kPais, idioma_, paisCod_);
}
std::string cTLecMDB::ObtenerMC() const {
  return Describe(kMedioCobro, idioma_, mcCodigo_);
}

std::string cTLecMDB::RecogerRutaURL() const {
  auto rs = Conexion().openRecordset("select * from tgeneral");
  std::string ruta = rs->field(0).toString();  // no row: the engine's 3021
  rs->close();
  return ruta;
}

std::string cTLecMDB::URLAct() const {
  auto rs = Conexion().openRecordset("select URLAct from tgeneral");
  std::string url = rs->eof() ? "" : rs->field(0).toString();
  rs->close();
  return url;
}

}  // namespace kolvar
