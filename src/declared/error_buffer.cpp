#include "declared/error_buffer.h"

#include "kolvar/error.h"

namespace kolvar::declared {

namespace {

std::int16_t Counter(std::int32_t n) {
  if (n > INT16_MAX || n < INT16_MIN) Raise(err::kOverflow);
  return static_cast<std::int16_t>(n);
}

}  // namespace

Value NewErrorBuffer() {
  return Value::Array({{0, 1}, {0, 0}});
}

void AppendEntry(Value& buffer, std::int16_t& k, const Value& first, const Value& second) {
  buffer.redimPreserve(k);
  buffer(0, k) = first;
  buffer(1, k) = second;
  k = Counter(std::int32_t{k} + 1);
}

std::int16_t NextColumn(const Value& buffer) {
  const std::int32_t last = buffer.ubound(2);
  return Counter(buffer(0, 0).isEmpty() ? last : last + 1);
}

}  // namespace kolvar::declared
