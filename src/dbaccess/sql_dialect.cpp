#include "dbaccess/sql_dialect.h"

#include <cctype>
#include <vector>

namespace kolvar::db {

namespace {

enum class Kind { Word, Number, String, Other, Space };

struct Token {
  Kind kind;
  std::size_t begin, end;
};

bool IsWordChar(char c) {
  return std::isalnum(static_cast<unsigned char>(c)) || c == '_' ||
         static_cast<unsigned char>(c) >= 0x80;
}

std::vector<Token> Tokenize(std::string_view s) {
  std::vector<Token> out;
  std::size_t i = 0;
  while (i < s.size()) {
    const std::size_t b = i;
    const char c = s[i];
    if (std::isspace(static_cast<unsigned char>(c))) {
      while (i < s.size() && std::isspace(static_cast<unsigned char>(s[i]))) ++i;
      out.push_back({Kind::Space, b, i});
    } else if (c == '\'') {  // a literal; '' stands for one apostrophe
      ++i;
      while (i < s.size()) {
        if (s[i] == '\'' && i + 1 < s.size() && s[i + 1] == '\'') {
          i += 2;
        } else if (s[i] == '\'') {
          ++i;
          break;
        } else {
          ++i;
        }
      }
      out.push_back({Kind::String, b, i});
    } else if (std::isdigit(static_cast<unsigned char>(c))) {
      while (i < s.size() && IsWordChar(s[i])) ++i;
      out.push_back({Kind::Number, b, i});
    } else if (IsWordChar(c)) {
      while (i < s.size() && IsWordChar(s[i])) ++i;
      out.push_back({Kind::Word, b, i});
    } else {
      ++i;
      out.push_back({Kind::Other, b, i});
    }
  }
  return out;
}

bool WordIs(std::string_view s, const Token& t, std::string_view word) {
  if (t.kind != Kind::Word || t.end - t.begin != word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k)
    if (std::toupper(static_cast<unsigned char>(s[t.begin + k])) != word[k]) return false;
  return true;
}

// Index of the next token that is not blank, from `i` on.
std::size_t NextSolid(const std::vector<Token>& tokens, std::size_t i) {
  while (i < tokens.size() && tokens[i].kind == Kind::Space) ++i;
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
  while (i < sql.size() && IsWordChar(sql[i]))
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
    std::string_view text = sql.substr(t.begin, t.end - t.begin);
    // SELECT [DISTINCT] TOP n  ->  SELECT [DISTINCT] ... LIMIT n
    if (limit.empty() && WordIs(sql, t, "TOP")) {
      std::size_t prev = i;
      while (prev > 0 && tokens[prev - 1].kind == Kind::Space) --prev;
      const bool afterSelect = prev > 0 && (WordIs(sql, tokens[prev - 1], "SELECT") ||
                                            WordIs(sql, tokens[prev - 1], "DISTINCT"));
      const std::size_t n = NextSolid(tokens, i + 1);
      if (afterSelect && n < tokens.size() && tokens[n].kind == Kind::Number) {
        limit = std::string(sql.substr(tokens[n].begin, tokens[n].end - tokens[n].begin));
        i = NextSolid(tokens, n + 1) - 1;  // drop "TOP n" and the blanks after it
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
