// The words of a finding code in both languages, for the page to show.
#pragma once

#include <nlohmann/json.hpp>

namespace kolvar::serve {

enum class FindingPlace { OnScreen, Import };

// {"es": ..., "eu": ...}
nlohmann::json FindingMessages(int code, FindingPlace place);
// A numeric field whose text is no number (the library's type mismatch).
nlohmann::json NotANumberMessages();

}  // namespace kolvar::serve
