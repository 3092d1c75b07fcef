// Text helpers that count characters (code points), never bytes.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kolvar::text {

std::size_t Len(std::string_view s);
std::string Left(std::string_view s, std::size_t n);
std::string Right(std::string_view s, std::size_t n);
// From the 1-based character `start`, `n` characters (all when npos).
std::string Mid(std::string_view s, std::size_t start, std::size_t n = std::string::npos);
std::string Trim(std::string_view s);  // blanks (U+0020) on both sides
std::string LTrim(std::string_view s);
std::string RTrim(std::string_view s);
std::string UCase(std::string_view s);  // ASCII and Latin-1 letters
std::string Replace(std::string s, std::string_view from, std::string_view to);
bool EqualsNoCase(std::string_view a, std::string_view b);  // ASCII letters
std::string LowerAscii(std::string_view s);

}  // namespace kolvar::text
