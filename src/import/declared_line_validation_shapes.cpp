// The line's row index and the rule shapes that several keys share.
#include <algorithm>
#include <array>

#include "core/text.h"
#include "dbaccess/general.h"
#include "import/declared_line_validation_rules.h"
#include "import/import_checks.h"

namespace kolvar::Importacion::line_rules {

namespace {

// Keys by a cheap hash of their bytes, in a table with room to spare.
constexpr std::size_t kSlots = 256;

constexpr std::size_t SlotOf(std::string_view key) {
  std::size_t h = key.size();
  for (const char c : key) h = h * 31 + static_cast<unsigned char>(c);
  return h % kSlots;
}

constexpr std::array<KeyId, kSlots> kKeyOfSlot = [] {
  std::array<KeyId, kSlots> slots{};
  slots.fill(kNoKey);
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    std::size_t s = SlotOf(kKeys[i]);
    while (slots[s] != kNoKey) s = (s + 1) % kSlots;
    slots[s] = static_cast<KeyId>(i);
  }
  return slots;
}();

}  // namespace

KeyId FindKey(std::string_view key) {
  for (std::size_t s = SlotOf(key);; s = (s + 1) % kSlots) {
    const KeyId id = kKeyOfSlot[s];
    if (id == kNoKey || kKeys[id] == key) return id;
  }
}

DeclaredLine::DeclaredLine(Value& fieldBuffer, Value& errores, const Services& services,
                           std::int32_t ejercicio, std::int16_t periodo, bool soloValidar)
    : buffer_(fieldBuffer),
      errores_(errores),
      services_(services),
      ejercicio_(ejercicio),
      periodo_(periodo),
      soloValidar_(soloValidar) {
  rows_.fill(-1);
  const std::int32_t last = buffer_.ubound(1);
  keyOfRow_.assign(static_cast<std::size_t>(std::max(last + 1, 0)), kNoKey);
  for (std::int32_t n = 1; n <= last; ++n) {
    const Value& key = buffer_(n, 1);
    if (key.type() != VarType::String) continue;
    const KeyId id = FindKey(key.toString());
    keyOfRow_[static_cast<std::size_t>(n)] = id;
    if (id != kNoKey && rows_[id] < 0) rows_[id] = n;
  }
}

Value DeclaredLine::value(KeyId key) const {
  return rows_[key] < 0 ? Value() : buffer_(rows_[key], 0);
}

std::string DeclaredLine::text(KeyId key) const {
  if (rows_[key] < 0) return "";
  const Value& cell = buffer_(rows_[key], 0);
  return cell.isNull() ? std::string() : cell.toString();
}

void DeclaredLine::add(findings::ImportCode code, const std::string& entryText) {
  AgregarError(errores_, k_, code, entryText);
}

void Digits(DeclaredLine& line, const std::string& v, findings::ImportCode code) {
  ComprobarNumerico(v, line.errores(), line.counter(), code);
}

int CompareWith(const Value& v, double number) {
  return Compare(v, Value(number)).value_or(0);
}

bool BookIn(const DeclaredLine& line, std::string_view books) {
  const std::string book = line.text(K("CDTL"));
  return !book.empty() && Occurs(book, books);
}

bool CashBasisKey(const DeclaredLine& line) {
  const std::string key = line.text(K("CDO"));
  return !key.empty() && Occurs(key, "Z12345678");
}

void AmountRule(DeclaredLine& line, const std::string& v, findings::ImportCode signCode,
                findings::ImportCode digitsCode) {
  const std::string sign = text::Left(v, 1);
  if (sign != "-" && sign != " ") {
    line.add(signCode, v);
    return;
  }
  Digits(line, text::Mid(v, 2), digitsCode);
}

void RateRule(DeclaredLine& line, const std::string& v, findings::ImportCode digitsCode,
              double limit, findings::ImportCode limitCode, bool hundredths) {
  Digits(line, v, digitsCode);
  if (!General::EsNumeroConGuion(v) || CompareWith(Value(v), limit) <= 0) return;
  line.add(limitCode, hundredths ? NumberToText(Val(v) / 100) : v);
}

void DateRule(DeclaredLine& line, const std::string& v, findings::ImportCode digitsCode,
              findings::ImportCode dateCode) {
  Digits(line, v, digitsCode);
  if (!General::EsNumeroConGuion(v)) return;
  std::string date = v;  // the check may rewrite its argument
  if (!General::ValidarFecha(date)) line.add(dateCode, v);
}

void OneOf(DeclaredLine& line, const std::string& v, std::string_view set,
           findings::ImportCode code, bool required) {
  if ((required && v.empty()) || !Occurs(v, set)) line.add(code, v);
}

}  // namespace kolvar::Importacion::line_rules
