#include "amounts.h"

#include <cmath>
#include <cstdio>

namespace kolvar::cli {

std::string Euros(double euros) {
  const long long cents = std::llround(euros * 100.0);
  const unsigned long long a = cents < 0 ? -static_cast<unsigned long long>(cents) : cents;
  std::string whole = std::to_string(a / 100);
  for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3) whole.insert(i, ".");
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, ",%02llu", a % 100);
  return (cents < 0 ? "-" : "") + whole + fraction;
}

std::optional<long long> ParseWhole(std::string_view text, long long min, long long max) {
  if (text.empty() || text.size() > 18) return std::nullopt;
  std::size_t i = 0;
  const bool negative = text[0] == '-';
  if (negative || text[0] == '+') ++i;
  if (i == text.size()) return std::nullopt;
  long long n = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    n = n * 10 + (text[i] - '0');
  }
  if (negative) n = -n;
  if (n < min || n > max) return std::nullopt;
  return n;
}

std::optional<long long> ParseCents(std::string_view text) {
  const std::size_t mark = text.find_first_of(".,");
  std::string_view whole = text.substr(0, mark);
  std::string_view fraction = mark == std::string_view::npos ? "" : text.substr(mark + 1);
  if (fraction.size() > 2) return std::nullopt;
  const bool negative = !whole.empty() && whole[0] == '-';
  if ((whole.empty() || whole == "-") && fraction.empty()) return std::nullopt;
  if (whole == "-" || whole.empty()) whole = negative ? "-0" : "0";
  const auto units = ParseWhole(whole, -99999999999LL, 99999999999LL);
  if (!units) return std::nullopt;
  long long cents = 0;
  for (std::size_t i = 0; i < 2; ++i) {
    const char c = i < fraction.size() ? fraction[i] : '0';
    if (c < '0' || c > '9') return std::nullopt;
    cents = cents * 10 + (c - '0');
  }
  return negative ? *units * 100 - cents : *units * 100 + cents;
}

std::optional<std::int32_t> ParseDate(std::string_view text) {
  if (text == "0") return 0;
  std::string digits;
  if (text.size() == 10 && text[4] == '-' && text[7] == '-') {
    digits = std::string(text.substr(0, 4)) + std::string(text.substr(5, 2)) +
             std::string(text.substr(8, 2));
  } else if (text.size() == 8) {
    digits = std::string(text);
  } else {
    return std::nullopt;
  }
  const auto n = ParseWhole(digits, 0, 99999999);
  if (!n || digits[0] == '-' || digits[0] == '+') return std::nullopt;
  const int y = static_cast<int>(*n / 10000), m = static_cast<int>(*n / 100 % 100),
            d = static_cast<int>(*n % 100);
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (y < 1900 || m < 1 || m > 12 || d < 1) return std::nullopt;
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  if (d > kDays[m - 1] + (m == 2 && leap)) return std::nullopt;
  return static_cast<std::int32_t>(*n);
}

std::string DateText(long long yyyymmdd) {
  if (yyyymmdd <= 0) return "";
  char text[48];
  std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", yyyymmdd / 10000, yyyymmdd / 100 % 100,
                yyyymmdd % 100);
  return text;
}

}  // namespace kolvar::cli
