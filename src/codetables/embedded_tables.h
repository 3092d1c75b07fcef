// The shipped code tables (data/reference/*.tsv), built into the library.
#pragma once

#include <string_view>
#include <vector>

namespace kolvar {

struct EmbeddedTable {
  std::string_view name;  // file name without extension
  std::string_view tsv;   // header line, then one tab-separated row per line
};

const std::vector<EmbeddedTable>& EmbeddedTables();

}  // namespace kolvar
