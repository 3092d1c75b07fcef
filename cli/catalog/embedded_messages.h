// The message tables (cli/catalog/*.tsv), built into the program.
#pragma once

#include <string_view>
#include <vector>

namespace kolvar::cli {

struct EmbeddedMessages {
  std::string_view name;  // file name without extension
  std::string_view tsv;   // header line, then one tab-separated row per line
};

const std::vector<EmbeddedMessages>& EmbeddedMessageTables();

}  // namespace kolvar::cli
