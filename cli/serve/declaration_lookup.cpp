#include "serve/declaration_lookup.h"

#include <regex>

namespace kolvar::serve {

cli::Library LibraryOf(const ApiContext& context) {
  return cli::Library(context.paths);
}

void SetPeriod(Declaration& declaration, const std::string& period) {
  static const std::regex month(R"(^(0[1-9]|1[0-2])$)");
  static const std::regex quarter(R"(^([1-4])T$)");
  std::smatch m;
  if (std::regex_match(period, m, month)) {
    declaration.period = static_cast<std::int16_t>(std::stoi(m[1].str()));
    declaration.periodicity = "1";
  } else if (std::regex_match(period, m, quarter)) {
    declaration.period = static_cast<std::int16_t>(3 * std::stoi(m[1].str()));
    declaration.periodicity = "2";
  } else {
    throw ApiError{422, "the period is 01 to 12 or 1T to 4T", "period"};
  }
}

json DeclarationJson(const Declaration& d) {
  return {{"id", d.key},
          {"declarant", d.declarant},
          {"year", d.year},
          {"period", cli::PeriodText(d)},
          {"complementary", d.complementary == "C"},
          {"substitutive", d.substitutive == "S"},
          {"previous", d.previous},
          {"sequence", d.sequence},
          {"records", d.records}};
}

Declaration FindDeclaration(ApiContext& context, std::int32_t id) {
  // The declarant remembered for it first; all declarants when it is not
  // there any more.
  const cli::Library library = LibraryOf(context);
  const auto known = context.declarantOf.find(id);
  if (known != context.declarantOf.end())
    for (const auto& d : library.DeclarationsOf(known->second))
      if (d.key == id) return d;
  for (const auto& row : library.Declarants())
    for (const auto& d : library.DeclarationsOf(row.key)) {
      context.declarantOf[d.key] = d.declarant;
      if (d.key == id) return d;
    }
  throw ApiError{404, "unknown declaration: " + std::to_string(id)};
}

}  // namespace kolvar::serve
