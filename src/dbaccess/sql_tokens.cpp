#include "dbaccess/sql_tokens.h"

#include <cctype>

namespace kolvar::db {

namespace {

// The end of a quoted run that starts at `i`; a doubled quote stands for one.
std::size_t QuotedEnd(std::string_view s, std::size_t i, char quote) {
  ++i;
  while (i < s.size()) {
    if (s[i] == quote && i + 1 < s.size() && s[i + 1] == quote)
      i += 2;
    else if (s[i++] == quote)
      break;
  }
  return i;
}

}  // namespace

std::vector<Token> Tokenize(std::string_view s) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t b = i;
    const char c = s[i];
    TokenKind kind;
    if (std::isspace(static_cast<unsigned char>(c))) {
      while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
      kind = TokenKind::Space;
    } else if (c == '\'') {
      i = QuotedEnd(s, i, '\'');
      kind = TokenKind::String;
    } else if (c == '"') {
      i = QuotedEnd(s, i, '"');
      kind = TokenKind::QuotedName;
    } else if (c == '-' && i + 1 < s.size() && s[i + 1] == '-') {
      i = s.find('\n', i);
      if (i == std::string_view::npos) i = s.size();
      kind = TokenKind::Comment;
    } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
      i = s.find("*/", i + 2);
      i = i == std::string_view::npos ? s.size() : i + 2;
      kind = TokenKind::Comment;
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      while (i < s.size() && IsSqlWordChar(s[i])) ++i;
      kind = TokenKind::Number;
    } else if (IsSqlWordChar(c)) {
      while (i < s.size() && IsSqlWordChar(s[i])) ++i;
      kind = TokenKind::Word;
    } else {
      ++i;
      kind = TokenKind::Other;
    }
    out.push_back({kind, b, i});
  }
  return out;
}

bool TokenIsWord(std::string_view s, const Token& t, std::string_view upper) {
  if (t.kind != TokenKind::Word || t.end - t.begin != upper.size()) return false;
  for (std::size_t k = 0; k < upper.size(); ++k)
    if (std::toupper(static_cast<unsigned char>(s[t.begin + k])) != upper[k]) return false;
  return true;
}

namespace {
bool Solid(const Token& t) {
  return t.kind != TokenKind::Space && t.kind != TokenKind::Comment;
}
}  // namespace

std::size_t NextSolid(const std::vector<Token>& tokens, std::size_t i) {
  while (i < tokens.size() && !Solid(tokens[i])) ++i;
  return i;
}

std::size_t PreviousSolid(const std::vector<Token>& tokens, std::size_t i) {
  while (i > 0) {
    if (Solid(tokens[--i])) return i;
  }
  return tokens.size();
}

}  // namespace kolvar::db
