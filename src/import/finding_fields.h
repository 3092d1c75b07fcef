// The field behind each finding of a line's validation, for a whole-file
// import that reports findings by field. The line validators note, after the
// rule of a field ran, how many entries it added; nothing is noted unless a
// listener is set on the thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kolvar::Importacion {

struct FindingField {
  std::string key;       // "" for a finding about the whole line
  std::int32_t row = 0;  // row of the FieldBuffer, 0 for the whole line
};

class FindingFieldListener {
 public:
  explicit FindingFieldListener(std::vector<FindingField>& fields);
  ~FindingFieldListener();
  FindingFieldListener(const FindingFieldListener&) = delete;
  FindingFieldListener& operator=(const FindingFieldListener&) = delete;

 private:
  std::vector<FindingField>* previous_;
};

// Notes `added` entries made by the rule of this row (none without a listener).
void NoteFindings(std::string_view key, std::int32_t row, std::int32_t added);

// First character position of the field of that row and key in its record
// (0 when the layout has none).
std::int32_t FieldPosition(bool declarant, std::string_view key, std::int32_t row);

}  // namespace kolvar::Importacion
