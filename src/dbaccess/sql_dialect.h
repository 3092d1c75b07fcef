// Adapts statement texts written for the desktop engine to SQLite's dialect:
// "TOP n" becomes "LIMIT n". Everything else passes unchanged; LIKE keeps its
// pattern, which the connection reads in the desktop engine's language
// (like_pattern.h).
#pragma once

#include <string>
#include <string_view>

namespace kolvar::db {

std::string AdaptDialect(std::string_view sql);

// The text's first word in upper case ("" when it starts with no word).
std::string FirstWord(std::string_view sql);
// True when the text's first word is SELECT.
bool IsSelect(std::string_view sql);
// True for BEGIN, COMMIT, END, ROLLBACK, SAVEPOINT and RELEASE.
bool IsTransactionControl(std::string_view sql);

}  // namespace kolvar::db
