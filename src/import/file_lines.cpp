#include "import/file_lines.h"

#include <filesystem>

#include "core/utf8.h"
#include "kolvar/error.h"

namespace kolvar::Importacion {

namespace {

constexpr char kEndOfFile = '\x1A';

bool IsBlank(const std::string& raw) {
  return raw.empty() || (raw.size() == 1 && raw[0] == kEndOfFile);
}

}  // namespace

FileLines::FileLines(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec))
    Raise(err::kFileNotFound, "No se encuentra el archivo '" + path + "'.");
  size_ = static_cast<std::int64_t>(std::filesystem::file_size(path, ec));
  in_.open(path, std::ios::binary);
  if (!in_) Raise(err::kFileNotFound, "No se puede leer el archivo '" + path + "'.");
}

bool FileLines::readRaw(std::string& raw) {
  if (!std::getline(in_, raw)) return false;
  bytesRead_ += static_cast<std::int64_t>(raw.size()) + (in_.eof() ? 0 : 1);
  if (!raw.empty() && raw.back() == '\r') raw.pop_back();
  // A mark at the very end of the file closes it; it is not text.
  if (!raw.empty() && raw.back() == kEndOfFile && in_.peek() == std::char_traits<char>::eof())
    raw.pop_back();
  return true;
}

bool FileLines::next(std::string& line) {
  if (blanksHeld_ > 0 && !raw_.empty()) {
    // An empty line held back turned out to stand between lines of text.
    --blanksHeld_;
    line.clear();
    return true;
  }
  if (!raw_.empty()) {
    line = utf8::IsValid(raw_) ? std::move(raw_) : utf8::FromLatin1(raw_);
    raw_.clear();
    return true;
  }
  while (readRaw(raw_)) {
    if (IsBlank(raw_)) {
      ++blanksHeld_;
      raw_.clear();
      continue;
    }
    return next(line);
  }
  return false;
}

}  // namespace kolvar::Importacion
