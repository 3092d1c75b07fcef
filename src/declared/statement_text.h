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

}  // namespace kolvar::declared
