// kolvar declarant add|list|show|edit|delete.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "arguments.h"
#include "library.h"

namespace kolvar::cli {

// Field names: tax_id, name, street_type, street, number, letter, staircase,
// floor, door, postal_code, municipality, phone, contact, contact_phone,
// representative.
std::int32_t AddDeclarant(const Library& library, const Fields& fields, Lang lang);
void EditDeclarant(const Library& library, std::int32_t key, const Fields& fields, Lang lang);
nlohmann::json ListDeclarants(const Library& library, const std::string& taxIdPrefix);
nlohmann::json ShowDeclarant(const Library& library, std::int32_t key, Lang lang);
// Refuses a declarant with declarations unless `withDeclarations`.
void DeleteDeclarant(const Library& library, std::int32_t key, bool withDeclarations, Lang lang);

nlohmann::json DeclarantJson(const Declarant& d);

}  // namespace kolvar::cli
