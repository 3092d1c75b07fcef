// Placeholder until the message catalog lands: no texts yet.
#include "catalog/catalog.h"

namespace kolvar::cli {

std::string_view FindingText(int, FindingLayout, Lang) {
  return {};
}
std::string_view ErrorText(int, Lang) {
  return {};
}
std::vector<int> KnownFindingCodes(FindingLayout) {
  return {};
}
std::vector<int> KnownErrorNumbers() {
  return {};
}

}  // namespace kolvar::cli
