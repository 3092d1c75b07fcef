#include "catalog/catalog.h"

#include <array>
#include <charconv>
#include <map>
#include <stdexcept>
#include <string>

#include "catalog/embedded_messages.h"

namespace kolvar::cli {

namespace {

// code -> {Castilian, Basque}
using Table = std::map<int, std::array<std::string_view, 2>>;

std::string_view NextField(std::string_view& line) {
  const auto tab = line.find('\t');
  const std::string_view field = line.substr(0, tab);
  line = tab == std::string_view::npos ? std::string_view() : line.substr(tab + 1);
  return field;
}

// Rows of "code<TAB>es<TAB>eu" after a header line; a malformed row is a
// build mistake and stops the program at its first use of the catalog.
Table Parse(std::string_view name, std::string_view tsv) {
  Table table;
  bool header = true;
  while (!tsv.empty()) {
    const auto end = tsv.find('\n');
    std::string_view line = tsv.substr(0, end);
    tsv = end == std::string_view::npos ? std::string_view() : tsv.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (header || line.empty()) {
      header = false;
      continue;
    }
    const std::string_view code = NextField(line);
    const std::string_view es = NextField(line);
    const std::string_view eu = NextField(line);
    int number = 0;
    const auto [ptr, ec] = std::from_chars(code.data(), code.data() + code.size(), number);
    if (ec != std::errc() || ptr != code.data() + code.size() || !line.empty() ||
        !table.emplace(number, std::array{es, eu}).second)
      throw std::logic_error("message table " + std::string(name) + ": bad row for code '" +
                             std::string(code) + "'");
  }
  return table;
}

const Table& Named(std::string_view name) {
  static const std::map<std::string_view, Table> tables = [] {
    std::map<std::string_view, Table> all;
    for (const auto& t : EmbeddedMessageTables()) all.emplace(t.name, Parse(t.name, t.tsv));
    return all;
  }();
  return tables.at(name);
}

const Table& Findings(FindingLayout layout) {
  return Named(layout == FindingLayout::OnScreen ? "findings_on_screen" : "findings_import");
}

std::string_view Text(const Table& table, int code, Lang lang) {
  const auto it = table.find(code);
  return it == table.end() ? std::string_view() : it->second[lang == Lang::es ? 0 : 1];
}

std::vector<int> Codes(const Table& table) {
  std::vector<int> codes;
  for (const auto& [code, texts] : table) codes.push_back(code);
  return codes;
}

}  // namespace

std::string_view FindingText(int code, FindingLayout layout, Lang lang) {
  return Text(Findings(layout), code, lang);
}

std::string_view ErrorText(int number, Lang lang) {
  return Text(Named("errors"), number, lang);
}

std::vector<int> KnownFindingCodes(FindingLayout layout) {
  return Codes(Findings(layout));
}

std::vector<int> KnownErrorNumbers() {
  return Codes(Named("errors"));
}

}  // namespace kolvar::cli
