// Form-340 files as bytes on disk and as UTF-8 lines for the library: the
// tax authorities' ISO-8859-1, or UTF-8 when the bytes are valid UTF-8.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolvar::cli {

enum class Encoding { Latin1, Utf8 };

struct FileLines {
  Encoding encoding = Encoding::Latin1;
  std::vector<std::string> lines;  // UTF-8, without line ends
};

bool IsValidUtf8(std::string_view bytes);
std::string Latin1ToUtf8(std::string_view bytes);
std::u32string DecodeUtf8(std::string_view text);
std::string EncodeUtf8(std::u32string_view text);
std::size_t CharCount(std::string_view text);

// Reads a form-340 file: CRLF or LF line ends, a final empty line or
// end-of-file mark (0x1A) ignored. A missing file, a folder or a file with
// binary content is a UsageError.
FileLines ReadForm340File(const std::string& path);

// The bytes of one UTF-8 text in the file's encoding; a character that
// ISO-8859-1 cannot hold is a UsageError.
std::string ToFileBytes(std::string_view text, Encoding encoding);

// Writes the lines with CRLF ends, all or nothing (through a temporary file).
void WriteForm340File(const std::string& path, const std::vector<std::string>& lines,
                      Encoding encoding);

}  // namespace kolvar::cli
