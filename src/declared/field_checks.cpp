#include "declared/field_checks.h"

namespace kolvar::declared {

bool CheckDigits(Findings& f, const RecordView& r, std::int32_t i, std::int16_t field,
                 findings::OnScreenCode notDigits) {
  return !f.check(!r.digitsAndHyphens(i), field, notDigits);
}

bool CheckDate(Findings& f, const RecordView& r, std::int32_t i, std::int16_t field,
               findings::OnScreenCode notDigits, findings::OnScreenCode badDate) {
  return CheckDigits(f, r, i, field, notDigits) && !f.check(!r.validDate(i), field, badDate);
}

void CheckLimit(Findings& f, const RecordView& r, std::int32_t i, std::int16_t field,
                findings::OnScreenCode notDigits, double limit, findings::OnScreenCode tooLarge) {
  if (CheckDigits(f, r, i, field, notDigits)) f.check(r.above(i, limit), field, tooLarge);
}

void CheckCashBasis(Findings& f, bool zKey, bool absent, bool present,
                    findings::OnScreenCode missing, findings::OnScreenCode forbidden) {
  if (!f.check(zKey && absent, 20, missing)) f.check(!zKey && present, 20, forbidden);
}

bool ListedMeans(const RecordView& r, std::int32_t i) {
  return Occurs(r.text(i), "CTO");
}

}  // namespace kolvar::declared
