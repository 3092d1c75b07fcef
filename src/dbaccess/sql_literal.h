// Values as they enter statement text. Every value a table class writes into
// SQL goes through one of these, so that no value changes the statement's
// shape: a text becomes exactly one literal or the statement is refused
// (error 3075, the syntax error an apostrophe inside a literal gives) before
// anything runs. Numbers are written from numeric values, never from text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "kolvar/value.h"

namespace kolvar {

// The text between apostrophes, unchanged. A text holding an apostrophe (or
// a NUL character, which would cut the statement short) is error 3075.
std::string SqlText(std::string_view text);

// The texts as quoted literals joined by ", ": the inside of a VALUES list.
std::string SqlTexts(const std::vector<std::string>& texts);

// The texts as values bound in place of their quoted literals: each stays
// text and converts into its column as its literal would, and a text its
// literal would refuse is refused the same way (error 3075).
std::vector<Value> SqlTextValues(const std::vector<std::string>& texts);
// "?, ?, ..., ?": n parameters.
std::string SqlParameters(std::size_t n);

// Whole numbers in plain decimal; floats in the invariant text of a number.
std::string SqlNumber(std::int32_t n);
std::string SqlNumber(double n);
// A stored cell as text: Null and Empty give the empty text, numbers their
// invariant text, texts stay unchanged (no apostrophe turned back).
std::string SqlValueText(const Value& v);

// A client's text written bare where a number stands: an optional sign and
// decimal digits with at most one point, blanks around it allowed. Anything
// else (the empty text included) is error 3075.
std::string SqlNumberText(std::string_view text);

}  // namespace kolvar
