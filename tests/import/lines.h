// Form-340 lines composed for tests: blanks with each field written from its
// 1-based character position.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/utf8.h"
#include "kolvar/value.h"

namespace kolvar::testing {

inline std::string Line(const std::vector<std::pair<int, std::string_view>>& fields,
                        std::size_t length = 500) {
  std::u32string chars(length, U' ');
  for (const auto& [start, text] : fields) {
    const std::u32string t = utf8::Decode(text);
    for (std::size_t i = 0; i < t.size() && start - 1 + i < length; ++i)
      chars[start - 1 + i] = t[i];
  }
  return utf8::Encode(chars);
}

// The value of row n of a FieldBuffer, as text ("" when Empty).
inline std::string Cell(const Value& buffer, int n) {
  return buffer(n, 0).toString();
}

}  // namespace kolvar::testing
