#include "text_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "errors.h"

namespace kolvar::cli {

namespace {

// Length of the well-formed UTF-8 sequence at s[i], 0 when there is none.
std::size_t SequenceLength(std::string_view s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  if (c < 0x80) return 1;
  std::size_t n;
  char32_t min;
  if ((c & 0xE0) == 0xC0)
    n = 2, min = 0x80;
  else if ((c & 0xF0) == 0xE0)
    n = 3, min = 0x800;
  else if ((c & 0xF8) == 0xF0)
    n = 4, min = 0x10000;
  else
    return 0;
  if (i + n > s.size()) return 0;
  char32_t cp = c & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    if ((b(i + k) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i + k) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

bool IsBinaryByte(unsigned char c) {
  return c < 0x20 && c != '\n' && c != '\r' && c != '\t';
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t n = SequenceLength(bytes, i);
    if (n == 0) return false;
    i += n;
  }
  return true;
}

std::string Latin1ToUtf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      out += ch;
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t n = SequenceLength(text, i);
    if (n == 0) {
      out += U'\uFFFD';
      ++i;
      continue;
    }
    char32_t cp = static_cast<unsigned char>(text[i]);
    if (n > 1) {
      cp &= 0x7F >> n;
      for (std::size_t k = 1; k < n; ++k) cp = (cp << 6) | (text[i + k] & 0x3F);
    }
    out += cp;
    i += n;
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char32_t c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::size_t CharCount(std::string_view text) {
  std::size_t n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

FileLines ReadForm340File(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) throw UsageError(path + ": is a folder, not a file");
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError(path + ": cannot be read");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) throw UsageError(path + ": cannot be read");
  if (!bytes.empty() && bytes.back() == '\x1A') bytes.pop_back();
  for (const char c : bytes)
    if (IsBinaryByte(static_cast<unsigned char>(c)))
      throw UsageError(path + ": not a form-340 text file (binary content)");

  FileLines file;
  file.encoding = IsValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Latin1;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    const bool last = end == std::string::npos;
    if (last) end = bytes.size();
    std::string_view line(bytes.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    file.lines.push_back(file.encoding == Encoding::Utf8 ? std::string(line) : Latin1ToUtf8(line));
    start = end + 1;
  }
  return file;
}

std::string ToFileBytes(std::string_view text, Encoding encoding) {
  if (encoding == Encoding::Utf8) return std::string(text);
  std::string out;
  out.reserve(text.size());
  for (const char32_t c : DecodeUtf8(text)) {
    if (c > 0xFF)
      throw UsageError("the character '" + EncodeUtf8(std::u32string(1, c)) +
                       "' has no ISO-8859-1 form (use --encoding utf8)");
    out += static_cast<char>(c);
  }
  return out;
}

void WriteForm340File(const std::string& path, const std::vector<std::string>& lines,
                      Encoding encoding) {
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += ToFileBytes(line, encoding);
    bytes += "\r\n";
  }
  const std::string temporary = path + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out) throw UsageError(path + ": cannot be written");
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      std::remove(temporary.c_str());
      throw UsageError(path + ": cannot be written");
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, path, ec);
  if (ec) {
    std::remove(temporary.c_str());
    throw UsageError(path + ": cannot be written (" + ec.message() + ")");
  }
}

}  // namespace kolvar::cli
