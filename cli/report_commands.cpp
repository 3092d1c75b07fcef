#include "report_commands.h"

#include <cmath>
#include <cstdlib>

#include "amounts.h"
#include "errors.h"
#include "ui_text.h"

namespace kolvar::cli {

namespace {

void RequireDeclaration(const Library& library, std::int32_t declaration, Lang lang) {
  if (!library.FindDeclaration(declaration))
    throw UsageError(Format(Say::UnknownDeclaration, lang, {std::to_string(declaration)}));
}

double Number(const Value& v) {
  if (v.isEmpty() || v.isNull()) return 0;
  const std::string text = v.toString();
  return text.empty() ? 0 : std::strtod(text.c_str(), nullptr);
}

// The listing code of a book, and its place in the counts.
struct BookCode {
  char book;
  const char* code;
  int count;
};
const BookCode kBooks[] = {{'E', "exp", 1}, {'F', "expI", 2}, {'I', "bie", 3}, {'J', "bieI", 4},
                           {'R', "rec", 5}, {'S', "recI", 6}, {'U', "int", 7}};

}  // namespace

nlohmann::json SummaryData(const Library& library, std::int32_t declaration, Lang lang) {
  RequireDeclaration(library, declaration, lang);
  const Value s = library.Summary(declaration);
  static const char* const kGroups[] = {"issued", "received", "investment", "intra_community",
                                        "all"};
  nlohmann::json groups = nlohmann::json::array();
  for (int g = 0; g <= 4; ++g)
    groups.push_back({{"group", kGroups[g]},
                      {"records", std::llround(s(g, 0).toDouble())},
                      {"base", s(g, 1).toDouble()},
                      {"tax", s(g, 2).toDouble()},
                      {"total", s(g, 3).toDouble()},
                      {"cost_base", s(g, 4).toDouble()}});
  return {{"declaration", declaration}, {"groups", groups}};
}

nlohmann::json TotalsData(const Library& library, std::int32_t declaration, Lang lang) {
  RequireDeclaration(library, declaration, lang);
  const Value totals = library.Totals(declaration);
  const Value counts = library.Counts(declaration);
  nlohmann::json books = nlohmann::json::object();
  for (const BookCode& b : kBooks)
    books[std::string(1, b.book)] = std::llround(counts(b.count).toDouble());
  return {{"declaration", declaration},
          {"base", FromCents(Number(totals(0)))},
          {"tax", FromCents(Number(totals(1)))},
          {"total", FromCents(Number(totals(2)))},
          {"records", std::llround(counts(0).toDouble())},
          {"books", books}};
}

nlohmann::json ListingData(const Library& library, std::int32_t declaration,
                           const std::string& books, long page, long size, Lang lang) {
  RequireDeclaration(library, declaration, lang);
  const Value counts = library.Counts(declaration);
  const long first = (page - 1) * size;
  std::vector<const BookCode*> wanted;
  for (const BookCode& b : kBooks)
    if ((books.empty() || books.find(b.book) != std::string::npos) &&
        counts(b.count).toDouble() > static_cast<double>(first))
      wanted.push_back(&b);  // a book without records on the page would fail the listing
  nlohmann::json lines = nlohmann::json::array();
  if (!wanted.empty()) {
    Value requests = Value::Array({{0, 2}, {0, static_cast<std::int32_t>(wanted.size()) - 1}});
    for (std::size_t k = 0; k < wanted.size(); ++k) {
      requests(0, static_cast<std::int32_t>(k)) = Value(wanted[k]->code);
      requests(1, static_cast<std::int32_t>(k)) = Value(static_cast<std::int32_t>(first));
      requests(2, static_cast<std::int32_t>(k)) =
          Value(static_cast<std::int32_t>(first + size - 1));
    }
    const Value grid = library.Listing(declaration, requests);
    for (int n = 0; n <= grid.ubound(2); ++n) {
      if (grid(0, n).isEmpty()) continue;
      const auto text = [&](int c) {
        return grid(c, n).isNull() || grid(c, n).isEmpty() ? std::string() : grid(c, n).toString();
      };
      lines.push_back({{"book", text(2)},
                       {"party", text(1)},
                       {"operation", text(3)},
                       {"date", DateText(static_cast<long long>(Number(grid(4, n))))},
                       {"base", FromCents(Number(grid(5, n)))},
                       {"tax", FromCents(Number(grid(6, n)))},
                       {"total", FromCents(Number(grid(7, n)))},
                       {"deductible", FromCents(Number(grid(8, n)))}});
    }
  }
  return {{"declaration", declaration}, {"page", page}, {"size", size}, {"lines", lines}};
}

}  // namespace kolvar::cli
