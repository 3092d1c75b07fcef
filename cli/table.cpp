#include "table.h"

#include <algorithm>

#include "text_file.h"

namespace kolvar::cli {

std::string TextTable::Render() const {
  std::vector<std::size_t> widths(headers.size(), 0);
  const auto measure = [&](const std::vector<std::string>& row) {
    for (std::size_t c = 0; c < row.size() && c < widths.size(); ++c)
      widths[c] = std::max(widths[c], CharCount(row[c]));
  };
  measure(headers);
  for (const auto& row : rows) measure(row);
  std::string out;
  const auto line = [&](const std::vector<std::string>& row) {
    std::string text;
    for (std::size_t c = 0; c < widths.size(); ++c) {
      const std::string cell = c < row.size() ? row[c] : "";
      const std::string pad(widths[c] - CharCount(cell), ' ');
      if (c > 0) text += "  ";
      text += c < right.size() && right[c] ? pad + cell : cell + pad;
    }
    text.erase(text.find_last_not_of(' ') + 1);
    out += text + "\n";
  };
  line(headers);
  std::vector<std::string> rule;
  for (std::size_t w : widths) rule.push_back(std::string(w, '-'));
  line(rule);
  for (const auto& row : rows) line(row);
  return out;
}

std::string TextTable::Csv() const {
  std::string out;
  const auto line = [&](const std::vector<std::string>& row) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c > 0) out += ',';
      const std::string& cell = row[c];
      if (cell.find_first_of(",\"\n") == std::string::npos) {
        out += cell;
      } else {
        out += '"';
        for (char ch : cell) out += ch == '"' ? std::string("\"\"") : std::string(1, ch);
        out += '"';
      }
    }
    out += "\r\n";
  };
  line(headers);
  for (const auto& row : rows) line(row);
  return out;
}

}  // namespace kolvar::cli
