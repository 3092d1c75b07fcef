// Values as they are written into statement text.
#pragma once

#include <string>
#include <vector>

#include "kolvar/value.h"

namespace kolvar::declared {

// A stored value copied as it is: Null gives the empty text, numbers their
// invariant text; no apostrophe is turned back or escaped.
std::string StoredText(const Value& v);

// The values joined by "', '": the inside of a run of quoted literals.
std::string JoinQuoted(const std::vector<std::string>& values);

// The texts as values bound in place of quoted literals: each stays text and
// converts into its column as a literal would. An apostrophe, which would end
// such a literal and break the statement, is error 3075 as it would be there.
std::vector<Value> LiteralValues(std::vector<std::string> texts);
// "?, ?, ..., ?": n parameters.
std::string Placeholders(std::size_t n);

}  // namespace kolvar::declared
