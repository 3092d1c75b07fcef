// The lines of a declaration file, read one at a time so that memory does not
// grow with the file. Lines end in LF or CR LF; a line that is not valid
// UTF-8 is read as ISO-8859-1. Empty lines and end-of-file marks (0x1A) at
// the end of the file are not lines.
#pragma once

#include <cstdint>
#include <fstream>
#include <string>

namespace kolvar::Importacion {

class FileLines {
 public:
  // Error 3024 when the file does not exist or cannot be read.
  explicit FileLines(const std::string& path);

  // The next line as UTF-8 without its line end; false after the last one.
  bool next(std::string& line);
  std::int64_t bytesRead() const { return bytesRead_; }
  std::int64_t size() const { return size_; }

 private:
  bool readRaw(std::string& raw);

  std::ifstream in_;
  std::int64_t size_ = 0;
  std::int64_t bytesRead_ = 0;
  std::int64_t blanksHeld_ = 0;  // empty lines not yet known to be followed by text
  std::string raw_;
};

}  // namespace kolvar::Importacion
