// The rules of the investment-goods books I and J.
#include "import/declared_line_validation_rules.h"
#include "import/import_checks.h"

namespace kolvar::Importacion::line_rules {

namespace {

void Pad(DeclaredLine& line, const std::string& v) {
  RateRule(line, v, 34, 100, 33, false);
}
void Rad(DeclaredLine& line, const std::string& v) {
  AmountRule(line, v, 96, 39);
}
void Rade(DeclaredLine& line, const std::string& v) {
  AmountRule(line, v, 97, 35);
}
void Fiu(DeclaredLine& line, const std::string& v) {
  DateRule(line, v, 40, 42);
}
void IdBien(DeclaredLine& line, const std::string& v) {
  ComprobarVacio(v, line.errores(), line.counter(), 38);
}

}  // namespace

const std::vector<KeyRule>& InvestmentRules() {
  static const std::vector<KeyRule> rules = {{K("PBI_PAD"), Pad},
                                             {K("PBI_RAD"), Rad},
                                             {K("PBI_RADE"), Rade},
                                             {K("PBI_FIU"), Fiu},
                                             {K("PBI_IDBIEN"), IdBien}};
  return rules;
}

}  // namespace kolvar::Importacion::line_rules
