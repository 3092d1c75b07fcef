// The rules of the received-invoice books R and S.
#include "import/declared_line_validation_cash_basis.h"

namespace kolvar::Importacion::line_rules {

namespace {

constexpr std::int32_t kCashBlockRow = 26;

void NoFac(DeclaredLine& line, const std::string& v) {
  Digits(line, v, 47);
}
void NoReg(DeclaredLine& line, const std::string& v) {
  Digits(line, v, 48);
}

void CdChange(DeclaredLine& line, const std::string&) {
  EmptyBlockTest(line, "RS", kCashBlockRow);
}
void Cd(DeclaredLine& line, const std::string& v) {
  AmountRule(line, v, 95, 49);
  CdChange(line, v);
}

void Fmp(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashDate(line, v, 127, kReceivedCash);
}
void Ip(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashAmount(line, v, 125, kReceivedCash);
}
void Mp(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashMeans(line, v, kReceivedCash, true);
}
void MpCc(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashAccount(line, v, K("PFR_MP"), kReceivedCash);
}
void Marca(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashMark(line, v);
}

}  // namespace

const std::vector<KeyRule>& ReceivedRules() {
  static const std::vector<KeyRule> rules = {{K("PFR_NOFAC"), NoFac}, {K("PFR_NOREG"), NoReg},
                                             {K("PFR_CD"), Cd},       {K("PFR_FMP"), Fmp},
                                             {K("PFR_IP"), Ip},       {K("PFR_MP"), Mp},
                                             {K("PFR_MP_CC"), MpCc},  {K("PFR_MARCA"), Marca}};
  return rules;
}

const std::vector<KeyRule>& ReceivedImportChanges() {
  static const std::vector<KeyRule> changes = {{K("PFR_CD"), CdChange}};
  return changes;
}

}  // namespace kolvar::Importacion::line_rules
