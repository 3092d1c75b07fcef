// The ErrorBuffer handed back to the client: a two-dimensional array
// (0 To 1, 0 To n) with one entry of two cells per column. Without entries it
// holds one column of two empty cells, so the client tests cell (0, 0).
#pragma once

#include <cstdint>

#include "kolvar/value.h"

namespace kolvar::declared {

// A fresh buffer: bounds (0 To 1, 0 To 0), both cells empty; its counter starts at 0.
Value NewErrorBuffer();

// Stores the entry in column k, growing the buffer to end at column k and
// keeping what it holds, then moves k on (error 6 past 32767).
void AppendEntry(Value& buffer, std::int16_t& k, const Value& first, const Value& second);

// The column where a validator continuing `buffer` appends: the empty first
// column when there are no entries yet, else the one after the last.
std::int16_t NextColumn(const Value& buffer);

}  // namespace kolvar::declared
