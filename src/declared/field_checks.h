// Checks that several validation rules share: a field of digits and hyphens
// alone, then read as a date or held under a limit; and the cash-basis fields
// that a Z operation key requires and every other key forbids.
#pragma once

#include <cstdint>

#include "declared/record_view.h"

namespace kolvar::declared {

// Digits and hyphens only, else `notDigits`. True when the field passes.
bool CheckDigits(Findings& f, const RecordView& r, std::int32_t i, std::int16_t field,
                 findings::OnScreenCode notDigits);

// CheckDigits, then a valid date, else `badDate`. True when both pass.
bool CheckDate(Findings& f, const RecordView& r, std::int32_t i, std::int16_t field,
               findings::OnScreenCode notDigits, findings::OnScreenCode badDate);

// CheckDigits, then not above `limit`, else `tooLarge`.
void CheckLimit(Findings& f, const RecordView& r, std::int32_t i, std::int16_t field,
                findings::OnScreenCode notDigits, double limit, findings::OnScreenCode tooLarge);

// A cash-basis field (reported on field 20): `absent` with a Z-key gives
// `missing`; otherwise `present` without a Z-key gives `forbidden`.
void CheckCashBasis(Findings& f, bool zKey, bool absent, bool present,
                    findings::OnScreenCode missing, findings::OnScreenCode forbidden);

// The means of payment or collection that need an account: occurring in
// "CTO", so the empty text counts as one.
bool ListedMeans(const RecordView& r, std::int32_t i);

}  // namespace kolvar::declared
