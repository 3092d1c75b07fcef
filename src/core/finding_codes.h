// Every finding code the validators can return, one table per ErrorBuffer
// layout. A code reaches an ErrorBuffer only as an OnScreenCode or an
// ImportCode, which accept, while compiling, only a code of their table: a rule
// with a new code does not build until the code is listed here, and the
// client's messages are checked against these tables.
#pragma once

#include <array>
#include <cstdint>

namespace kolvar::findings {

// The on-screen validators of a declared record and its book's details.
inline constexpr auto kOnScreen = std::to_array<std::int16_t>({
    12,  23,  24,  25,  26,  29,  33,  34,  35,  38,  39,  40,  42,  44,  45,  46,  47,  48,  49,
    50,  51,  52,  53,  54,  55,  56,  57,  58,  59,  60,  61,  62,  63,  64,  65,  66,  73,  87,
    103, 104, 105, 106, 107, 109, 110, 111, 112, 113, 114, 115, 116, 117, 118, 119, 128, 129,
});

// The import: line type, declarant and declared-record lines, the header
// against the declaration, a declared record before any declarant.
inline constexpr auto kImport = std::to_array<std::int16_t>({
    0,   1,   10,  12,  14,  23,  24,  25,  26,  29,  30,  33,  34,  35,  38,  39,  40,
    42,  43,  44,  45,  46,  47,  48,  49,  50,  51,  52,  53,  54,  55,  56,  57,  58,
    59,  60,  61,  62,  63,  64,  65,  66,  67,  69,  71,  72,  73,  74,  75,  77,  78,
    79,  80,  81,  82,  83,  84,  85,  86,  87,  89,  90,  91,  92,  93,  94,  95,  96,
    97,  98,  99,  100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113,
    114, 115, 116, 120, 121, 123, 124, 125, 126, 127, 128, 129,
});

// A code of `kTable`; built from a literal, checked while compiling.
template <const auto& kTable>
class Code {
 public:
  consteval Code(int code) : value_(Listed(code)) {}
  constexpr operator std::int16_t() const { return value_; }

 private:
  static consteval std::int16_t Listed(int code) {
    for (std::int16_t listed : kTable)
      if (listed == code) return listed;
    throw "finding code missing from its table in core/finding_codes.h";
  }
  std::int16_t value_;
};

using OnScreenCode = Code<kOnScreen>;
using ImportCode = Code<kImport>;

}  // namespace kolvar::findings
