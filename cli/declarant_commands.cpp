#include "declarant_commands.h"

#include "errors.h"
#include "ui_text.h"

namespace kolvar::cli {

namespace {

void Apply(const Library& library, const Fields& fields, Declarant& d, Lang lang) {
  for (const auto& [name, value] : fields) {
    if (name == "tax_id")
      d.taxId = value;
    else if (name == "name")
      d.name = value;
    else if (name == "street_type")
      d.streetType = value;
    else if (name == "street")
      d.street = value;
    else if (name == "number")
      d.number = static_cast<std::int32_t>(WholeArgument("--number", value, 0, 99999, lang));
    else if (name == "letter")
      d.letter = value;
    else if (name == "staircase")
      d.staircase = value;
    else if (name == "floor")
      d.floor = value;
    else if (name == "door")
      d.door = value;
    else if (name == "postal_code")
      d.postalCode =
          static_cast<std::int32_t>(WholeArgument("--postal-code", value, 0, 99999, lang));
    else if (name == "municipality")
      d.municipality = value;
    else if (name == "phone")
      d.phone = value;
    else if (name == "contact")
      d.contact = value;
    else if (name == "contact_phone")
      d.contactPhone = value;
    else if (name == "representative")
      d.representative = value;
  }
  if (d.taxId.empty() || !library.ValidSpanishId(d.taxId))
    throw UsageError(Format(Say::BadTaxId, lang, {d.taxId}));
  if (!d.representative.empty() && !library.ValidSpanishId(d.representative))
    throw UsageError(Format(Say::BadTaxId, lang, {d.representative}));
  for (const std::string* text :
       {&d.taxId, &d.phone, &d.contactPhone, &d.representative, &d.streetType})
    if (text->find('\'') != std::string::npos)
      throw UsageError(Format(Say::BadChoice, lang, {"'", *text, "A-Z 0-9"}));
}

Declarant Existing(const Library& library, std::int32_t key, Lang lang) {
  auto d = library.LoadDeclarant(key);
  if (!d) throw UsageError(Format(Say::UnknownDeclarant, lang, {std::to_string(key)}));
  return *d;
}

}  // namespace

nlohmann::json DeclarantJson(const Declarant& d) {
  return {{"key", d.key},
          {"tax_id", d.taxId},
          {"name", d.name},
          {"street_type", d.streetType},
          {"street", d.street},
          {"number", d.number},
          {"letter", d.letter},
          {"staircase", d.staircase},
          {"floor", d.floor},
          {"door", d.door},
          {"postal_code", d.postalCode},
          {"municipality", d.municipality},
          {"phone", d.phone},
          {"contact", d.contact},
          {"contact_phone", d.contactPhone},
          {"representative", d.representative}};
}

std::int32_t AddDeclarant(const Library& library, const Fields& fields, Lang lang) {
  Declarant d;
  Apply(library, fields, d, lang);
  if (auto key = library.FindDeclarantByTaxId(d.taxId))
    throw UsageError(
        Format(Say::AlreadyExists, lang, {d.taxId + " (" + std::to_string(*key) + ")"}));
  return library.SaveDeclarant(d);
}

void EditDeclarant(const Library& library, std::int32_t key, const Fields& fields, Lang lang) {
  Declarant d = Existing(library, key, lang);
  Apply(library, fields, d, lang);
  if (auto other = library.FindDeclarantByTaxId(d.taxId); other && *other != key)
    throw UsageError(
        Format(Say::AlreadyExists, lang, {d.taxId + " (" + std::to_string(*other) + ")"}));
  library.SaveDeclarant(d);
}

nlohmann::json ListDeclarants(const Library& library, const std::string& taxIdPrefix) {
  nlohmann::json rows = nlohmann::json::array();
  for (const auto& row : library.Declarants())
    if (row.taxId.compare(0, taxIdPrefix.size(), taxIdPrefix) == 0)
      rows.push_back({{"key", row.key},
                      {"tax_id", row.taxId},
                      {"name", row.name},
                      {"declarations", library.DeclarationsOf(row.key).size()}});
  return rows;
}

nlohmann::json ShowDeclarant(const Library& library, std::int32_t key, Lang lang) {
  return DeclarantJson(Existing(library, key, lang));
}

void DeleteDeclarant(const Library& library, std::int32_t key, bool withDeclarations, Lang lang) {
  Existing(library, key, lang);
  const auto declarations = library.DeclarationsOf(key);
  if (!declarations.empty() && !withDeclarations)
    throw UsageError(Format(Say::DeclarantHasDeclarations, lang, {std::to_string(key)}));
  library.DeleteDeclarant(key, withDeclarations);
}

}  // namespace kolvar::cli
