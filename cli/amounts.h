// Amounts and dates as people read and type them: euros with two decimals
// and thousands separators; dates as YYYY-MM-DD.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kolvar::cli {

// 123456789.5 -> "123.456.789,50" (both languages group and mark decimals so).
std::string Euros(double euros);
// Cents as stored -> euros.
inline double FromCents(double cents) {
  return cents / 100.0;
}
// "1234.5", "1234,50", "-12" -> cents; nullopt when not an amount.
std::optional<long long> ParseCents(std::string_view text);
// "2014-01-15" or "20140115" -> 20140115 (a real date); "0" -> 0; else nullopt.
std::optional<std::int32_t> ParseDate(std::string_view text);
// 20140115 -> "2014-01-15"; 0 -> "".
std::string DateText(long long yyyymmdd);
// A whole number; nullopt when the text is not one or is out of range.
std::optional<long long> ParseWhole(std::string_view text, long long min, long long max);

}  // namespace kolvar::cli
