// The rules of the fields every declared record carries (rows 1 to 21).
#include "core/text.h"
#include "dbaccess/general.h"
#include "declared/record_service.h"
#include "import/declared_line_validation_rules.h"
#include "reference/datos_generales.h"
#include "taxid/miscelaneos.h"

namespace kolvar::Importacion::line_rules {

namespace {

constexpr std::int32_t kNewKeysYear = 2012;
constexpr std::int32_t kCashBasisYear = 2014;
constexpr double kSmallAmount = 10000;

bool InvalidSpanishId(const DeclaredLine& line, const std::string& v) {
  return !v.empty() && !line.services().misc.ValidaNifCif(v);
}

void Ejercicio(DeclaredLine& line, const std::string& v) {
  if (!text::Trim(v).empty()) Digits(line, v, 43);
}

void Nif(DeclaredLine& line, const std::string& v) {
  if (InvalidSpanishId(line, v)) line.add(23, v);
}

void Nrep(DeclaredLine& line, const std::string& v) {
  if (line.empty(K("NIF")) && !v.empty()) line.add(24, v);
  if (InvalidSpanishId(line, v)) line.add(12, v);
}

void Pais(DeclaredLine& line, const std::string& v) {
  if (!v.empty() && line.services().datosGenerales.ObtenerDesPais(v, 0).empty()) line.add(52, v);
}

void Cnipr(DeclaredLine& line, const std::string& v) {
  Digits(line, v, 29);
  OneOf(line, v, "0123456", 29);
}

// The foreign identifier of a key-2 party, and its state a member on the
// first day of the declaration's period.
void ForeignId(DeclaredLine& line, const std::string& v) {
  if (line.text(K("CNIPR")) != "2") return;
  const std::string prefix = text::Left(v, 2);
  if (!line.services().misc.ValidarNIFExtranjero(text::Mid(v, 3), prefix)) {
    line.add(29, v);
    return;
  }
  const std::string firstDay =
      std::to_string(line.ejercicio()) + General::Rellenar(line.periodo(), 2, "0") + "01";
  if (!line.services().declarado.comprobarFechaDeIngreso(firstDay, prefix)) line.add(109, v);
}

// An invoice party known neither by a Spanish identifier nor abroad, unless
// its operation key or a small amount excuses it.
bool UnidentifiedParty(const DeclaredLine& line) {
  const std::string pais = line.text(K("PAIS"));
  const bool home = pais.empty() || pais == "ES";
  const std::string cdo = line.text(K("CDO"));
  return BookIn(line, "EFRS") && line.empty(K("NIF")) && !line.empty(K("CNIPR")) &&
         (home || line.empty(K("NIFDPR"))) && (home || line.empty(K("NOMBRE"))) &&
         (cdo.empty() || !Occurs(cdo, "ABJ")) &&
         (CompareWith(line.value(K("BIMP")), kSmallAmount) >= 0 || line.empty(K("NOMBRE")));
}

void Nifdpr(DeclaredLine& line, const std::string& v) {
  ForeignId(line, v);
  if (UnidentifiedParty(line)) line.add(53, v);
}

void Cdtl(DeclaredLine& line, const std::string& v) {
  OneOf(line, v, "EIRUFJS", 64);
}

void Cdo(DeclaredLine& line, const std::string& v) {
  if (v.empty()) return;
  const std::int32_t year = line.ejercicio();
  const std::string_view keys = year < kNewKeysYear     ? " ABCDEFGHIJKLMNOPQ"
                                : year < kCashBasisYear ? " ABCDEFGHIJKLMNOPQRSTUVWX"
                                                        : " ABCDEFGHIJKLMNOPQRSTUVWXZ12345678";
  OneOf(line, v, keys, 65);
}

// A zero date of issue: refused for received invoices, and for issued ones
// before 2012 or, later, unless a property was let (PFE_IPM not zero).
bool MissingIssueDate(const DeclaredLine& line, const std::string& v) {
  if (Val(v) != 0) return false;
  if (BookIn(line, "RS")) return true;
  if (!BookIn(line, "EF")) return false;
  return line.ejercicio() < kNewKeysYear || CompareWith(line.value(K("PFE_IPM")), 0) == 0;
}

void Fde(DeclaredLine& line, const std::string& v) {
  Digits(line, v, 55);
  if (!General::EsNumeroConGuion(v)) return;
  if (MissingIssueDate(line, v)) line.add(73, v);
  std::string date = v;
  if (!General::ValidarFecha(date)) line.add(56, v);
}

void Fdo(DeclaredLine& line, const std::string& v) {
  DateRule(line, v, 57, 58);
}
void TipoImp(DeclaredLine& line, const std::string& v) {
  RateRule(line, v, 59, 10000, 66);
}
void Bimp(DeclaredLine& line, const std::string& v) {
  AmountRule(line, v, 90, 60);
}
void Cuota(DeclaredLine& line, const std::string& v) {
  AmountRule(line, v, 91, 61);
}
void Imptf(DeclaredLine& line, const std::string& v) {
  AmountRule(line, v, 92, 62);
}
void BaseImpCoste(DeclaredLine& line, const std::string& v) {
  AmountRule(line, v, 93, 63);
}

}  // namespace

const std::vector<KeyRule>& CommonRules() {
  static const std::vector<KeyRule> rules = {{K("EJERCICIO"), Ejercicio},
                                             {K("NIF"), Nif},
                                             {K("NREP"), Nrep},
                                             {K("PAIS"), Pais},
                                             {K("CNIPR"), Cnipr},
                                             {K("NIFDPR"), Nifdpr},
                                             {K("CDTL"), Cdtl},
                                             {K("CDO"), Cdo},
                                             {K("FDE"), Fde},
                                             {K("FDO"), Fdo},
                                             {K("TIPOIMP"), TipoImp},
                                             {K("BIMP"), Bimp},
                                             {K("CUOTA"), Cuota},
                                             {K("IMPTF"), Imptf},
                                             {K("BASEIMPCOSTE"), BaseImpCoste}};
  return rules;
}

}  // namespace kolvar::Importacion::line_rules
