// The rules of the declarant record, one per field key, tried in the order of
// the FieldBuffer's rows; every failed rule is one entry of the ErrorBuffer.
#include <memory>
#include <vector>

#include "core/text.h"
#include "dbaccess/general.h"
#include "import/importacion.h"
#include "kolvar/object.h"

namespace kolvar::Importacion {

namespace {

// Rows of the declarant record that the rule of DECLIDA reads.
constexpr std::int32_t kFilaDECLMOD = 9;
constexpr std::int32_t kFilaDECLEJE = 10;
constexpr std::int32_t kFilaDECLPER = 11;
constexpr std::int32_t kFilaDECLNUM = 12;
constexpr std::int32_t kFilaDECLCOM = 13;
constexpr std::int32_t kFilaDECLSUS = 14;

struct Checker {
  const Value& fields;
  std::int32_t ejercicioMax;
  std::int32_t ejercicioMin;
  Object& misc;
  Value errores = declared::NewErrorBuffer();
  std::int16_t k = 0;

  void fail(findings::ImportCode codigo, const std::string& texto) {
    AgregarError(errores, k, codigo, texto);
  }
  void failIf(bool failed, findings::ImportCode codigo, const std::string& texto) {
    if (failed) fail(codigo, texto);
  }
  std::string row(std::int32_t n) const { return fields(n, 0).toString(); }

  bool validNifCif(const std::string& v) {
    std::vector<Value> args{Value(v)};
    return Compare(misc.Call("ValidaNifCif", args), Value(false)) != 0;
  }

  // A year of digits (or minus signs) above the maximum, or any year when the
  // maximum lies below the minimum. Text that reads as no number is above.
  void year(const std::string& v, findings::ImportCode codigo) {
    if (!General::EsNumeroConGuion(v)) return;
    failIf(ejercicioMax < ejercicioMin || Compare(Value(v), Value(ejercicioMax)) > 0, codigo, v);
  }

  // An amount: the sign position (already converted) then only digits.
  void total(const std::string& v, findings::ImportCode codigoSigno,
             findings::ImportCode codigoCifras) {
    const std::string signo = text::Left(v, 1);
    if (signo != "-" && signo != " ") return fail(codigoSigno, v);
    ComprobarNumerico(text::Mid(v, 2), errores, k, codigoCifras);
  }

  void declaracionAnterior(const std::string& v) {
    ComprobarNumerico(v, errores, k, 82);
    if (!General::EsNumeroConGuion(v)) return;
    const double numero = Val(v);
    failIf((row(kFilaDECLCOM) == "C" || row(kFilaDECLSUS) == "S") && numero == 0, 83, v);
    if (numero <= 0) return;
    failIf(Val(text::Right(v, 3)) > 98, 84, v);
    const std::string mod = row(kFilaDECLMOD), eje = row(kFilaDECLEJE), per = row(kFilaDECLPER);
    const std::size_t len = text::Len(v);
    failIf(text::Left(v, 3) != "340" || eje != text::Mid(v, 4, 4) || per != text::Mid(v, 8, 2), 85,
           "Decl: " + text::Left(v, len > 4 ? len - 4 : 0) + " -  DeclAnt :  " + mod + eje + per);
    const std::string num = row(kFilaDECLNUM);
    const std::string x = Val(text::Left(num, 2)) > 0 ? text::Left(num, 2) : text::Right(num, 2);
    failIf(text::Right(v, 2) >= x, 86,
           "No Decl: " + text::Left(num, 2) + " - No Decl Ant: " + text::Right(v, 2));
  }
};

using Rule = void (*)(Checker&, const std::string& v);

struct KeyRule {
  std::string_view key;
  Rule rule;
};

const KeyRule kReglas[] = {
    {"EJERCICIO",
     [](Checker& c, const std::string& v) {
       if (text::Trim(v).empty()) return;
       ComprobarNumerico(v, c.errores, c.k, 43);
       c.year(v, 10);
     }},
    {"MODELO", [](Checker& c, const std::string& v) { c.failIf(v != "340", 74, v); }},
    {"NIFDTE",
     [](Checker& c, const std::string& v) {
       ComprobarVacio(v, c.errores, c.k, 75);
       c.failIf(!v.empty() && !c.validNifCif(v), 0, v);
     }},
    {"NOMBRE", [](Checker& c, const std::string& v) { ComprobarVacio(v, c.errores, c.k, 1); }},
    {"TS",
     [](Checker& c, const std::string& v) {
       c.failIf(std::string_view("CDT").find(v) == std::string_view::npos, 71, v);
     }},
    {"TELEFONO",
     [](Checker& c, const std::string& v) { ComprobarNumerico(v, c.errores, c.k, 77); }},
    {"DECLMOD", [](Checker& c, const std::string& v) { c.failIf(v != "340", 74, v); }},
    {"DECLEJE",
     [](Checker& c, const std::string& v) {
       ComprobarNumerico(v, c.errores, c.k, 43);
       c.year(v, 10);
     }},
    {"DECLPER", [](Checker& c, const std::string& v) { ComprobarNumerico(v, c.errores, c.k, 69); }},
    {"DECLNUM",
     [](Checker& c, const std::string& v) {
       ComprobarNumerico(v, c.errores, c.k, 78);
       c.failIf(Val(text::Right(v, 2)) == 0, 79, v);
     }},
    {"DECLCOM", [](Checker& c, const std::string& v) { c.failIf(!v.empty() && v != "C", 80, v); }},
    {"DECLSUS", [](Checker& c, const std::string& v) { c.failIf(!v.empty() && v != "S", 81, v); }},
    {"DECLIDA", [](Checker& c, const std::string& v) { c.declaracionAnterior(v); }},
    {"PERIODO", [](Checker& c, const std::string& v) { ComprobarMes(v, c.errores, c.k, 69); }},
    {"NUMREG", [](Checker& c, const std::string& v) { ComprobarNumerico(v, c.errores, c.k, 48); }},
    {"TOTALBI", [](Checker& c, const std::string& v) { c.total(v, 71, 60); }},
    {"TOTALCUO", [](Checker& c, const std::string& v) { c.total(v, 72, 61); }},
    {"TOTALFAC", [](Checker& c, const std::string& v) { c.total(v, 62, 62); }},
    {"NIFREP",
     [](Checker& c, const std::string& v) { c.failIf(!v.empty() && !c.validNifCif(v), 12, v); }},
    {"BLANCOS", [](Checker& c, const std::string& v) { c.failIf(!v.empty(), 98, v); }},
};

Rule RuleOf(const std::string& key) {
  for (const KeyRule& r : kReglas)
    if (r.key == key) return r.rule;
  return nullptr;
}

}  // namespace

Value ValidarRegistroDeclarante(const Value& fieldBuffer, std::int32_t longitud,
                                std::int32_t EjercicioMax, std::int32_t EjercicioMin,
                                const std::string& line) {
  const std::shared_ptr<Object> misc = CreateObject("SvrUtilLib.cMiscelaneos");
  Checker c{fieldBuffer, EjercicioMax, EjercicioMin, *misc};
  if (!ComprobarLongitud(line, longitud, c.errores, c.k, 67)) return std::move(c.errores);
  for (std::int32_t n = 1; n <= fieldBuffer.ubound(1); ++n) {
    if (const Rule rule = RuleOf(fieldBuffer(n, 1).toString()))
      rule(c, fieldBuffer(n, 0).toString());
  }
  return std::move(c.errores);
}

}  // namespace kolvar::Importacion
