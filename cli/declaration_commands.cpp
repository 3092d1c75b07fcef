#include "declaration_commands.h"

#include <algorithm>

#include "errors.h"
#include "ui_text.h"

namespace kolvar::cli {

namespace {

void SetPeriod(const std::string& text, Declaration& d, Lang lang) {
  if (text.size() == 2 && text[1] == 'T' && text[0] >= '1' && text[0] <= '4') {
    d.periodicity = "2";
    d.period = static_cast<std::int16_t>((text[0] - '0') * 3);
    return;
  }
  d.periodicity = "1";
  d.period = static_cast<std::int16_t>(WholeArgument("--period", text, 1, 12, lang));
}

void Apply(const Library& library, const Fields& fields, Declaration& d, Lang lang) {
  for (const auto& [name, value] : fields) {
    if (name == "declarant")
      d.declarant = KeyArgument("--declarant", value, lang);
    else if (name == "year")
      d.year = static_cast<std::int32_t>(WholeArgument("--year", value, 1990, 2999, lang));
    else if (name == "period")
      SetPeriod(value, d, lang);
    else if (name == "complementary")
      d.complementary = value == "yes" ? "C" : "";
    else if (name == "substitutive")
      d.substitutive = value == "yes" ? "S" : "";
  }
  if (!library.LoadDeclarant(d.declarant))
    throw UsageError(Format(Say::UnknownDeclarant, lang, {std::to_string(d.declarant)}));
  if (d.year == 0) throw UsageError(Format(Say::BadNumber, lang, {"--year", ""}));
  if (d.period == 0) throw UsageError(Format(Say::BadNumber, lang, {"--period", ""}));
  if (auto s = fields.find("sequence"); s != fields.end())
    d.sequence = static_cast<std::int32_t>(WholeArgument("--sequence", s->second, 1, 9999, lang));
  else
    d.sequence = library.NextSequence(d);
  if (auto p = fields.find("previous"); p != fields.end()) {
    const std::string& text = p->second;
    const std::string prefix = "340" + std::to_string(d.year) + PeriodText(d);
    if (text.size() == 13 && text.compare(0, 9, prefix) == 0)
      d.previous =
          static_cast<std::int32_t>(WholeArgument("--previous", text.substr(9), 1, 9999, lang));
    else
      d.previous = static_cast<std::int32_t>(WholeArgument("--previous", text, 1, 9999, lang));
  }
  if ((!d.complementary.empty() || !d.substitutive.empty()) && d.previous == 0)
    throw UsageError(Format(Say::BadNumber, lang, {"--previous", ""}));
}

}  // namespace

nlohmann::json DeclarationJson(const Declaration& d) {
  return {{"key", d.key},
          {"declarant", d.declarant},
          {"year", d.year},
          {"period", PeriodText(d)},
          {"sequence", d.sequence},
          {"complementary", d.complementary == "C"},
          {"substitutive", d.substitutive == "S"},
          {"previous", d.previous},
          {"records", d.records}};
}

Declaration ExistingDeclaration(const Library& library, std::int32_t key, Lang lang) {
  auto d = library.FindDeclaration(key);
  if (!d) throw UsageError(Format(Say::UnknownDeclaration, lang, {std::to_string(key)}));
  return *d;
}

std::int32_t AddDeclaration(const Library& library, const Fields& fields, Lang lang) {
  Declaration d;
  Apply(library, fields, d, lang);
  if (library.DeclarationExists(d)) {
    std::int32_t existing = 0;
    for (const Declaration& other : library.DeclarationsOf(d.declarant))
      if (other.year == d.year && other.period == d.period && other.sequence == d.sequence)
        existing = other.key;
    throw UsageError(Format(Say::DeclarationExists, lang, {std::to_string(existing)}));
  }
  return library.SaveDeclaration(d);
}

std::int32_t DuplicateDeclaration(const Library& library, std::int32_t from, const Fields& fields,
                                  Lang lang) {
  Declaration d = ExistingDeclaration(library, from, lang);
  Fields f = fields;
  f.emplace("declarant", std::to_string(d.declarant));
  f.emplace("year", std::to_string(d.year));
  f.emplace("period", PeriodText(d));
  Apply(library, f, d, lang);
  if (library.DeclarationExists(d))
    throw UsageError(Format(Say::DeclarationExists, lang, {std::to_string(d.sequence)}));
  return library.DuplicateDeclaration(from, d);
}

nlohmann::json ListDeclarations(const Library& library, std::optional<std::int32_t> declarant,
                                Lang lang) {
  nlohmann::json rows = nlohmann::json::array();
  if (declarant && !library.LoadDeclarant(*declarant))
    throw UsageError(Format(Say::UnknownDeclarant, lang, {std::to_string(*declarant)}));
  for (const Declaration& d :
       declarant ? library.DeclarationsOf(*declarant) : library.AllDeclarations())
    rows.push_back(DeclarationJson(d));
  return rows;
}

nlohmann::json ShowDeclaration(const Library& library, std::int32_t key, Lang lang) {
  const Declaration d = ExistingDeclaration(library, key, lang);
  nlohmann::json doc = DeclarationJson(d);
  if (auto dte = library.LoadDeclarant(d.declarant)) {
    doc["tax_id"] = dte->taxId;
    doc["name"] = dte->name;
  }
  return doc;
}

void DeleteDeclaration(const Library& library, std::int32_t key, Lang lang) {
  ExistingDeclaration(library, key, lang);
  library.DeleteDeclaration(key);
}

}  // namespace kolvar::cli
