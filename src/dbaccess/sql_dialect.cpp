#include "dbaccess/sql_dialect.h"

#include <cctype>
#include <vector>

#include "dbaccess/sql_tokens.h"

namespace kolvar::db {

namespace {

// Index of the next token that is not blank, from `i` on.
std::size_t NextNonBlank(const std::vector<Token>& tokens, std::size_t i) {
  while (i < tokens.size() && tokens[i].kind == TokenKind::Space) ++i;
  return i;
}

// False when the text holds no "top" in any case, so has nothing to adapt.
bool MayHoldTop(std::string_view s) {
  for (std::size_t i = 0; i + 2 < s.size(); ++i)
    if ((s[i] | 0x20) == 't' && (s[i + 1] | 0x20) == 'o' && (s[i + 2] | 0x20) == 'p') return true;
  return false;
}

}  // namespace

std::string FirstWord(std::string_view sql) {
  std::size_t i = 0;
  while (i < sql.size() && std::isspace(static_cast<unsigned char>(sql[i]))) ++i;
  std::string word;
  while (i < sql.size() && IsSqlWordChar(sql[i]))
    word += static_cast<char>(std::toupper(static_cast<unsigned char>(sql[i++])));
  return word;
}

bool IsSelect(std::string_view sql) {
  return FirstWord(sql) == "SELECT";
}

bool IsTransactionControl(std::string_view sql) {
  const std::string word = FirstWord(sql);
  return word == "BEGIN" || word == "COMMIT" || word == "END" || word == "ROLLBACK" ||
         word == "SAVEPOINT" || word == "RELEASE";
}

std::string AdaptDialect(std::string_view sql) {
  if (!MayHoldTop(sql)) return std::string(sql);
  const auto tokens = Tokenize(sql);
  std::string out;
  out.reserve(sql.size() + 16);
  std::string limit;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    const std::string_view text = TokenText(sql, t);
    // SELECT [DISTINCT] TOP n  ->  SELECT [DISTINCT] ... LIMIT n
    if (limit.empty() && TokenIsWord(sql, t, "TOP")) {
      std::size_t prev = i;
      while (prev > 0 && tokens[prev - 1].kind == TokenKind::Space) --prev;
      const bool afterSelect = prev > 0 && (TokenIsWord(sql, tokens[prev - 1], "SELECT") ||
                                            TokenIsWord(sql, tokens[prev - 1], "DISTINCT"));
      const std::size_t n = NextNonBlank(tokens, i + 1);
      if (afterSelect && n < tokens.size() && tokens[n].kind == TokenKind::Number) {
        limit = std::string(TokenText(sql, tokens[n]));
        i = NextNonBlank(tokens, n + 1) - 1;  // drop "TOP n" and the blanks after it
        continue;
      }
    }
    out += text;
  }
  if (!limit.empty()) {
    std::size_t end = out.find_last_not_of(" \t\r\n;");
    end = end == std::string::npos ? 0 : end + 1;
    out.insert(end, " LIMIT " + limit);
  }
  return out;
}

}  // namespace kolvar::db
