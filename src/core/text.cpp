#include "core/text.h"

#include <cctype>

#include "core/utf8.h"

namespace kolvar::text {

std::size_t Len(std::string_view s) {
  return utf8::Length(s);
}

std::string Left(std::string_view s, std::size_t n) {
  return utf8::Substr(s, 0, n);
}

std::string Right(std::string_view s, std::size_t n) {
  const std::size_t len = utf8::Length(s);
  return n >= len ? std::string(s) : utf8::Substr(s, len - n);
}

std::string Mid(std::string_view s, std::size_t start, std::size_t n) {
  return start < 1 ? std::string() : utf8::Substr(s, start - 1, n);
}

std::string Trim(std::string_view s) {
  return RTrim(LTrim(s));
}

std::string LTrim(std::string_view s) {
  const auto b = s.find_first_not_of(' ');
  return b == std::string_view::npos ? std::string() : std::string(s.substr(b));
}

std::string RTrim(std::string_view s) {
  const auto e = s.find_last_not_of(' ');
  return e == std::string_view::npos ? std::string() : std::string(s.substr(0, e + 1));
}

std::string UCase(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) {
    const std::size_t begin = pos;
    char32_t c = utf8::Next(s, pos);
    if (c == utf8::kReplacement && pos - begin == 1) {  // a stray byte stays as it was
      out += s[begin];
      continue;
    }
    if (c >= 'a' && c <= 'z')
      c -= 32;
    else if ((c >= 0xE0 && c <= 0xFE && c != 0xF7))
      c -= 32;
    else if (c == 0xFF)
      c = 0x178;
    utf8::Append(out, c);
  }
  return out;
}

std::string Replace(std::string s, std::string_view from, std::string_view to) {
  if (from.empty()) return s;
  for (std::size_t pos = 0; (pos = s.find(from, pos)) != std::string::npos; pos += to.size())
    s.replace(pos, from.size(), to);
  return s;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

}  // namespace kolvar::text
