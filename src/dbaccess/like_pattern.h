// LIKE with the desktop engine's pattern language, for every statement of the
// library: "*" any characters, "?" one character, "#" one digit, "[list]" and
// "[!list]" one character in or not in the list (ranges such as a-c allowed);
// "%" and "_" are plain characters. Letters match without regard to case.
#pragma once

#include <string>
#include <string_view>

struct sqlite3;

namespace kolvar::db {

// How a letter matches: ASCII and Latin-1 letters in lower case, every other
// character as it is.
char32_t LikeFold(char32_t c);

// Makes LIKE (and LIKE ... ESCAPE) on this connection follow the pattern
// language above.
void RegisterLike(sqlite3* db);

// True when `text` matches `pattern`; `escape` (0 for none) makes the pattern
// character after it plain.
bool LikeMatches(std::string_view pattern, std::string_view text, char32_t escape = 0);

// The pattern that matches exactly `text`: every character that the pattern
// language reads as a wildcard is put in brackets.
std::string LikeLiteral(std::string_view text);

}  // namespace kolvar::db
