#include "declared/statement_text.h"

namespace kolvar::declared {

std::string StoredText(const Value& v) {
  return v.isNull() ? std::string() : v.toString();
}

std::string JoinQuoted(const std::vector<std::string>& values) {
  std::string out;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out += "', '";
    out += values[i];
  }
  return out;
}

}  // namespace kolvar::declared
