#include "dbaccess/pg/pg_dialect.h"

#include <cctype>

#include "dbaccess/schema.h"
#include "dbaccess/sql_tokens.h"
#include "kolvar/error.h"

namespace kolvar::db::pg {

namespace {

bool IsRegexSpecial(char c) {
  return std::string_view(".^$|()[]{}*+?\\").find(c) != std::string_view::npos;
}

// A literal's content: quotes removed, doubled apostrophes made single.
std::string Unquote(std::string_view literal) {
  std::string out;
  if (literal.size() < 2) return out;
  for (std::size_t i = 1; i + 1 < literal.size(); ++i) {
    out += literal[i];
    if (literal[i] == '\'') ++i;
  }
  return out;
}

std::string Quote(std::string_view text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("''") : std::string(1, c);
  return out + "'";
}

// A bracketed list from pattern[i] == '[' on; appends its class and returns
// the index past ']', or npos when the list is not closed.
std::size_t CharacterList(std::string_view p, std::size_t i, std::string& out) {
  const std::size_t close = p.find(']', i + 1);
  if (close == std::string_view::npos) return close;
  std::string_view list = p.substr(i + 1, close - i - 1);
  if (list.empty()) return close + 1;  // matches nothing in particular: ignored
  std::string cls = "[";
  if (list.front() == '!' && list.size() > 1) {
    cls += '^';
    list.remove_prefix(1);
  }
  for (char c : list) {
    if (c == '\\' || c == '[' || c == '^') cls += '\\';
    cls += c;
  }
  out += cls + "]";
  return close + 1;
}

// The counter of the only table a plain SELECT reads, when the statement
// gives no order of its own: the embedded engine reads such a table in key
// order, and callers rely on it.
std::string NaturalOrder(std::string_view sql, const std::vector<Token>& tokens, std::size_t end) {
  std::size_t from = end;
  for (std::size_t i = 0; i < end; ++i) {
    const Token& t = tokens[i];
    for (std::string_view word : {"ORDER", "GROUP", "UNION", "JOIN", "DISTINCT", "INTERSECT",
                                  "EXCEPT", "HAVING", "COUNT", "SUM", "MIN", "MAX", "AVG"})
      if (TokenIsWord(sql, t, word)) return "";
    if (TokenIsWord(sql, t, "FROM")) {
      if (from != end) return "";  // a second FROM: a subquery
      from = i;
    }
  }
  const std::size_t table = NextSolid(tokens, from + 1);
  if (from == end || table >= end || tokens[table].kind != TokenKind::Word) return "";
  std::size_t next = NextSolid(tokens, table + 1);
  if (next < end && TokenIsWord(sql, tokens[next], "AS")) next = NextSolid(tokens, next + 1);
  if (next < end && tokens[next].kind == TokenKind::Word &&
      !TokenIsWord(sql, tokens[next], "WHERE"))
    next = NextSolid(tokens, next + 1);  // an alias
  if (next < end && !TokenIsWord(sql, tokens[next], "WHERE")) return "";
  const Table* described = FindTable(Store::User, TokenText(sql, tokens[table]));
  if (!described) return "";
  for (const Column& c : described->columns)
    if (c.type == ColumnType::Counter) return std::string(c.name);
  return "";
}

}  // namespace

std::string LikePatternToRegex(std::string_view p) {
  std::string out = "^";
  for (std::size_t i = 0; i < p.size();) {
    const char c = p[i];
    if (c == '*') {
      out += ".*";
    } else if (c == '?') {
      out += '.';
    } else if (c == '#') {
      out += "[0-9]";
    } else if (c == '[') {
      const std::size_t next = CharacterList(p, i, out);
      if (next != std::string_view::npos) {
        i = next;
        continue;
      }
      out += "\\[";
    } else {
      if (IsRegexSpecial(c)) out += '\\';
      out += c;
    }
    ++i;
  }
  return out + "$";
}

namespace {

// The operand before LIKE is matched as text, as the desktop engine matches
// numbers, and folded as the database's own character type folds letters
// (text columns keep code-point order, which folds ASCII only): a cast of the
// operand's last primary (a column, a call, a parenthesised expression) is
// added after it.
constexpr const char* kAsText = "::text COLLATE \"default\"";

void MatchAsText(std::string& out) {
  const std::size_t last = out.find_last_not_of(" \t\r\n");
  if (last == std::string::npos) return;
  const char c = out[last];
  if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '"' || c == ')' || c == '\'')
    out.insert(last + 1, kAsText);
}

}  // namespace

