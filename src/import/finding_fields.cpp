#include "import/finding_fields.h"

namespace kolvar::Importacion {

namespace {

thread_local std::vector<FindingField>* tFields = nullptr;

}  // namespace

FindingFieldListener::FindingFieldListener(std::vector<FindingField>& fields) : previous_(tFields) {
  tFields = &fields;
}

FindingFieldListener::~FindingFieldListener() {
  tFields = previous_;
}

void NoteFindings(std::string_view key, std::int32_t row, std::int32_t added) {
  if (!tFields) return;
  for (std::int32_t i = 0; i < added; ++i) tFields->push_back({std::string(key), row});
}

}  // namespace kolvar::Importacion
