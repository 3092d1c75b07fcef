#include "core/utf8.h"

#include <cstdint>
#include <cstring>

namespace kolvar::utf8 {

namespace {

// The length of the run of ASCII bytes at s[pos], eight at a time.
std::size_t AsciiRun(std::string_view s, std::size_t pos) {
  const std::size_t start = pos;
  for (std::uint64_t word = 0; pos + 8 <= s.size(); pos += 8) {
    std::memcpy(&word, s.data() + pos, 8);
    if (word & 0x8080808080808080ULL) break;
  }
  while (pos < s.size() && static_cast<unsigned char>(s[pos]) < 0x80) ++pos;
  return pos - start;
}

}  // namespace

char32_t Next(std::string_view s, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  const unsigned char b0 = byte(pos);
  if (b0 < 0x80) {
    ++pos;
    return b0;
  }
  int extra = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    ++pos;
    return kReplacement;
  }
  if (pos + extra >= s.size()) {  // truncated sequence
    ++pos;
    return kReplacement;
  }
  for (int i = 1; i <= extra; ++i) {
    const unsigned char b = byte(pos + i);
    if ((b & 0xC0) != 0x80) {
      ++pos;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++pos;
    return kReplacement;
  }
  pos += extra + 1;
  return cp;
}

bool IsValid(std::string_view s) {
  for (std::size_t pos = 0; pos < s.size();) {
    pos += AsciiRun(s, pos);
    if (pos == s.size()) break;
    const std::size_t at = pos;
    if (Next(s, pos) == kReplacement && !(pos - at == 3 && s.substr(at, 3) == "\xEF\xBF\xBD"))
      return false;
  }
  return true;
}

std::string FromLatin1(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 8);
  for (const char c : s) Append(out, static_cast<unsigned char>(c));
  return out;
}

std::u32string Decode(std::string_view s) {
  std::u32string out;
  out.reserve(s.size());
  for (std::size_t pos = 0; pos < s.size();) out.push_back(Next(s, pos));
  return out;
}

void Append(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string Encode(std::u32string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char32_t c : s) Append(out, c);
  return out;
}

std::size_t Length(std::string_view s) {
  std::size_t n = 0;
  for (std::size_t pos = 0; pos < s.size(); ++n) {
    if (const std::size_t run = AsciiRun(s, pos)) {
      pos += run;
      n += run - 1;
      continue;
    }
    Next(s, pos);
  }
  return n;
}

std::size_t ByteOffset(std::string_view s, std::size_t chars) {
  std::size_t pos = 0;
  for (std::size_t n = 0; n < chars && pos < s.size(); ++n) {
    if (static_cast<unsigned char>(s[pos]) < 0x80)
      ++pos;
    else
      Next(s, pos);
  }
  return pos;
}

std::string Substr(std::string_view s, std::size_t start, std::size_t count) {
  const std::size_t from = ByteOffset(s, start);
  const std::string_view rest = s.substr(from);
  return std::string(
      rest.substr(0, count == std::string::npos ? rest.size() : ByteOffset(rest, count)));
}

}  // namespace kolvar::utf8
