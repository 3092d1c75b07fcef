#include "serve/finding_messages.h"

#include <kolvar/error.h>

#include <string>

#include "catalog/catalog.h"

namespace kolvar::serve {

namespace {

std::string OrCode(std::string_view text, int code) {
  return text.empty() ? "(" + std::to_string(code) + ")" : std::string(text);
}

}  // namespace

nlohmann::json FindingMessages(int code, FindingPlace place) {
  const auto layout =
      place == FindingPlace::Import ? cli::FindingLayout::Import : cli::FindingLayout::OnScreen;
  return {{"es", OrCode(cli::FindingText(code, layout, cli::Lang::es), code)},
          {"eu", OrCode(cli::FindingText(code, layout, cli::Lang::eu), code)}};
}

nlohmann::json NotANumberMessages() {
  return {{"es", OrCode(cli::ErrorText(err::kTypeMismatch, cli::Lang::es), err::kTypeMismatch)},
          {"eu", OrCode(cli::ErrorText(err::kTypeMismatch, cli::Lang::eu), err::kTypeMismatch)}};
}

}  // namespace kolvar::serve
