// Reads that the table classes share, on whatever database the service opened.
#pragma once

#include <cstdint>
#include <string>

#include "kolvar/value.h"

namespace kolvar {

// The rows of a SELECT as a result buffer of that mode (Null without rows);
// the result set is closed afterwards.
Value SelectBuffer(const std::string& sql, std::int16_t mode);

}  // namespace kolvar
