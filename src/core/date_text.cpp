// Serial dates to "dd/mm/yyyy[ hh:mm:ss]" text and back.
#include "core/date_text.h"

#include <cmath>
#include <cstdio>

#include "core/number_text.h"

namespace kolvar::detail {

namespace {

constexpr long long kEpochOffset = 25569;  // days from 1899-12-30 to 1970-01-01

// Proleptic Gregorian calendar, days counted from 1970-01-01.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const auto yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const auto doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = doy - (153 * mp + 2) / 5 + 1;
  m = mp < 10 ? mp + 3 : mp - 9;
  y = static_cast<long long>(yoe) + era * 400 + (m <= 2);
}

unsigned DaysInMonth(long long y, unsigned m) {
  static constexpr unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return m == 2 && leap ? 29 : kDays[m - 1];
}

// Reads 1 to maxDigits digits at s[pos].
bool ReadField(std::string_view s, std::size_t& pos, std::size_t maxDigits, unsigned& out) {
  std::size_t n = 0;
  out = 0;
  while (pos < s.size() && n < maxDigits && s[pos] >= '0' && s[pos] <= '9') {
    out = out * 10 + static_cast<unsigned>(s[pos++] - '0');
    ++n;
  }
  return n > 0;
}

bool Expect(std::string_view s, std::size_t& pos, char c) {
  if (pos >= s.size() || s[pos] != c) return false;
  ++pos;
  return true;
}

}  // namespace

bool DateSerialInRange(double serial) {
  return serial > -657435.0 && serial < 2958466.0;
}

std::string DateToText(double serial) {
  if (!std::isfinite(serial) || std::fabs(serial) > 1e9) return "";
  const double day = std::trunc(serial);
  long long secs = std::llround(std::fabs(serial - day) * 86400.0);
  long long days = static_cast<long long>(day);
  if (secs >= 86400) {
    secs = 0;
    ++days;  // both signs: the next calendar day
  }
  long long y = 0;
  unsigned m = 0, d = 0;
  CivilFromDays(days - kEpochOffset, y, m, d);
  char buf[64];
  int n = std::snprintf(buf, sizeof buf, "%02u/%02u/%04lld", d, m, y);
  if (secs != 0) {
    std::snprintf(buf + n, sizeof buf - static_cast<std::size_t>(n), " %02lld:%02lld:%02lld",
                  secs / 3600, secs / 60 % 60, secs % 60);
  }
  return buf;
}

bool ReadDateText(std::string_view text, double& serial) {
  const std::string_view s = TrimBlanks(text);
  std::size_t pos = 0;
  unsigned d = 0, m = 0, y = 0, hh = 0, mi = 0, ss = 0;
  if (!ReadField(s, pos, 2, d) || !Expect(s, pos, '/') || !ReadField(s, pos, 2, m) ||
      !Expect(s, pos, '/')) {
    return false;
  }
  const std::size_t yearStart = pos;
  if (!ReadField(s, pos, 4, y) || pos - yearStart != 4) return false;
  if (pos < s.size()) {
    const std::size_t beforeBlanks = pos;
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t')) ++pos;
    if (pos == beforeBlanks || !ReadField(s, pos, 2, hh) || !Expect(s, pos, ':') ||
        !ReadField(s, pos, 2, mi)) {
      return false;
    }
    if (pos < s.size() && (!Expect(s, pos, ':') || !ReadField(s, pos, 2, ss))) return false;
    if (pos != s.size()) return false;
  }
  if (y < 100 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
  if (hh > 23 || mi > 59 || ss > 59) return false;
  const double day = static_cast<double>(DaysFromCivil(y, m, d) + kEpochOffset);
  const double time = (hh * 3600.0 + mi * 60.0 + ss) / 86400.0;
  serial = day < 0 ? day - time : day + time;
  return true;
}

}  // namespace kolvar::detail
