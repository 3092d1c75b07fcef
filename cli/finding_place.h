// The field a finding of the import is about. The import reports a code and
// a text per finding; the code tells the field (a few codes serve two fields,
// the text and the order of the findings tell which).
#pragma once

#include <string>
#include <string_view>

namespace kolvar::cli {

struct FindingField {
  std::string key;  // empty when the finding is about the whole line
  int start = 1;
  int width = 0;
};

// `line` is the line as read (UTF-8); `after` the start of the field of the
// line's previous finding (findings come in field order).
FindingField LocateFinding(int code, const std::string& text, std::u32string_view line, int after);

}  // namespace kolvar::cli
