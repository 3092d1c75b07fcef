// The rules of the received-invoice, investment-goods and intra-community
// detail fields, in the order they are tried.
#include "dbaccess/general.h"
#include "declared/field_checks.h"
#include "declared/record_view.h"
#include "declared/validation.h"

namespace kolvar::declared {

using namespace record_index;

void ValidarDpfr(const Value& vBuffer, Value& vBufferErrores) {
  enum : std::int32_t { kNOFAC = 21, kNOREG, kIIA, kCD, kFMP, kIP, kMP, kMP_CC, kMAR };
  const RecordView r(vBuffer, kMAR);
  Findings f = Findings::Continuing(vBufferErrores);
  const bool z = r.zKey();

  f.check(r.number(kFDE) == 0, 24, 73);
  const double fmp = r.number(kFMP);
  CheckCashBasis(f, z, fmp == 0, fmp > 0, 118, 128);
  const double ip = r.number(kIP);
  CheckCashBasis(f, z, ip == 0, ip > 0, 117, 128);
  CheckCashBasis(f, z, r.blank(kMP), !r.blank(kMP), 119, 128);
  f.check(r.blank(kMP_CC) && !r.empty(kMP) && ListedMeans(r, kMP) && z, 20, 115);
  f.check(r.blank(kMP) && !r.blank(kMP_CC), 21, 116);
  CheckDigits(f, r, kNOFAC, 20, 47);
  CheckDigits(f, r, kNOREG, 21, 48);
  CheckDigits(f, r, kCD, 22, 49);
}

void ValidarDpbi(const Value& vBuffer, Value& vBufferErrores) {
  enum : std::int32_t { kPAD = 21, kRAD, kIDE, kRADE, kFIU, kIDBIEN };
  const RecordView r(vBuffer, kIDBIEN);
  Findings f = Findings::Continuing(vBufferErrores);

  CheckLimit(f, r, kPAD, 20, 34, 100, 33);
  CheckDigits(f, r, kRAD, 21, 39);
  f.check(r.empty(kIDBIEN), 22, 38);
  CheckDigits(f, r, kRADE, 23, 35);
  CheckDate(f, r, kFIU, 24, 40, 42);
}

void ValidarDpdoi(const Value& vBuffer, Value& vBufferErrores) {
  enum : std::int32_t { kTOI = 21, kCD, kCEM, kPDE, kDESBIEN, kDOI, kPOI, kCP, kOFOD };
  const RecordView r(vBuffer, kOFOD);
  Findings f = Findings::Continuing(vBufferErrores);

  f.check(!r.equals(kTOI, "A") && !r.equals(kTOI, "B"), 20, 25);
  f.check(!r.equals(kCD, "D") && !r.equals(kCD, "R"), 21, 26);
  f.check(!General::EsPaisUE(r.text(kCEM)), 22, 44);
  CheckDigits(f, r, kPDE, 23, 45);
  f.check(r.empty(kDESBIEN), 24, 46);
}

}  // namespace kolvar::declared
