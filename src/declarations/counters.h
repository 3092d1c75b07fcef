// Helpers the declaration table's statements and loops share.
#pragma once

#include <cstdint>
#include <string>

#include "dbaccess/sql_literal.h"
#include "kolvar/value.h"

namespace kolvar::declarations {

// A whole number as it enters a statement: plain decimal.
inline std::string Num(std::int32_t v) {
  return SqlNumber(v);
}

// The next value of a 16-bit counter; past 32,767 it is the overflow error.
inline std::int16_t Next16(std::int32_t current) {
  return Value(current + 1).toInteger();
}

}  // namespace kolvar::declarations
