// Numbers to text and back, in one invariant form: '.' as the decimal point,
// no grouping, uppercase exponent.
#include "core/number_text.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "kolvar/value.h"

namespace kolvar {

namespace detail {

namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The longest number at the start of s: sign, digits with at most one point,
// and an exponent only when it has digits.
struct Scan {
  std::size_t length = 0;  // 0 when s does not start with a number
  bool negative = false;
  bool allZero = true;
  long long magnitude = 0;  // decimal position of the first significant digit, roughly
};

Scan ScanNumber(std::string_view s) {
  Scan r;
  std::size_t i = 0;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) r.negative = s[i++] == '-';
  std::size_t digits = 0;
  long long intDigits = 0;
  long long leadingZeros = 0;
  bool point = false;
  for (; i < s.size(); ++i) {
    if (IsDigit(s[i])) {
      if (r.allZero && s[i] == '0') {
        ++leadingZeros;
      } else {
        r.allZero = false;
      }
      ++digits;
      if (!point) ++intDigits;
    } else if (s[i] == '.' && !point) {
      point = true;
    } else {
      break;
    }
  }
  if (digits == 0) return r;
  r.length = i;
  r.magnitude = intDigits - leadingZeros;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    std::size_t j = i + 1;
    bool negExp = false;
    if (j < s.size() && (s[j] == '+' || s[j] == '-')) negExp = s[j++] == '-';
    long long exp = 0;
    const std::size_t first = j;
    for (; j < s.size() && IsDigit(s[j]); ++j) {
      if (exp < 1'000'000) exp = exp * 10 + (s[j] - '0');
    }
    if (j > first) {
      r.length = j;
      r.magnitude += negExp ? -exp : exp;
    }
  }
  return r;
}

// Converts a scanned number; false when it is too large for a double.
bool Convert(std::string_view s, const Scan& scan, double& out) {
  std::string_view text = s.substr(0, scan.length);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  double d = 0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), d);
  if (res.ec == std::errc::result_out_of_range) {
    const double limit = scan.magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    out = scan.negative ? -limit : limit;
    return scan.magnitude <= 0;
  }
  out = d;
  return true;
}

}  // namespace

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

NumberRead ReadNumber(std::string_view text, double& out) {
  text = TrimBlanks(text);
  const Scan scan = ScanNumber(text);
  if (scan.length == 0 || scan.length != text.size()) return NumberRead::NotNumber;
  return Convert(text, scan, out) ? NumberRead::Ok : NumberRead::Overflow;
}

}  // namespace detail

namespace {

// d with at most `digits` significant digits, trailing zeros dropped; the
// exponent form once the plain form would need more than `digits` digits.
std::string Significant(double d, int digits) {
  if (std::isnan(d)) return "NaN";
  if (std::isinf(d)) return d < 0 ? "-Inf" : "Inf";
  if (d == 0) return "0";  // also -0

  // The digits rounded as printf's %e rounds them, without its cost.
  char buf[64];
  const auto res =
      std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific, digits - 1);
  std::string_view s(buf, static_cast<std::size_t>(res.ptr - buf));
  std::string out;
  if (s.front() == '-') {
    out = "-";
    s.remove_prefix(1);
  }
  const std::size_t e = s.find('e');
  char mantBuf[32];
  std::size_t mantSize = 0;
  for (char c : s.substr(0, e)) {
    if (c != '.') mantBuf[mantSize++] = c;
  }
  while (mantSize > 1 && mantBuf[mantSize - 1] == '0') --mantSize;
  const std::string_view mant(mantBuf, mantSize);
  std::string_view expText = s.substr(e + 1);
  if (expText.front() == '+') expText.remove_prefix(1);
  int exp = 0;
  std::from_chars(expText.data(), expText.data() + expText.size(), exp);

  const int n = static_cast<int>(mant.size());
  if (exp >= digits || (exp < 0 && -exp - 1 + n > digits)) {
    out += mant[0];
    if (n > 1) {
      out += '.';
      out.append(mant.substr(1));
    }
    out += exp < 0 ? "E-" : "E+";
    const int a = std::abs(exp);
    if (a < 10) out += '0';
    out += std::to_string(a);
  } else if (exp < 0) {
    out += "0.";
    out.append(static_cast<std::size_t>(-exp - 1), '0');
    out += mant;
  } else if (n <= exp + 1) {
    out += mant;
    out.append(static_cast<std::size_t>(exp + 1 - n), '0');
  } else {
    out.append(mant.substr(0, static_cast<std::size_t>(exp + 1)));
    out += '.';
    out.append(mant.substr(static_cast<std::size_t>(exp + 1)));
  }
  return out;
}

}  // namespace

std::string NumberToText(double d) {
  return Significant(d, 15);
}

std::string SingleToText(float f) {
  return Significant(static_cast<double>(f), 7);
}

double RoundHalfEven(double x) {
  const double f = std::floor(x);
  const double diff = x - f;  // exact
  if (diff < 0.5) return f;
  if (diff > 0.5) return f + 1;
  return std::fmod(f, 2.0) == 0 ? f : f + 1;
}

double Val(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  const detail::Scan scan = detail::ScanNumber(text);
  if (scan.length == 0) return 0;
  double d = 0;
  if (!detail::Convert(text, scan, d)) return scan.negative ? -DBL_MAX : DBL_MAX;
  return d;
}

double Val(const char* text) {
  return Val(std::string_view(text ? text : ""));
}

double Val(const std::string& text) {
  return Val(std::string_view(text));
}

double Val(const Value& v) {
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
    case VarType::Object:
    case VarType::Array:
      return 0;
    default:
      return Val(v.toString());
  }
}

}  // namespace kolvar
