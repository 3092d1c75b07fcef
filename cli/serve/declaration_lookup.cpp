#include "serve/declaration_lookup.h"

#include <regex>

namespace kolvar::serve {

void SetPeriod(Declaration& declaration, const std::string& period) {
  static const std::regex month(R"(^(0[1-9]|1[0-2])$)");
  static const std::regex quarter(R"(^([1-4])T$)");
  std::smatch m;
  if (std::regex_match(period, m, month)) {
    declaration.month = std::stoi(m[1].str());
    declaration.periodicity = "1";
  } else if (std::regex_match(period, m, quarter)) {
    declaration.month = 3 * std::stoi(m[1].str());
    declaration.periodicity = "2";
  } else {
    throw ApiError{422, "the period is 01 to 12 or 1T to 4T", "period"};
  }
}

std::string PeriodText(const Declaration& declaration) {
  if (declaration.periodicity == "2") return std::to_string(declaration.month / 3) + "T";
  return (declaration.month < 10 ? "0" : "") + std::to_string(declaration.month);
}

json DeclarationJson(const Declaration& d) {
  return {{"id", d.id},
          {"declarant", d.declarant},
          {"year", d.year},
          {"period", PeriodText(d)},
          {"complementary", d.complementary},
          {"substitutive", d.substitutive},
          {"previous", d.previous},
          {"sequence", d.sequence},
          {"records", d.records}};
}

namespace {

std::int32_t LongOf(const Value& v) {
  return v.isNull() || v.isEmpty() ? 0 : v.toLong();
}
std::string TextOfCell(const Value& v) {
  return v.isNull() ? "" : v.toString();
}

}  // namespace

std::vector<Declaration> DeclarationsOf(ApiContext& context, std::int32_t declarant) {
  auto service = Service(context.paths, "kolvar.cDeclaraciones");
  std::vector<Declaration> list;
  for (const auto& row : Rows(Invoke(*service, "ObtenerDeclaraciones", {Value(declarant)}))) {
    Declaration d;
    d.id = LongOf(row[0]);
    d.declarant = declarant;
    d.year = LongOf(row[1]);
    d.complementary = TextOfCell(row[2]) == "C";
    d.substitutive = TextOfCell(row[3]) == "S";
    d.records = LongOf(row[4]);
    d.month = LongOf(row[5]);
    d.periodicity = TextOfCell(row[6]);
    d.previous = LongOf(row[7]);
    d.sequence = LongOf(row[8]);
    list.push_back(d);
  }
  return list;
}

Declaration FindDeclaration(ApiContext& context, std::int32_t id) {
  // The declarant remembered for it first; all declarants when it is not
  // there any more.
  const auto known = context.declarantOf.find(id);
  if (known != context.declarantOf.end())
    for (const auto& d : DeclarationsOf(context, known->second))
      if (d.id == id) return d;
  auto service = Service(context.paths, "kolvar.cDeclarante");
  for (const auto& row : Rows(Invoke(*service, "ObtenerDeclarantes")))
    for (const auto& d : DeclarationsOf(context, row[0].toLong())) {
      context.declarantOf[d.id] = d.declarant;
      if (d.id == id) return d;
    }
  throw ApiError{404, "unknown declaration: " + std::to_string(id)};
}

}  // namespace kolvar::serve
