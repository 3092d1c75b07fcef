#include "dbaccess/like_pattern.h"

#include <sqlite3.h>

#include <utility>
#include <vector>

#include "core/utf8.h"

namespace kolvar::db {

char32_t LikeFold(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 32;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 32;
  if (c == 0x178) return 0xFF;
  return c;
}

namespace {

char32_t Fold(char32_t c) {
  return LikeFold(c);
}

struct Item {
  enum Kind { Plain, One, Digit, Star, Set };
  explicit Item(Kind k, char32_t folded = 0) : kind(k), c(folded) {}
  Kind kind;
  char32_t c = 0;  // Plain, folded
  bool negated = false;
  std::vector<std::pair<char32_t, char32_t>> ranges;  // Set, folded

  bool matches(char32_t t) const {  // t folded
    switch (kind) {
      case Plain:
        return t == c;
      case One:
        return true;
      case Digit:
        return t >= '0' && t <= '9';
      case Set: {
        bool in = false;
        for (auto [lo, hi] : ranges) in = in || (t >= lo && t <= hi);
        return in != negated;
      }
      case Star:
        return false;
    }
    return false;
  }
};

using Pattern = std::vector<Item>;

Pattern Compile(std::string_view text, char32_t escape) {
  const std::u32string p = utf8::Decode(text);
  Pattern out;
  for (std::size_t i = 0; i < p.size(); ++i) {
    const char32_t c = p[i];
    if (escape && c == escape && i + 1 < p.size()) {
      out.emplace_back(Item::Plain, Fold(p[++i]));
    } else if (c == '*') {
      if (out.empty() || out.back().kind != Item::Star) out.emplace_back(Item::Star);
    } else if (c == '?') {
      out.emplace_back(Item::One);
    } else if (c == '#') {
      out.emplace_back(Item::Digit);
    } else if (c == '[' && p.find(']', i + 1) != std::u32string::npos) {
      const std::size_t close = p.find(']', i + 1);
      std::u32string list = p.substr(i + 1, close - i - 1);
      i = close;
      if (list.empty()) continue;  // "[]" stands for no character at all
      Item set(Item::Set);
      if (list[0] == '!' && list.size() > 1) {
        set.negated = true;
        list.erase(0, 1);
      }
      for (std::size_t k = 0; k < list.size(); ++k) {
        if (k + 2 < list.size() && list[k + 1] == '-') {
          set.ranges.emplace_back(Fold(list[k]), Fold(list[k + 2]));
          k += 2;
        } else {
          set.ranges.emplace_back(Fold(list[k]), Fold(list[k]));
        }
      }
      out.push_back(std::move(set));
    } else {
      out.emplace_back(Item::Plain, Fold(c));
    }
  }
  return out;
}

// One wildcard spans many characters, so a single point to go back to suffices.
bool Matches(const Pattern& pattern, std::string_view text) {
  std::u32string t = utf8::Decode(text);
  for (char32_t& c : t) c = Fold(c);
  std::size_t p = 0, i = 0, starP = std::string::npos, starI = 0;
  while (i < t.size()) {
    if (p < pattern.size() && pattern[p].kind == Item::Star) {
      starP = p++;
      starI = i;
    } else if (p < pattern.size() && pattern[p].matches(t[i])) {
      ++p;
      ++i;
    } else if (starP != std::string::npos) {
      p = starP + 1;
      i = ++starI;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p].kind == Item::Star) ++p;
  return p == pattern.size();
}

std::string_view Text(sqlite3_value* v) {
  const auto* s = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return s ? std::string_view(s, sqlite3_value_bytes(v)) : std::string_view();
}

// like(pattern, text [, escape]), as the engine calls it for "text LIKE pattern".
void LikeFunction(sqlite3_context* context, int argc, sqlite3_value** argv) {
  for (int k = 0; k < argc; ++k)
    if (sqlite3_value_type(argv[k]) == SQLITE_NULL) return sqlite3_result_null(context);
  char32_t escape = 0;
  if (argc == 3) {
    const std::u32string e = utf8::Decode(Text(argv[2]));
    if (e.size() != 1)
      return sqlite3_result_error(context, "ESCAPE expression must be a single character", -1);
    escape = e[0];
  }
  // The compiled pattern is kept with the statement while its text stays the
  // same; the engine may drop it at once, so it is handed over last.
  if (auto* kept = static_cast<Pattern*>(sqlite3_get_auxdata(context, 0)); kept && argc == 2)
    return sqlite3_result_int(context, Matches(*kept, Text(argv[1])) ? 1 : 0);
  auto* pattern = new Pattern(Compile(Text(argv[0]), escape));
  sqlite3_result_int(context, Matches(*pattern, Text(argv[1])) ? 1 : 0);
  if (argc == 2)
    sqlite3_set_auxdata(context, 0, pattern, [](void* p) { delete static_cast<Pattern*>(p); });
  else
    delete pattern;
}

}  // namespace

void RegisterLike(sqlite3* db) {
  for (int args : {2, 3})
    sqlite3_create_function_v2(db, "like", args, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
                               LikeFunction, nullptr, nullptr, nullptr);
}

bool LikeMatches(std::string_view pattern, std::string_view text, char32_t escape) {
  return Matches(Compile(pattern, escape), text);
}

std::string LikeLiteral(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    if (c == '*' || c == '?' || c == '#' || c == '[')
      out += std::string("[") + c + "]";
    else
      out += c;
  }
  return out;
}

}  // namespace kolvar::db
