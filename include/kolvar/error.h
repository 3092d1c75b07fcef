// The error every failure of the library raises: number, source, description,
// help file and help context, as a client of the component runtime sees them.
#pragma once

#include <exception>
#include <string>
#include <string_view>

namespace kolvar {

class Error : public std::exception {
 public:
  Error(int number, std::string description, std::string source = "kolvar",
        std::string helpFile = "", int helpContext = 0);

  int number() const noexcept { return number_; }
  const std::string& source() const noexcept { return source_; }
  const std::string& description() const noexcept { return description_; }
  const std::string& helpFile() const noexcept { return helpFile_; }
  int helpContext() const noexcept { return helpContext_; }
  const char* what() const noexcept override { return description_.c_str(); }

  // The same error with `tag` in front of its description; the other four fields kept.
  Error Tagged(std::string_view tag) const;

 private:
  int number_;
  std::string source_;
  std::string description_;
  std::string helpFile_;
  int helpContext_;
};

// Raises error `number` with the library's standard description for it.
[[noreturn]] void Raise(int number);
[[noreturn]] void Raise(int number, std::string description);

// Error numbers the library raises itself.
namespace err {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kSubscript = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kInvalidNull = 94;
inline constexpr int kCannotCreate = 429;
inline constexpr int kNoMember = 438;
inline constexpr int kNoCurrentRecord = 3021;
inline constexpr int kFileNotFound = 3024;
inline constexpr int kPathNotValid = 3044;
inline constexpr int kLocked = 3050;
inline constexpr int kUnknownColumn = 3061;
inline constexpr int kSyntax = 3075;
inline constexpr int kTableNotFound = 3078;
inline constexpr int kTextTooLong = 3163;
inline constexpr int kInvalidOperation = 3219;
inline constexpr int kItemNotFound = 3265;
inline constexpr int kCopyMismatch = 3197;  // a copy read back other than it read
inline constexpr int kObjectInvalid = 3420;
inline constexpr int kDataType = 3464;
}  // namespace err

}  // namespace kolvar
