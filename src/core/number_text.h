// Internal helpers behind the number conversions of Value.
#pragma once

#include <string_view>

namespace kolvar::detail {

enum class NumberRead { Ok, NotNumber, Overflow };

// The whole text as a number: blanks around it, a sign, digits with at most one
// point (at least one digit), an optional exponent. On Overflow `out` holds an
// infinity of the text's sign.
NumberRead ReadNumber(std::string_view text, double& out);

// Blanks are spaces and tabs.
std::string_view TrimBlanks(std::string_view s);

}  // namespace kolvar::detail
