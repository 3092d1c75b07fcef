// Where each field of a form-340 line lies: key, 1-based start and width in
// characters, for the declarant record and for a declared record of each book.
#pragma once

#include <string_view>
#include <vector>

namespace kolvar::cli {

struct FieldPlace {
  std::string_view key;
  int start;
  int width;
};

inline constexpr int kLineLength = 500;

const std::vector<FieldPlace>& DeclarantPlaces();
// The common fields followed by the detail fields of the book (E/F, R/S, I/J,
// U); the blocks a year does not carry are left out.
const std::vector<FieldPlace>& DeclaredPlaces(char book, int year);
// The place of `key` in a line of that kind; nullptr when it has none.
const FieldPlace* FindPlace(std::string_view key, bool declarant, char book, int year);

}  // namespace kolvar::cli
