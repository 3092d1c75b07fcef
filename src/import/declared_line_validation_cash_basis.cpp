// The cash-basis family shared by the issued and the received books.
#include "import/declared_line_validation_cash_basis.h"

#include <algorithm>

#include "core/text.h"
#include "dbaccess/general.h"

namespace kolvar::Importacion::line_rules {

namespace {

constexpr std::int32_t kCashBasisYear = 2014;
constexpr std::int32_t kBlockRows = 5;

}  // namespace

void EmptyBlockTest(DeclaredLine& line, std::string_view books, std::int32_t firstRow) {
  if (line.soloValidar() || !BookIn(line, books)) return;
  Value& buffer = line.fieldBuffer();
  const std::int32_t lastRow = std::min(firstRow + kBlockRows - 1, buffer.ubound(1));
  std::string joined;
  for (std::int32_t n = firstRow; n <= lastRow; ++n) {
    const Value& cell = buffer(n, 0);
    if (!cell.isNull()) joined += cell.toString();
  }
  if (!text::Trim(joined).empty()) return;
  for (std::int32_t n = firstRow; n <= lastRow; ++n)
    buffer(n, 0) = n < firstRow + 2 ? Value(std::int16_t{0}) : Value("");
  line.cashBlockEmpty = true;
}

bool BlockApplies(const DeclaredLine& line) {
  return line.ejercicio() >= kCashBasisYear && !line.cashBlockEmpty;
}

void CashDate(DeclaredLine& line, const std::string& v, findings::ImportCode digitsCode,
              const CashBasisCodes& codes) {
  Digits(line, v, digitsCode);
  if (!General::EsNumeroConGuion(v)) return;
  const bool key = CashBasisKey(line);
  const double date = Val(v);
  if (key && date == 0) line.add(113, v);
  if (!key && date > 0) line.add(codes.forbidden, v);
}

void CashAmount(DeclaredLine& line, const std::string& v, findings::ImportCode digitsCode,
                const CashBasisCodes& codes) {
  const std::string sign = text::Left(v, 1);
  const std::string digits = text::Mid(v, 2);
  if (sign != "-" && sign != " " && sign != "0")
    line.add(120, v);
  else
    Digits(line, digits, digitsCode);
  const bool key = CashBasisKey(line);
  const double amount = Val(digits);
  const std::string entry = NumberToText(amount / 100);
  if (key && amount == 0) line.add(112, entry);
  if (!key && amount > 0) line.add(codes.forbidden, entry);
}

void CashMeans(DeclaredLine& line, const std::string& v, const CashBasisCodes& codes,
               bool markedOnlyWithKey) {
  const bool key = CashBasisKey(line);
  const bool given = !text::Trim(v).empty();
  if (key && !given) line.add(114, v);
  if (!key && given) line.add(codes.forbidden, v);
  if ((!markedOnlyWithKey || key) && !Occurs(text::Left(v, 1), "CTFO ")) line.add(121, v);
}

void CashAccount(DeclaredLine& line, const std::string& v, KeyId means,
                 const CashBasisCodes& codes) {
  const bool key = CashBasisKey(line);
  const std::string meansText = text::Trim(line.text(means));
  const bool account = !text::Trim(v).empty();
  const bool needsAccount = !meansText.empty() && Occurs(meansText, "CTO");
  if (key && needsAccount && !account) line.add(codes.accountMissing, v);
  if (!key && needsAccount && account) line.add(codes.forbidden, v);
  if (meansText.empty() && account) line.add(codes.accountWithoutMeans, v);
}

void CashMark(DeclaredLine& line, const std::string& v) {
  OneOf(line, v, "S ", 123);
}

}  // namespace kolvar::Importacion::line_rules
