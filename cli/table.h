// Aligned text tables and CSV for the terminal.
#pragma once

#include <string>
#include <vector>

namespace kolvar::cli {

struct TextTable {
  std::vector<std::string> headers;
  std::vector<bool> right;  // right-aligned columns (numbers)
  std::vector<std::vector<std::string>> rows;

  std::string Render() const;
  std::string Csv() const;
};

}  // namespace kolvar::cli
