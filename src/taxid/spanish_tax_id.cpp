// Spanish tax identifiers: DNI, NIE, the K/L/M personal forms and company
// codes (CIF).
#include <array>
#include <string_view>

#include "taxid/check_digits.h"
#include "taxid/miscelaneos.h"

namespace kolvar {
namespace {

using check_digits::AllDigits;
using check_digits::IsDigit;
using check_digits::Number;

constexpr std::string_view kDniLetters = "TRWAGMYFPDXBNJZSQVHLCKE";
constexpr std::string_view kCifLetters = "JABCDEFGHI";  // control letter for 0..9

constexpr char Upper(char c) noexcept {
  return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

constexpr char DniLetter(std::int64_t number) noexcept {
  return kDniLetters[number % 23];
}

// Which control a company's entity letter demands.
enum class Control { kNone, kLetter, kDigit, kEither };

constexpr Control CompanyControl(char entity) noexcept {
  switch (entity) {
    case 'N':
    case 'P':
    case 'Q':
    case 'R':
    case 'S':
    case 'W':
      return Control::kLetter;
    case 'A':
    case 'B':
    case 'E':
    case 'H':
      return Control::kDigit;
    case 'C':
    case 'D':
    case 'F':
    case 'G':
    case 'J':
    case 'U':
    case 'V':
      return Control::kEither;
    default:
      return Control::kNone;
  }
}

// `id` is upper case, 9 characters, with 7 digits after the first.
bool ValidCompany(std::string_view id) noexcept {
  const Control control = CompanyControl(id[0]);
  const int digit = check_digits::LuhnCheckDigit(id.substr(1, 7));
  const char last = id[8];
  const bool letter_ok = last == kCifLetters[digit];
  const bool digit_ok = last == '0' + digit;
  switch (control) {
    case Control::kLetter:
      return letter_ok;
    case Control::kDigit:
      return digit_ok;
    case Control::kEither:
      return letter_ok || digit_ok;
    case Control::kNone:
      break;
  }
  return false;
}

int NiePrefixValue(char c) noexcept {
  return c == 'X' ? 0 : c == 'Y' ? 1 : c == 'Z' ? 2 : -1;
}

}  // namespace

bool cMiscelaneos::ValidaNifCif(std::string_view text, bool blnSinLetra) const noexcept {
  const std::string_view trimmed = check_digits::TrimBlanks(text);
  if (trimmed.size() != 8 && trimmed.size() != 9) return false;
  std::array<char, 9> buffer{};
  for (std::size_t i = 0; i < trimmed.size(); ++i) buffer[i] = Upper(trimmed[i]);
  const std::string_view id(buffer.data(), trimmed.size());
  const char first = id[0];
  const int nie = NiePrefixValue(first);

  if (id.size() == 8) {  // a DNI or NIE without its control letter
    if (!blnSinLetra) return false;
    return (IsDigit(first) || nie >= 0) && AllDigits(id.substr(1));
  }
  if (!AllDigits(id.substr(1, 7))) return false;
  const char last = id[8];
  if (IsDigit(first)) return last == DniLetter(Number(id.substr(0, 8)));
  if (nie >= 0) return last == DniLetter(nie * 10'000'000 + Number(id.substr(1, 7)));
  if (first == 'K' || first == 'L' || first == 'M')
    return last == DniLetter(Number(id.substr(1, 7)));
  return ValidCompany(id);
}

}  // namespace kolvar
