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

using Placed = std::vector<std::pair<int, std::string_view>>;  // (position, text)

// A declarant line of 2014, period 03, that passes every rule, with
// `changes` written over it.
inline std::string DeclarantLine(const Placed& changes = {}, std::size_t length = 500) {
  Placed f = {{1, "1340"},
              {5, "2014"},
              {9, "12345678Z"},
              {18, "EMPRESA"},
              {58, "C912345678"},
              {108, "3402014030002"},
              {123, "0000000000000"},
              {136, "03000000001"},
              {147, " 00000000000000012"},
              {165, " 00000000000000002"},
              {183, " 00000000000000014"}};
  f.insert(f.end(), changes.begin(), changes.end());
  return Line(f, length);
}

// An issued invoice of 2014 under the cash basis (key 1) that passes every
// rule, with `changes` written over it.
inline std::string IssuedRecordLine(const Placed& changes = {}) {
  static const std::string property = "0" + std::string(25, ' ') + std::string(34, '0');
  Placed f = {{1, "2340201412345678Z12345678Z"},
              {36, "PEREZ"},
              {78, "1"},
              {99, "E120140115201401150"},
              {118, "2100 0000000010000 0000000002100 0000000012100 0000000000000F1"},
              {236, "0000000101"},
              {366, "00000 0000000000000"},
              {385, property},
              {445, "20140115 000000010000CES7620770024003102575766"}};
  f.insert(f.end(), changes.begin(), changes.end());
  return Line(f);
}

// The value of row n of a FieldBuffer, as text ("" when Empty).
inline std::string Cell(const Value& buffer, int n) {
  return buffer(n, 0).toString();
}

}  // namespace kolvar::testing
