// kolvar declaration add|list|show|delete|duplicate.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "arguments.h"
#include "library.h"

namespace kolvar::cli {

// Field names: declarant, year, period ("01" to "12", "1T" to "4T"), sequence
// (default: the next free one), complementary and substitutive ("yes"),
// previous (the 13-digit number of the declaration it completes or replaces,
// or its sequence).
std::int32_t AddDeclaration(const Library& library, const Fields& fields, Lang lang);
// Copies the declaration with its records; fields as for Add, all optional.
std::int32_t DuplicateDeclaration(const Library& library, std::int32_t from, const Fields& fields,
                                  Lang lang);
nlohmann::json ListDeclarations(const Library& library, std::optional<std::int32_t> declarant,
                                Lang lang);
nlohmann::json ShowDeclaration(const Library& library, std::int32_t key, Lang lang);
void DeleteDeclaration(const Library& library, std::int32_t key, Lang lang);

Declaration ExistingDeclaration(const Library& library, std::int32_t key, Lang lang);
nlohmann::json DeclarationJson(const Declaration& d);

}  // namespace kolvar::cli
