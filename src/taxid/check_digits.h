// Arithmetic shared by the tax-identifier checks. Everything works on views of
// ASCII text and never allocates, so the callers can stay noexcept.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace kolvar::check_digits {

constexpr bool IsDigit(char c) noexcept {
  return c >= '0' && c <= '9';
}
constexpr bool IsUpper(char c) noexcept {
  return c >= 'A' && c <= 'Z';
}
constexpr int Digit(char c) noexcept {
  return c - '0';
}

constexpr bool AllDigits(std::string_view s) noexcept {
  for (char c : s)
    if (!IsDigit(c)) return false;
  return true;
}

// Decimal value of a run of at most 18 digits.
constexpr std::int64_t Number(std::string_view digits) noexcept {
  std::int64_t n = 0;
  for (char c : digits) n = n * 10 + Digit(c);
  return n;
}

// Sum of digit times weight, pairing from the left; extra digits or weights
// are ignored.
constexpr int WeightedSum(std::string_view digits, std::initializer_list<int> weights) noexcept {
  int sum = 0;
  std::size_t i = 0;
  for (int w : weights) {
    if (i >= digits.size()) break;
    sum += w * Digit(digits[i++]);
  }
  return sum;
}

// Luhn sum: from the right, every second digit doubled (its digits added).
// With `double_rightmost` the doubling starts at the rightmost digit, which is
// how a check digit still to be appended is computed.
constexpr int LuhnSum(std::string_view digits, bool double_rightmost = false) noexcept {
  int sum = 0;
  bool twice = double_rightmost;
  for (std::size_t i = digits.size(); i-- > 0; twice = !twice) {
    const int d = Digit(digits[i]) * (twice ? 2 : 1);
    sum += d > 9 ? d - 9 : d;
  }
  return sum;
}

constexpr bool LuhnValid(std::string_view digits) noexcept {
  return LuhnSum(digits) % 10 == 0;
}

// Luhn check digit for `body`.
constexpr int LuhnCheckDigit(std::string_view body) noexcept {
  return (10 - LuhnSum(body, true) % 10) % 10;
}

// ISO 7064 MOD 11,10 over digits that end with their check digit.
constexpr bool Mod11_10Valid(std::string_view digits) noexcept {
  if (digits.empty()) return false;
  int product = 10;
  for (char c : digits.substr(0, digits.size() - 1)) {
    int sum = (Digit(c) + product) % 10;
    if (sum == 0) sum = 10;
    product = 2 * sum % 11;
  }
  return (Digit(digits.back()) + product) % 10 == 1;
}

// Remainder modulo 97 of the number spelt by digits and letters, each letter
// standing for its two-digit value A=10 .. Z=35 (ISO 7064 MOD 97-10 reading).
// `r` is the remainder of what precedes `text`.
constexpr int Mod97(std::string_view text, int r = 0) noexcept {
  for (char c : text) r = IsDigit(c) ? (r * 10 + Digit(c)) % 97 : (r * 100 + (c - 'A' + 10)) % 97;
  return r;
}

constexpr bool IsLeapYear(int y) noexcept {
  return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

constexpr bool IsValidDate(int year, int month, int day) noexcept {
  constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || month < 1 || month > 12 || day < 1) return false;
  return day <= kDays[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

constexpr std::string_view TrimBlanks(std::string_view s) noexcept {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

}  // namespace kolvar::check_digits
