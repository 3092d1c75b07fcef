// The failures the client reports in one line and ends with exit status 2:
// wrong arguments, unknown keys, unreadable or unwritable files.
#pragma once

#include <stdexcept>
#include <string>

namespace kolvar::cli {

class UsageError : public std::runtime_error {
 public:
  explicit UsageError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace kolvar::cli
