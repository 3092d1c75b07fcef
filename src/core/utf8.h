// UTF-8 decoding and encoding by code point. Decoding is lenient: every byte
// that does not start a well-formed sequence counts as one character of its own
// (U+FFFD), so any byte string has a definite length in characters.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolvar::utf8 {

inline constexpr char32_t kReplacement = 0xFFFD;

// Decodes the character at s[pos] and advances pos past it.
char32_t Next(std::string_view s, std::size_t& pos);

std::u32string Decode(std::string_view s);
void Append(std::string& out, char32_t c);
std::string Encode(std::u32string_view s);

// True when s is well-formed UTF-8 throughout.
bool IsValid(std::string_view s);
// Bytes of ISO-8859-1 text as UTF-8 (each byte is the code point of its value).
std::string FromLatin1(std::string_view s);

// Number of characters (code points) in s.
std::size_t Length(std::string_view s);

// Byte offset of the character with index `chars` (clamped to the end).
std::size_t ByteOffset(std::string_view s, std::size_t chars);

// The `count` characters starting at character index `start` (both clamped).
std::string Substr(std::string_view s, std::size_t start, std::size_t count = std::string::npos);

}  // namespace kolvar::utf8
