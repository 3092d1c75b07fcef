// The rules of the issued-invoice detail fields, in the order they are tried.
#include "declared/field_checks.h"
#include "declared/record_view.h"
#include "declared/validation.h"

namespace kolvar::declared {

using namespace record_index;

namespace {

enum IssuedIndex : std::int32_t {
  kNOFAC = 21,
  kNOREG = 22,
  kTRE = 25,
  kCRE = 26,
  kSDI = 27,
  kREFCAT = 28,
  kIPM = 29,
  kEJERMET = 30,
  kFMC = 32,
  kIC = 33,
  kMC = 34,
  kMC_CC = 35,
  kMAR = 36,
};

constexpr std::int32_t kFirstPeriodWithExtraRules = 201201;
constexpr double kFirstPartialProrataYear = 2012;

// A record that carries the partial-prorata pair carries none of these.
bool CarriesOperationData(const RecordView& r) {
  bool any = !r.empty(kCDO) || !r.empty(kIDFACTURA) || !r.empty(kNODEREG);
  for (std::int32_t i : {kFDO, kTIPOIMP, kBIMP, kCUOTA, kIMPTF, kBASEIMPCOSTE})
    any = (r.number(i) > 0) || any;  // every field is read, as each needs a number
  return any;
}

}  // namespace

void ValidarDpfe(const Value& vBuffer, Value& vBufferErrores) {
  const RecordView r(vBuffer, kMAR);
  Findings f = Findings::Continuing(vBufferErrores);
  const bool z = r.zKey();

  const double fmc = r.number(kFMC);
  CheckCashBasis(f, z, fmc == 0, fmc > 0, 113, 129);
  const double ic = r.number(kIC);
  CheckCashBasis(f, z, ic == 0, ic > 0, 112, 129);
  CheckCashBasis(f, z, r.blank(kMC), !r.blank(kMC), 114, 129);
  f.check(r.blank(kMC_CC) && ListedMeans(r, kMC) && z, 20, 110);
  f.check(!z && ((!r.blank(kMC_CC) && !ListedMeans(r, kMC)) || !r.blank(kMC) || fmc > 0 || ic > 0),
          20, 129);
  f.check(r.blank(kMC) && !r.blank(kMC_CC), 21, 111);
  CheckDigits(f, r, kNOFAC, 20, 47);
  CheckDigits(f, r, kNOREG, 21, 48);
  CheckLimit(f, r, kTRE, 22, 50, 10000, 87);
  CheckDigits(f, r, kCRE, 23, 51);
  if (r.periodKey() < kFirstPeriodWithExtraRules) return;

  const double fde = r.number(kFDE);
  const double ipm = r.number(kIPM);
  f.check(fde == 0 && ipm == 0, 24, 73);
  f.check(r.is(kSDI, 0) && !r.empty(kREFCAT), 25, 107);
  f.check(r.above(kEJERMET, 0) && ipm == 0, 26, 103);
  const double ejermet = r.number(kEJERMET);
  f.check(ejermet == 0 && ipm > 0, 27, 106);
  const bool pair = ipm > 0 && ejermet > 0;
  const bool afterFiscalYear = Compare(Value(ejermet), r.cell(kEjercicio)) > 0;
  f.check(pair && (afterFiscalYear || ejermet < kFirstPartialProrataYear), 28, 104);
  f.check(CarriesOperationData(r) && pair, 29, 105);
}

}  // namespace kolvar::declared
