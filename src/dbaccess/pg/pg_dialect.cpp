#include "dbaccess/pg/pg_dialect.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>

#include "core/utf8.h"
#include "dbaccess/like_pattern.h"
#include "dbaccess/schema.h"
#include "dbaccess/sql_tokens.h"
#include "kolvar/error.h"

namespace kolvar::db::pg {

namespace {

// Letters fold as on the embedded engine, whatever the database's collation says.
char32_t Fold(char32_t c) {
  return LikeFold(c);
}

// The letters Fold changes.
bool IsFoldedUpper(char32_t c) {
  return Fold(c) != c;
}

// A character as a regular expression matches it, inside a bracket list or out.
void AppendLiteral(std::string& out, char32_t c, bool inList = false) {
  const std::string_view special = inList ? "\\[]^-" : ".^$|()[]{}*+?\\";
  if (c < 0x80 && special.find(static_cast<char>(c)) != std::string_view::npos) out += '\\';
  utf8::Append(out, c);
}

// One character that folds to `c`: "[xX]" for a letter with two cases.
void AppendFolded(std::string& out, char32_t c) {
  const char32_t lower = Fold(c);
  char32_t upper = 0;
  for (char32_t u : {char32_t(lower - 32), char32_t{0x178}})
    if (u != lower && IsFoldedUpper(u) && Fold(u) == lower) upper = u;
  if (!upper) return AppendLiteral(out, c);
  out += '[';
  utf8::Append(out, lower);
  utf8::Append(out, upper);
  out += ']';
}

// A bracketed list: the characters whose folded form lies in one of the
// folded ranges; the folded capitals stand apart from the ranges they lie in.
void AppendList(std::string& out, const std::vector<std::pair<char32_t, char32_t>>& ranges,
                bool negated) {
  std::string items;
  const auto range = [&](char32_t lo, char32_t hi) {
    AppendLiteral(items, lo, true);
    if (hi == lo) return;
    items += '-';
    AppendLiteral(items, hi, true);
  };
  for (auto [lo, hi] : ranges) {
    char32_t from = lo;
    for (char32_t c = lo; c <= hi && c <= 0x178; ++c) {
      if (!IsFoldedUpper(c)) continue;
      if (c > from) range(from, c - 1);
      from = c + 1;
    }
    if (from <= hi) range(from, hi);
  }
  for (char32_t c = 'A'; c <= 0x178; ++c) {
    if (!IsFoldedUpper(c)) continue;
    for (auto [lo, hi] : ranges)
      if (Fold(c) >= lo && Fold(c) <= hi) {
        AppendLiteral(items, c, true);
        break;
      }
  }
  if (items.empty()) {
    out += negated ? "." : "(?!)";  // every character, or none
    return;
  }
  out += negated ? "[^" : "[";
  out += items + "]";
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

std::string LikePatternToRegex(std::string_view text) {
  const std::u32string p = utf8::Decode(text);
  std::string out = "^";
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char32_t c = p[i];
    const std::size_t close = c == '[' ? p.find(']', i + 1) : std::u32string::npos;
    if (c == '*') {
      out += ".*";
    } else if (c == '?') {
      out += '.';
    } else if (c == '#') {
      out += "[0-9]";
    } else if (close != std::u32string::npos) {
      std::u32string list = p.substr(i + 1, close - i - 1);
      i = close;
      if (list.empty()) continue;  // "[]" stands for no character at all
      const bool negated = list[0] == '!' && list.size() > 1;
      if (negated) list.erase(0, 1);
      std::vector<std::pair<char32_t, char32_t>> ranges;
      for (std::size_t k = 0; k < list.size(); ++k) {
        if (k + 2 < list.size() && list[k + 1] == '-') {
          if (Fold(list[k]) <= Fold(list[k + 2]))
            ranges.emplace_back(Fold(list[k]), Fold(list[k + 2]));
          k += 2;
        } else {
          ranges.emplace_back(Fold(list[k]), Fold(list[k]));
        }
      }
      AppendList(out, ranges, negated);
    } else {
      AppendFolded(out, c);
    }
  }
  return out + "$";
}

namespace {

// The operand before LIKE is matched as text, as the desktop engine matches
// numbers, by code points (the pattern spells out both cases of a letter):
// a cast of the operand's last primary (a column, a call, a parenthesised
// expression) is added after it.
constexpr const char* kAsText = "::text COLLATE \"C\"";

void MatchAsText(std::string& out) {
  const std::size_t last = out.find_last_not_of(" \t\r\n");
  if (last == std::string::npos) return;
  const char c = out[last];
  if (std::isalnum(static_cast<unsigned char>(c)) || c == '_' || c == '"' || c == ')' || c == '\'')
    out.insert(last + 1, kAsText);
}

// The values a statement stores as written: each item of an INSERT's VALUES
// lists and each right-hand side of an UPDATE's SET, as token ranges.
struct Span {
  std::size_t first, last;
};

std::vector<Span> StoredValues(std::string_view sql, const std::vector<Token>& tokens,
                               std::size_t end) {
  constexpr std::size_t kNone = std::string_view::npos;
  std::vector<Span> out;
  const std::size_t head = NextSolid(tokens, 0);
  const bool insert = TokenIsWord(sql, tokens[head], "INSERT");
  const bool update = TokenIsWord(sql, tokens[head], "UPDATE");
  if (!insert && !update) return out;
  int depth = 0;
  bool inList = false;  // after VALUES, or after SET
  std::size_t item = kNone;
  const auto close = [&](std::size_t i) {  // the item ends before token i
    if (item == kNone) return;
    const std::size_t first = NextSolid(tokens, item), last = PreviousSolid(tokens, i);
    if (first < i && last < i && last >= first) out.push_back({first, last});
    item = kNone;
  };
  for (std::size_t i = head; i < end; ++i) {
    const Token& t = tokens[i];
    const bool other = t.kind == TokenKind::Other;
    const char c = other ? sql[t.begin] : '\0';
    if (c == '(' || c == ')') {
      if (insert && inList && depth == (c == '(' ? 0 : 1)) {
        if (c == '(')
          item = i + 1;
        else
          close(i);
      }
      depth += c == '(' ? 1 : -1;
    } else if (insert) {
      if (depth == 0 && TokenIsWord(sql, t, "VALUES")) inList = true;
      if (inList && depth == 1 && c == ',') close(i), item = i + 1;
    } else if (depth == 0) {
      if (TokenIsWord(sql, t, "SET")) inList = true;
      if (TokenIsWord(sql, t, "WHERE")) close(i), inList = false;
      if (inList && c == '=' && item == kNone) item = i + 1;
      if (inList && c == ',') close(i);
    }
  }
  close(end);
  return out;
}

// The text of a number literal with a fraction ("12.5", "-0.25", "1e-3"),
// blanks removed; "" for anything else.
std::string FractionLiteral(std::string_view text) {
  std::string number;
  for (char c : text)
    if (!std::isspace(static_cast<unsigned char>(c))) number += c;
  std::size_t i = number.empty() || (number[0] != '-' && number[0] != '+') ? 0 : 1;
  const auto digits = [&] {
    const std::size_t from = i;
    while (i < number.size() && std::isdigit(static_cast<unsigned char>(number[i]))) ++i;
    return i - from;
  };
  std::size_t mantissa = digits();
  if (i < number.size() && number[i] == '.') ++i, mantissa += digits();
  if (mantissa == 0) return "";
  if (i < number.size() && (number[i] == 'e' || number[i] == 'E')) {
    ++i;
    if (i < number.size() && (number[i] == '-' || number[i] == '+')) ++i;
    if (digits() == 0) return "";
  }
  if (i != number.size()) return "";
  const double x = std::strtod(number.c_str(), nullptr);
  return std::isfinite(x) && x != std::floor(x) ? number : "";
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

  // A number with a fraction stored into a column goes as a quoted literal,
  // which the column's type reads: a whole-number column refuses it (as the
  // embedded engine does) where the number's own type would be rounded.
  std::map<std::size_t, std::pair<std::size_t, std::string>> quoted;  // by first token
  std::vector<bool> storedAt(end, false);
  for (const Span& v : StoredValues(sql, tokens, end)) {
    const auto text = sql.substr(tokens[v.first].begin, tokens[v.last].end - tokens[v.first].begin);
    if (const std::string number = FractionLiteral(text); !number.empty())
      quoted[v.first] = {v.last, Quote(number)};
    if (v.first == v.last) storedAt[v.first] = true;
  }
  for (std::size_t i = 0; i < end; ++i)
    if (tokens[i].kind == TokenKind::Other && sql[tokens[i].begin] == '?')
      result.storedParams.push_back(storedAt[i]);

  for (std::size_t i = 0; i < end; ++i) {
    if (const auto q = quoted.find(i); q != quoted.end()) {
      out += q->second.second;
      i = q->second.first;
      continue;
    }
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
        out += isNot ? "!~ " : "~ ";
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
