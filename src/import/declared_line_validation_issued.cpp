// The rules of the issued-invoice books E and F.
#include "core/text.h"
#include "import/declared_line_validation_cash_basis.h"

namespace kolvar::Importacion::line_rules {

namespace {

constexpr std::int32_t kPropertyYear = 2012;
constexpr std::int32_t kCashBlockRow = 33;

bool PropertyRules(const DeclaredLine& line) {
  return line.ejercicio() >= kPropertyYear;
}

void NoFac(DeclaredLine& line, const std::string& v) {
  Digits(line, v, 47);
}
void NoReg(DeclaredLine& line, const std::string& v) {
  Digits(line, v, 48);
}
void Tre(DeclaredLine& line, const std::string& v) {
  RateRule(line, v, 50, 10000, 87);
}
void Cre(DeclaredLine& line, const std::string& v) {
  AmountRule(line, v, 94, 51);
}

void Sdi(DeclaredLine& line, const std::string& v) {
  if (!PropertyRules(line)) return;
  Digits(line, v, 99);
  OneOf(line, v, "0145678", 108);
  if (Val(v) == 0 && !text::Trim(line.text(K("PFE_REFCAT"))).empty())
    line.add(107, line.text(K("PFE_IPM")));
}

// Any of the invoice's own amounts or texts given beside a property letting.
bool InvoiceDataGiven(const DeclaredLine& line) {
  for (KeyId amount :
       {K("FDO"), K("TIPOIMP"), K("BIMP"), K("CUOTA"), K("IMPTF"), K("BASEIMPCOSTE")})
    if (CompareWith(line.value(amount), 0) > 0) return true;
  return !line.empty(K("CDO")) || !line.empty(K("IDFACTURA")) || !line.empty(K("NODEREG"));
}

void Ipm(DeclaredLine& line, const std::string& v) {
  if (!PropertyRules(line)) return;
  Digits(line, v, 100);
  const int amount = CompareWith(Value(v), 0);
  const Value year = line.value(K("PFE_EJERMET"));
  const int yearSign = CompareWith(year, 0);
  const std::string yearText = line.text(K("PFE_EJERMET"));
  if (amount > 0 && yearSign == 0) line.add(106, yearText);
  if (amount == 0 && yearSign > 0) line.add(103, yearText);
  if (amount > 0 && yearSign > 0 && InvoiceDataGiven(line)) line.add(105, v);
}

void EjerMet(DeclaredLine& line, const std::string& v) {
  if (!PropertyRules(line)) return;
  Digits(line, v, 101);
  const double year = Val(v);
  if (year > 0 && Val(line.text(K("PFE_IPM"))) > 0 &&
      (year < kPropertyYear || year > line.ejercicio()))
    line.add(104, v);
}

void IpptdiChange(DeclaredLine& line, const std::string&) {
  if (PropertyRules(line)) EmptyBlockTest(line, "EF", kCashBlockRow);
}
void Ipptdi(DeclaredLine& line, const std::string& v) {
  if (PropertyRules(line)) Digits(line, v, 102);
  IpptdiChange(line, v);
}

void Fmc(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashDate(line, v, 126, kIssuedCash);
}
void Ic(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashAmount(line, v, 124, kIssuedCash);
}
void Mc(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashMeans(line, v, kIssuedCash, false);
}
void McCc(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashAccount(line, v, K("PFE_MC"), kIssuedCash);
}
void Marca(DeclaredLine& line, const std::string& v) {
  if (BlockApplies(line)) CashMark(line, v);
}

}  // namespace

const std::vector<KeyRule>& IssuedRules() {
  static const std::vector<KeyRule> rules = {
      {K("PFE_NOFAC"), NoFac},     {K("PFE_NOREG"), NoReg},   {K("PFE_TRE"), Tre},
      {K("PFE_CRE"), Cre},         {K("PFE_SDI"), Sdi},       {K("PFE_IPM"), Ipm},
      {K("PFE_EJERMET"), EjerMet}, {K("PFE_IPPTDI"), Ipptdi}, {K("PFE_FMC"), Fmc},
      {K("PFE_IC"), Ic},           {K("PFE_MC"), Mc},         {K("PFE_MC_CC"), McCc},
      {K("PFE_MARCA"), Marca}};
  return rules;
}

const std::vector<KeyRule>& IssuedImportChanges() {
  static const std::vector<KeyRule> changes = {{K("PFE_IPPTDI"), IpptdiChange}};
  return changes;
}

}  // namespace kolvar::Importacion::line_rules
