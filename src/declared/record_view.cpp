#include "declared/record_view.h"

#include "core/text.h"
#include "dbaccess/general.h"
#include "declared/error_buffer.h"

namespace kolvar::declared {

using namespace record_index;

namespace {

constexpr std::string_view kZKeys = "Z12345678";

}  // namespace

bool Occurs(std::string_view needle, std::string_view haystack) {
  return haystack.find(needle) != std::string_view::npos;
}

RecordView::RecordView(const Value& buffer, std::int32_t lastIndex) : buffer_(buffer) {
  (void)buffer_(lastIndex);
}

std::string RecordView::trimmed(std::int32_t i) const {
  return text::Trim(text(i));
}

bool RecordView::empty(std::int32_t i) const {
  return Compare(cell(i), Value("")) == 0;
}

bool RecordView::equals(std::int32_t i, std::string_view s) const {
  return Compare(cell(i), Value(std::string(s))) == 0;
}

bool RecordView::digitsAndHyphens(std::int32_t i) const {
  return General::EsNumeroConGuion(text(i));
}

bool RecordView::validDate(std::int32_t i) const {
  std::string date = text(i);  // the check may rewrite its argument; the record stays as it is
  return General::ValidarFecha(date);
}

double RecordView::number(std::int32_t i) const {
  const Value& v = cell(i);
  if (v.type() == VarType::String && text::Trim(v.toString()).empty()) return 0;
  return v.toDouble();
}

bool RecordView::isNot(std::int32_t i, double n) const {
  const auto c = Cmp(i, n);
  return c && *c != 0;
}

std::optional<int> RecordView::Cmp(std::int32_t i, double n) const {
  const Value& v = cell(i);
  if (v.type() == VarType::String && text::Trim(v.toString()).empty())
    return Compare(Value(0.0), Value(n));
  return Compare(v, Value(n));
}

std::int32_t RecordView::periodKey() const {
  const std::string month = General::DosDigitos(cell(kPeriodo).toInteger());
  return Value(text(kEjercicio) + month).toLong();
}

bool RecordView::zKey() const {
  return !empty(kCDO) && Occurs(text(kCDO), kZKeys);
}

Findings Findings::Fresh(Value& out) {
  out = NewErrorBuffer();
  return Findings(out, 0);
}

Findings Findings::Continuing(Value& out) {
  return Findings(out, NextColumn(out));
}

void Findings::add(std::int16_t field, findings::OnScreenCode code) {
  AppendEntry(out_, k_, Value(field), Value(std::int16_t{code}));
}

bool Findings::check(bool failed, std::int16_t field, findings::OnScreenCode code) {
  if (failed) add(field, code);
  return failed;
}

}  // namespace kolvar::declared