ServerStatement AdaptForServer(std::string_view sql) {
  const auto tokens = Tokenize(sql);
  ServerStatement result;
  std::string& out = result.sql;
  out.reserve(sql.size() + 16);
  std::string limit;
  std::size_t end = tokens.size();  // past the statement's last token
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind == TokenKind::Other && sql[tokens[i].begin] == ';') {
      if (NextSolid(tokens, i + 1) < tokens.size())
        Raise(err::kInvalidOperation, "Hay caracteres después del final de la instrucción SQL.");
      end = i;
      break;
    }
  }
  if (NextSolid(tokens, 0) >= end) Raise(err::kSyntax, "La instrucción SQL está vacía.");
  end = PreviousSolid(tokens, end) + 1;  // trailing blanks and comments go

  for (std::size_t i = 0; i < end; ++i) {
    const Token& t = tokens[i];
    const std::string_view text = TokenText(sql, t);
    const std::size_t prev = PreviousSolid(tokens, i);
    // SELECT [DISTINCT] TOP n  ->  SELECT [DISTINCT] ... LIMIT n
    if (limit.empty() && TokenIsWord(sql, t, "TOP") && prev < tokens.size() &&
        (TokenIsWord(sql, tokens[prev], "SELECT") || TokenIsWord(sql, tokens[prev], "DISTINCT"))) {
      const std::size_t n = NextSolid(tokens, i + 1);
      if (n < end && tokens[n].kind == TokenKind::Number) {
        limit = std::string(TokenText(sql, tokens[n]));
        i = NextSolid(tokens, n + 1) - 1;  // drop "TOP n" and the blanks after it
        continue;
      }
    }
    // [NOT] LIKE 'pattern'  ->  [!]~* 'regex'
    const bool isNot = TokenIsWord(sql, t, "NOT");
    const std::size_t like = isNot ? NextSolid(tokens, i + 1) : i;
    if (like < end && TokenIsWord(sql, tokens[like], "LIKE")) {
      const std::size_t pattern = NextSolid(tokens, like + 1);
      const std::size_t after = NextSolid(tokens, pattern + 1);
      const bool whole = after >= end || TokenText(sql, tokens[after]) != "|";
      if (pattern < end && tokens[pattern].kind == TokenKind::String && whole) {
        MatchAsText(out);
        out += isNot ? "!~* " : "~* ";
        out += Quote(LikePatternToRegex(Unquote(TokenText(sql, tokens[pattern]))));
        i = pattern;
        continue;
      }
      if (!isNot) {  // a pattern the text does not spell out: the server's own matching
        if (prev >= tokens.size() || !TokenIsWord(sql, tokens[prev], "NOT")) MatchAsText(out);
        out += "ILIKE";
        continue;
      }
    }
    if (TokenIsWord(sql, t, "AS")) {
      const std::size_t name = NextSolid(tokens, i + 1);
      if (name < end && tokens[name].kind == TokenKind::Word)
        result.aliases.emplace_back(TokenText(sql, tokens[name]));
    }
    out += text;
  }
  const std::string order = TokenIsWord(sql, tokens[NextSolid(tokens, 0)], "SELECT")
                                ? NaturalOrder(sql, tokens, end)
                                : std::string();
  if (!order.empty() || !limit.empty()) {
    const std::size_t last = out.find_last_not_of(" \t\r\n");
    out.erase(last == std::string::npos ? 0 : last + 1);
  }
  if (!order.empty()) out += " ORDER BY " + order;
  if (!limit.empty()) out += " LIMIT " + limit;
  return result;
}

}  // namespace kolvar::db::pg
