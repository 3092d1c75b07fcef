// The dynamically typed cell and its conversions.
#include "kolvar/value.h"

#include <cfloat>
#include <cmath>
#include <limits>

#include "core/date_text.h"
#include "core/number_text.h"
#include "core/utf8.h"
#include "kolvar/error.h"

namespace kolvar {

// Cells are stored with the first index varying fastest, so growing the last
// dimension only appends cells.
struct Value::ArrayData {
  std::vector<std::pair<std::int32_t, std::int32_t>> bounds;
  std::vector<Value> cells;
};

namespace {

// Cells in an array with these bounds; error 9 for a negative extent, error 6
// past what an index can address.
std::size_t CellCount(const std::vector<std::pair<std::int32_t, std::int32_t>>& bounds) {
  constexpr std::int64_t kMaxCells = std::numeric_limits<std::int32_t>::max();
  std::int64_t count = 1;
  for (const auto& [lower, upper] : bounds) {
    const std::int64_t extent = std::int64_t{upper} - lower + 1;
    if (extent < 0) Raise(err::kSubscript);
    if (extent != 0 && count > kMaxCells / extent) Raise(err::kOverflow);
    count *= extent;
  }
  return static_cast<std::size_t>(count);
}

bool IsNumericType(VarType t) {
  switch (t) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Single:
    case VarType::Double:
    case VarType::Date:
    case VarType::Boolean:
    case VarType::Byte:
      return true;
    default:
      return false;
  }
}

// Rounded half to even and checked against [lo, hi]; NaN is out of range too.
double WholeNumber(double d, double lo, double hi) {
  const double r = RoundHalfEven(d);
  if (!(r >= lo && r <= hi)) Raise(err::kOverflow);
  return r;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

}  // namespace

Value::Value() = default;

Value Value::Null() {
  Value v;
  v.type_ = VarType::Null;
  return v;
}

Value::Value(bool v) : type_(VarType::Boolean), num_(v ? -1 : 0) {}
Value::Value(std::uint8_t v) : type_(VarType::Byte), num_(v) {}
Value::Value(std::int16_t v) : type_(VarType::Integer), num_(v) {}
Value::Value(std::int32_t v) : type_(VarType::Long), num_(v) {}
Value::Value(float v) : type_(VarType::Single), num_(v) {}
Value::Value(double v) : type_(VarType::Double), num_(v) {}
Value::Value(const char* v) : type_(VarType::String), s_(v ? v : "") {}
Value::Value(std::string v) : type_(VarType::String), s_(std::move(v)) {}
Value::Value(std::shared_ptr<Object> v) : type_(VarType::Object), obj_(std::move(v)) {}

Value Value::Date(double serial) {
  if (!detail::DateSerialInRange(serial)) Raise(err::kOverflow);
  Value v;
  v.type_ = VarType::Date;
  v.num_ = serial;
  return v;
}

Value::Value(const Value& other)
    : type_(other.type_),
      num_(other.num_),
      s_(other.s_),
      obj_(other.obj_),
      arr_(other.arr_ ? std::make_unique<ArrayData>(*other.arr_) : nullptr) {}

Value::Value(Value&& other) noexcept
    : type_(other.type_),
      num_(other.num_),
      s_(std::move(other.s_)),
      obj_(std::move(other.obj_)),
      arr_(std::move(other.arr_)) {
  other.type_ = VarType::Empty;
  other.num_ = 0;
  other.s_.clear();
}

Value& Value::operator=(const Value& other) {
  if (this != &other) *this = Value(other);
  return *this;
}

// `other` may live inside this value's own array, so it is moved out before
// the old contents are released.
Value& Value::operator=(Value&& other) noexcept {
  if (this == &other) return *this;
  if (!arr_) {  // nothing of this value can hold `other`
    type_ = other.type_;
    num_ = other.num_;
    s_ = std::move(other.s_);
    obj_ = std::move(other.obj_);
    arr_ = std::move(other.arr_);
    other.type_ = VarType::Empty;
    other.num_ = 0;
    other.s_.clear();
    return *this;
  }
  Value taken(std::move(other));
  std::swap(type_, taken.type_);
  std::swap(num_, taken.num_);
  s_.swap(taken.s_);
  obj_.swap(taken.obj_);
  arr_.swap(taken.arr_);
  return *this;
}

Value::~Value() = default;

std::shared_ptr<Object> Value::toObject() const {
  if (type_ != VarType::Object) Raise(err::kTypeMismatch);
  return obj_;
}

Value Value::Array(std::vector<std::pair<std::int32_t, std::int32_t>> bounds) {
  const std::size_t count = CellCount(bounds);
  Value v;
  v.type_ = VarType::Array;
  v.arr_ = std::make_unique<ArrayData>();
  v.arr_->bounds = std::move(bounds);
  v.arr_->cells.resize(count);
  return v;
}

bool Value::isNumber() const {
  return IsNumericType(type_);
}

int Value::dims() const {
  if (type_ != VarType::Array) Raise(err::kTypeMismatch);
  return static_cast<int>(arr_->bounds.size());
}

std::int32_t Value::lbound(int dim) const {
  if (dim < 1 || dim > dims()) Raise(err::kSubscript);
  return arr_->bounds[static_cast<std::size_t>(dim - 1)].first;
}

std::int32_t Value::ubound(int dim) const {
  if (dim < 1 || dim > dims()) Raise(err::kSubscript);
  return arr_->bounds[static_cast<std::size_t>(dim - 1)].second;
}

std::size_t Value::cellIndex(const std::int32_t* idx, int n) const {
  if (type_ != VarType::Array) Raise(err::kTypeMismatch);
  const auto& bounds = arr_->bounds;
  if (static_cast<std::size_t>(n) != bounds.size()) Raise(err::kSubscript);
  if (n == 2) {
    const auto [lower0, upper0] = bounds[0];
    const auto [lower1, upper1] = bounds[1];
    if (idx[0] < lower0 || idx[0] > upper0 || idx[1] < lower1 || idx[1] > upper1)
      Raise(err::kSubscript);
    return static_cast<std::size_t>(std::int64_t{idx[0]} - lower0) +
           static_cast<std::size_t>(std::int64_t{idx[1]} - lower1) *
               static_cast<std::size_t>(std::int64_t{upper0} - lower0 + 1);
  }
  std::size_t index = 0;
  std::size_t stride = 1;
  for (std::size_t d = 0; d < bounds.size(); ++d) {
    const auto [lower, upper] = bounds[d];
    if (idx[d] < lower || idx[d] > upper) Raise(err::kSubscript);
    index += static_cast<std::size_t>(std::int64_t{idx[d]} - lower) * stride;
    stride *= static_cast<std::size_t>(std::int64_t{upper} - lower + 1);
  }
  return index;
}

Value& Value::operator()(std::int32_t i) {
  const std::size_t k = cellIndex(&i, 1);  // raises before arr_ is touched
  return arr_->cells[k];
}

Value& Value::operator()(std::int32_t i, std::int32_t j) {
  const std::int32_t idx[] = {i, j};
  const std::size_t k = cellIndex(idx, 2);
  return arr_->cells[k];
}

const Value& Value::operator()(std::int32_t i) const {
  const std::size_t k = cellIndex(&i, 1);  // raises before arr_ is touched
  return arr_->cells[k];
}

const Value& Value::operator()(std::int32_t i, std::int32_t j) const {
  const std::int32_t idx[] = {i, j};
  const std::size_t k = cellIndex(idx, 2);
  return arr_->cells[k];
}

void Value::redimPreserve(std::int32_t newUpper) {
  if (dims() == 0) Raise(err::kSubscript);
  auto bounds = arr_->bounds;
  bounds.back().second = newUpper;
  const std::size_t count = CellCount(bounds);
  arr_->cells.resize(count);
  arr_->bounds = std::move(bounds);
}

// Empty is ""; numbers in the invariant form; Boolean "True"/"False"; a Date
// "dd/mm/yyyy" with the time only when it has one.
std::string Value::toString() const {
  switch (type_) {
    case VarType::Empty:
      return "";
    case VarType::Null:
      Raise(err::kInvalidNull);
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
      return std::to_string(static_cast<std::int64_t>(num_));
    case VarType::Single:
      return SingleToText(static_cast<float>(num_));
    case VarType::Double:
      return NumberToText(num_);
    case VarType::Date:
      return detail::DateToText(num_);
    case VarType::String:
      return s_;
    case VarType::Boolean:
      return num_ != 0 ? "True" : "False";
    case VarType::Object:
    case VarType::Array:
      break;
  }
  Raise(err::kTypeMismatch);
}

// Empty is 0; text must read as a number as a whole (error 13; error 6 when it
// is too large for a double).
double Value::toDouble() const {
  if (type_ == VarType::String) {
    double d = 0;
    switch (detail::ReadNumber(s_, d)) {
      case detail::NumberRead::Ok:
        return d;
      case detail::NumberRead::Overflow:
        Raise(err::kOverflow);
      case detail::NumberRead::NotNumber:
        Raise(err::kTypeMismatch);
    }
  }
  if (type_ == VarType::Empty) return 0;
  if (type_ == VarType::Null) Raise(err::kInvalidNull);
  if (!isNumber()) Raise(err::kTypeMismatch);
  return num_;
}

float Value::toSingle() const {
  const double d = toDouble();
  if (std::isfinite(d) && std::fabs(d) > FLT_MAX) Raise(err::kOverflow);
  return static_cast<float>(d);
}

std::int32_t Value::toLong() const {
  return static_cast<std::int32_t>(WholeNumber(toDouble(), -2147483648.0, 2147483647.0));
}

std::int16_t Value::toInteger() const {
  return static_cast<std::int16_t>(WholeNumber(toDouble(), -32768.0, 32767.0));
}

std::uint8_t Value::toByte() const {
  return static_cast<std::uint8_t>(WholeNumber(toDouble(), 0.0, 255.0));
}

// Numbers are true unless 0; text may also be "True" or "False" in any case.
bool Value::toBool() const {
  if (type_ == VarType::String) {
    const std::string_view t = detail::TrimBlanks(s_);
    if (EqualsNoCase(t, "True")) return true;
    if (EqualsNoCase(t, "False")) return false;
  }
  return toDouble() != 0;
}

// Text is a "dd/mm/yyyy[ hh:mm[:ss]]" date or a number; out of the years 100
// to 9999 is error 6.
double Value::toDateSerial() const {
  if (type_ == VarType::Date) return num_;
  double serial = 0;
  if (type_ == VarType::String && detail::ReadDateText(s_, serial)) return serial;
  serial = toDouble();
  if (!detail::DateSerialInRange(serial)) Raise(err::kOverflow);
  return serial;
}

bool IsNumeric(const Value& v) {
  if (v.isEmpty() || v.isNumber()) return true;
  if (v.type() != VarType::String) return false;
  double d = 0;
  return detail::ReadNumber(v.toString(), d) == detail::NumberRead::Ok;
}

namespace {

int Sign(double a, double b) {
  return (a > b) - (a < b);
}

int CompareCodePoints(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t ca = utf8::Next(a, i);
    const char32_t cb = utf8::Next(b, j);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return (i < a.size()) - (j < b.size());
}

// Text against a number: as numbers when the text reads as one, otherwise the
// text is the greater.
int CompareTextNumber(const std::string& text, double number) {
  double d = 0;
  if (detail::ReadNumber(text, d) == detail::NumberRead::NotNumber) return 1;
  return Sign(d, number);
}

}  // namespace

std::optional<int> Compare(const Value& a, const Value& b) {
  if (a.isNull() || b.isNull()) return std::nullopt;
  const auto scalar = [](const Value& v) {
    return v.isEmpty() || v.isNumber() || v.type() == VarType::String;
  };
  if (!scalar(a) || !scalar(b)) Raise(err::kTypeMismatch);

  const bool aText = a.type() == VarType::String;
  const bool bText = b.type() == VarType::String;
  if (aText && bText) return CompareCodePoints(a.toString(), b.toString());
  if (aText && b.isEmpty()) return CompareCodePoints(a.toString(), "");
  if (bText && a.isEmpty()) return CompareCodePoints("", b.toString());
  if (aText) return CompareTextNumber(a.toString(), b.toDouble());
  if (bText) return -CompareTextNumber(b.toString(), a.toDouble());
  return Sign(a.toDouble(), b.toDouble());
}

}  // namespace kolvar
