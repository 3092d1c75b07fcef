// The frame of the declared-record line validation: the helper objects, the
// length check and the row loop that hands every field to the rule of its key.
#include "import/declared_line_validation.h"

#include <array>

#include "declared/record_service.h"
#include "import/declared_line_validation_rules.h"
#include "import/finding_fields.h"
#include "import/import_checks.h"
#include "kolvar/error.h"
#include "reference/datos_generales.h"
#include "taxid/miscelaneos.h"

namespace kolvar::Importacion {

namespace {

using namespace line_rules;

constexpr findings::ImportCode kWrongLength = 67;

// The rule of every key, built once from the tables of the groups.
const std::array<Rule, kKeys.size()>& RuleOfKey() {
  static const std::array<Rule, kKeys.size()> rules = [] {
    std::array<Rule, kKeys.size()> all{};
    for (const auto* group : {&CommonRules(), &IssuedRules(), &ReceivedRules(), &InvestmentRules(),
                              &IntraCommunityRules()})
      for (const KeyRule& r : *group) all[r.key] = r.rule;
    return all;
  }();
  return rules;
}

// The import change of every key that has one.
const std::array<Rule, kKeys.size()>& ChangeOfKey() {
  static const std::array<Rule, kKeys.size()> changes = [] {
    std::array<Rule, kKeys.size()> all{};
    for (const auto* group : {&IssuedImportChanges(), &ReceivedImportChanges()})
      for (const KeyRule& r : *group) all[r.key] = r.rule;
    return all;
  }();
  return changes;
}

// The services a declared line's rules call, opened on the two databases.
struct LineServices {
  LineServices(const std::string& mdblec, const std::string& mdbmod) {
    declarado.mdblec(mdblec);
    declarado.mdbmod(mdbmod);
    datosGenerales.mdbmod(mdbmod);
    datosGenerales.mdblec(mdblec);
  }
  Services services() { return Services{misc, declarado, datosGenerales}; }

  const cMiscelaneos misc{};
  declared::cDeclarado declarado;
  cDatosGenerales datosGenerales;
};

}  // namespace

Value ValidarDeclarado(Value& fieldBuffer, std::int32_t longitud, const std::string& mdblec,
                       const std::string& mdbmod, std::int32_t Ejercicio, std::int16_t Periodo,
                       std::int16_t /*Periodicidad*/, std::int32_t /*Declaracion*/,
                       const std::string& line, bool blnSoloValidar) {
  try {
    LineServices owned(mdblec, mdbmod);
    const Services services = owned.services();

    Value errores = declared::NewErrorBuffer();
    DeclaredLine record(fieldBuffer, errores, services, Ejercicio, Periodo, blnSoloValidar);
    if (!ComprobarLongitud(line, longitud, errores, record.counter(), kWrongLength)) {
      NoteFindings("", 0, 1);
      return errores;
    }

    const auto& rules = RuleOfKey();
    for (std::int32_t n = 1; n <= fieldBuffer.ubound(1); ++n) {
      const KeyId id = record.keyOfRow(n);
      if (id == kNoKey || rules[id] == nullptr) continue;
      const Value& cell = fieldBuffer(n, 0);
      const std::int16_t before = record.counter();
      rules[id](record, cell.isNull() ? std::string() : cell.toString());
      NoteFindings(kKeys[id], n, record.counter() - before);
    }
    return errores;
  } catch (const Error& e) {
    throw Error(e.number(), e.description(), "Importacion.ValidarDeclarado", e.helpFile(),
                e.helpContext());
  }
}

void CambiosDeImportacion(Value& fieldBuffer, const std::string& mdblec, const std::string& mdbmod,
                          std::int32_t Ejercicio, std::int16_t Periodo) {
  LineServices owned(mdblec, mdbmod);
  const Services services = owned.services();
  Value errores = declared::NewErrorBuffer();
  DeclaredLine record(fieldBuffer, errores, services, Ejercicio, Periodo, false);
  const auto& changes = ChangeOfKey();
  for (std::int32_t n = 1; n <= fieldBuffer.ubound(1); ++n) {
    const KeyId id = record.keyOfRow(n);
    if (id == kNoKey || changes[id] == nullptr) continue;
    const Value& cell = fieldBuffer(n, 0);
    changes[id](record, cell.isNull() ? std::string() : cell.toString());
  }
}

}  // namespace kolvar::Importacion
