// The rules of book U, certain intra-community operations.
#include "dbaccess/general.h"
#include "import/declared_line_validation_rules.h"
#include "import/import_checks.h"

namespace kolvar::Importacion::line_rules {

namespace {

void Toi(DeclaredLine& line, const std::string& v) {
  if (CompareWith(line.value(K("CNIPR")), 2) != 0) line.add(54, line.text(K("CNIPR")));
  OneOf(line, v, "AB", 25, true);
}

void Cd(DeclaredLine& line, const std::string& v) {
  OneOf(line, v, "DR", 26, true);
}

void Cem(DeclaredLine& line, const std::string& v) {
  if (!General::EsPaisUE(v)) line.add(44, v);
}

void Pde(DeclaredLine& line, const std::string& v) {
  Digits(line, v, 45);
}

void DesBien(DeclaredLine& line, const std::string& v) {
  ComprobarVacio(v, line.errores(), line.counter(), 46);
}

}  // namespace

const std::vector<KeyRule>& IntraCommunityRules() {
  static const std::vector<KeyRule> rules = {{K("PDOI_TOI"), Toi},
                                             {K("PDOI_CD"), Cd},
                                             {K("PDOI_CEM"), Cem},
                                             {K("PDOI_PDE"), Pde},
                                             {K("PDOI_DESBIEN"), DesBien}};
  return rules;
}

}  // namespace kolvar::Importacion::line_rules
