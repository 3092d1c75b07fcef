// A statement text cut into tokens: words, numbers, quoted literals, quoted
// names, comments, blanks and single other characters. Enough to find the
// places a dialect adapts without parsing the statement.
#pragma once

#include <cctype>
#include <cstddef>
#include <string_view>
#include <vector>

namespace kolvar::db {

enum class TokenKind { Word, Number, String, QuotedName, Comment, Space, Other };

struct Token {
  TokenKind kind;
  std::size_t begin, end;
};

// Letters, digits, '_' and any byte of a multi-byte character.
inline bool IsSqlWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

std::vector<Token> Tokenize(std::string_view sql);

inline std::string_view TokenText(std::string_view sql, const Token& t) {
  return sql.substr(t.begin, t.end - t.begin);
}

// True when the token is the word `upper` (given in upper case), in any case.
bool TokenIsWord(std::string_view sql, const Token& t, std::string_view upper);

// Index of the next token from `i` on that is neither blank nor a comment
// (tokens.size() when none).
std::size_t NextSolid(const std::vector<Token>& tokens, std::size_t i);
// Index of the last token before `i` that is neither blank nor a comment
// (tokens.size() when none).
std::size_t PreviousSolid(const std::vector<Token>& tokens, std::size_t i);

}  // namespace kolvar::db
