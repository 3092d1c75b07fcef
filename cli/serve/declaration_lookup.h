// Declarations as the API names them: by key alone, with their period as the
// page writes it ("01" to "12" monthly, "1T" to "4T" quarterly).
#pragma once

#include <optional>
#include <string>

#include "serve/api_support.h"

namespace kolvar::serve {

struct Declaration {
  std::int32_t id = 0;
  std::int32_t declarant = 0;
  std::int32_t year = 0;
  std::int32_t month = 0;         // PERNUM: the period's last month
  std::string periodicity = "1";  // PERDAD: 1 monthly, 2 quarterly
  bool complementary = false;
  bool substitutive = false;
  std::int32_t previous = 0;
  std::int32_t sequence = 0;
  std::int32_t records = 0;
};

// The period text of the page -> month and periodicity, or ApiError 422.
void SetPeriod(Declaration& declaration, const std::string& period);
std::string PeriodText(const Declaration& declaration);

json DeclarationJson(const Declaration& declaration);

// Every declaration of a declarant, by year and key.
std::vector<Declaration> DeclarationsOf(ApiContext& context, std::int32_t declarant);
// The declaration with this key, or ApiError 404.
Declaration FindDeclaration(ApiContext& context, std::int32_t id);

}  // namespace kolvar::serve
