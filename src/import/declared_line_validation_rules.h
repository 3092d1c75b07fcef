// The state one declared-record line is checked against and the rule shapes
// its fields share. Rules name other rows by key; the rows are indexed by key
// once per line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/finding_codes.h"
#include "declared/record_view.h"
#include "kolvar/value.h"

namespace kolvar {
class cMiscelaneos;
class cDatosGenerales;
namespace declared {
class cDeclarado;
}
}  // namespace kolvar

namespace kolvar::Importacion::line_rules {

// Every key a declared-record FieldBuffer may carry.
inline constexpr std::array<std::string_view, 60> kKeys = {
    "TIPOREG",      "MODELO",     "EJERCICIO",    "NIFDTE",     "NIF",        "NREP",
    "NOMBRE",       "PAIS",       "CNIPR",        "NIFDPR",     "CDTL",       "CDO",
    "FDE",          "FDO",        "TIPOIMP",      "BIMP",       "CUOTA",      "IMPTF",
    "BASEIMPCOSTE", "IDFACTURA",  "NODEREG",      "PFE_NOFAC",  "PFE_NOREG",  "PFE_IIA",
    "PFE_IFR",      "PFE_TRE",    "PFE_CRE",      "PFE_SDI",    "PFE_REFCAT", "PFE_IPM",
    "PFE_EJERMET",  "PFE_IPPTDI", "PFE_FMC",      "PFE_IC",     "PFE_MC",     "PFE_MC_CC",
    "PFE_MARCA",    "PFR_NOFAC",  "PFR_NOREG",    "PFR_IIA",    "PFR_CD",     "PFR_FMP",
    "PFR_IP",       "PFR_MP",     "PFR_MP_CC",    "PFR_MARCA",  "PBI_PAD",    "PBI_RAD",
    "PBI_IDE",      "PBI_RADE",   "PBI_FIU",      "PBI_IDBIEN", "PDOI_TOI",   "PDOI_CD",
    "PDOI_CEM",     "PDOI_PDE",   "PDOI_DESBIEN", "PDOI_DOI",   "PDOI_POI",   "PDOI_CP"};
// PDOI_OFOD has no rule and is never named by another; it needs no index.

using KeyId = std::uint8_t;
inline constexpr KeyId kNoKey = 0xFF;

consteval KeyId K(std::string_view key) {
  for (std::size_t i = 0; i < kKeys.size(); ++i)
    if (kKeys[i] == key) return static_cast<KeyId>(i);
  throw "unknown key";
}

// The id of a key read from a FieldBuffer, kNoKey when it has none.
KeyId FindKey(std::string_view key);

struct Services {
  const cMiscelaneos& misc;
  declared::cDeclarado& declarado;
  const cDatosGenerales& datosGenerales;
};

class DeclaredLine {
 public:
  DeclaredLine(Value& fieldBuffer, Value& errores, const Services& services, std::int32_t ejercicio,
               std::int16_t periodo, bool soloValidar);

  // The value of the row with this key as text; "" when the record lacks it.
  std::string text(KeyId key) const;
  // The cell itself: Empty when the record lacks the row.
  Value value(KeyId key) const;
  // The key of row n of the FieldBuffer, kNoKey for a row without a known key.
  KeyId keyOfRow(std::int32_t n) const {
    return n >= 0 && static_cast<std::size_t>(n) < keyOfRow_.size()
               ? keyOfRow_[static_cast<std::size_t>(n)]
               : kNoKey;
  }
  bool empty(KeyId key) const { return text(key).empty(); }

  void add(findings::ImportCode code, const std::string& entryText);
  Value& errores() { return errores_; }
  std::int16_t& counter() { return k_; }

  Value& fieldBuffer() { return buffer_; }
  const Services& services() const { return services_; }
  std::int32_t ejercicio() const { return ejercicio_; }
  std::int16_t periodo() const { return periodo_; }
  bool soloValidar() const { return soloValidar_; }

  // Set by the empty cash-basis block test: the block's rules are skipped.
  bool cashBlockEmpty = false;

 private:
  Value& buffer_;
  Value& errores_;
  std::int16_t k_ = 0;
  const Services& services_;
  std::int32_t ejercicio_;
  std::int16_t periodo_;
  bool soloValidar_;
  std::array<std::int32_t, kKeys.size()> rows_;
  std::vector<KeyId> keyOfRow_;
};

using Rule = void (*)(DeclaredLine& line, const std::string& v);

// The rules of one group of keys.
struct KeyRule {
  KeyId key;
  Rule rule;
};

// --- shapes shared by several keys ---

// v is found in a set of characters as a substring; "" is found everywhere.
using declared::Occurs;
// Digits only, not empty (code, text v).
void Digits(DeclaredLine& line, const std::string& v, findings::ImportCode code);
// A text against a number, compared as dynamically typed values: <0, 0, >0;
// a text that does not read as a number is the greater.
int CompareWith(const Value& v, double number);
// The book letter is not empty and occurs in `books`.
bool BookIn(const DeclaredLine& line, std::string_view books);
// The operation key is not empty and occurs in "Z12345678".
bool CashBasisKey(const DeclaredLine& line);

// An amount: the sign position must be "-" or a blank (signCode, text v);
// then the digits after it (digitsCode, text Mid(v, 2)).
void AmountRule(DeclaredLine& line, const std::string& v, findings::ImportCode signCode,
                findings::ImportCode digitsCode);
// A rate: digits (digitsCode); then, when v is digits-or-minus, not above
// `limit` (limitCode, text v / 100, or v itself without `hundredths`).
void RateRule(DeclaredLine& line, const std::string& v, findings::ImportCode digitsCode,
              double limit, findings::ImportCode limitCode, bool hundredths = true);
// A date AAAAMMDD: digits (digitsCode); then, when v is digits-or-minus, a
// valid date (dateCode).
void DateRule(DeclaredLine& line, const std::string& v, findings::ImportCode digitsCode,
              findings::ImportCode dateCode);
// v must occur in `set` (code, text v); `required` refuses an empty v too.
void OneOf(DeclaredLine& line, const std::string& v, std::string_view set,
           findings::ImportCode code, bool required = false);

// --- the rule tables, in row order of their group ---
const std::vector<KeyRule>& CommonRules();
const std::vector<KeyRule>& IssuedRules();
const std::vector<KeyRule>& ReceivedRules();
const std::vector<KeyRule>& InvestmentRules();
const std::vector<KeyRule>& IntraCommunityRules();
// The parts of those rules that change the FieldBuffer in an import pass,
// run by the rules themselves and, alone, for a line already validated.
const std::vector<KeyRule>& IssuedImportChanges();
const std::vector<KeyRule>& ReceivedImportChanges();

}  // namespace kolvar::Importacion::line_rules
