// Declarations as the API names them: by key alone, with their period as the
// page writes it ("01" to "12" monthly, "1T" to "4T" quarterly).
#pragma once

#include <string>
#include <vector>

#include "library.h"
#include "serve/api_support.h"

namespace kolvar::serve {

using Declaration = cli::Declaration;

// The client's typed calls on the server's databases.
cli::Library LibraryOf(const ApiContext& context);

// The period text of the page -> month and periodicity, or ApiError 422.
void SetPeriod(Declaration& declaration, const std::string& period);

json DeclarationJson(const Declaration& declaration);

// The declaration with this key, or ApiError 404.
Declaration FindDeclaration(ApiContext& context, std::int32_t id);

}  // namespace kolvar::serve
