// VAT identification numbers of the EU member states and the United Kingdom,
// one checker per state over the shared check-digit arithmetic.
#include <array>
#include <string_view>

#include "taxid/check_digits.h"
#include "taxid/miscelaneos.h"

namespace kolvar {
namespace {

using check_digits::AllDigits;
using check_digits::Digit;
using check_digits::IsDigit;
using check_digits::IsUpper;
using check_digits::IsValidDate;
using check_digits::LuhnSum;
using check_digits::LuhnValid;
using check_digits::Mod11_10Valid;
using check_digits::Mod97;
using check_digits::Number;
using check_digits::TrimBlanks;
using check_digits::WeightedSum;

constexpr bool Is(std::string_view s, std::size_t length) noexcept {
  return s.size() == length && AllDigits(s);
}

// Check digit 11 - (sum mod 11) as most mod-11 schemes write it: `on_ten` and
// `on_eleven` say what becomes of the two values that are not one digit
// (-1: the number is invalid).
constexpr int Mod11Complement(int sum, int on_ten, int on_eleven) noexcept {
  const int c = 11 - sum % 11;
  return c == 10 ? on_ten : c == 11 ? on_eleven : c;
}

// Czech birth numbers: YYMMDD and a serial. Women have 50 added to the month,
// and from 2004 on a further 20 marks the second series. The 9-digit form is
// for births before 1954; the 10-digit form ends with the first nine digits
// modulo 11, where a remainder of 10 was written 0 only before 1985.
bool BirthNumber(std::string_view s) noexcept {
  if (!(Is(s, 9) || Is(s, 10))) return false;
  int year = 1900 + static_cast<int>(Number(s.substr(0, 2)));
  if (s.size() == 9) {
    if (year >= 1980) year -= 100;
    if (year > 1953) return false;
  } else if (year < 1954) {
    year += 100;
  }
  int month = static_cast<int>(Number(s.substr(2, 2)));
  if (month > 50) month -= 50;
  if (month > 20 && year >= 2004) month -= 20;
  if (!IsValidDate(year, month, static_cast<int>(Number(s.substr(4, 2))))) return false;
  if (s.size() == 9) return true;
  const int r = static_cast<int>(Number(s.substr(0, 9)) % 11);
  return Digit(s[9]) == (year < 1985 ? r % 10 : r);
}

bool AT(std::string_view s) noexcept {
  if (s.size() != 9 || s[0] != 'U' || !AllDigits(s.substr(1))) return false;
  return Digit(s[8]) == (96 - LuhnSum(s.substr(1, 7))) % 10;
}

bool BE(std::string_view s) noexcept {
  if (!Is(s, 10) || (s[0] != '0' && s[0] != '1')) return false;
  return Number(s.substr(8)) == 97 - Number(s.substr(0, 8)) % 97;
}

bool BG(std::string_view s) noexcept {
  if (Is(s, 9)) {  // legal entities
    int r = WeightedSum(s, {1, 2, 3, 4, 5, 6, 7, 8}) % 11;
    if (r == 10) r = WeightedSum(s, {3, 4, 5, 6, 7, 8, 9, 10}) % 11;
    return Digit(s[8]) == r % 10;
  }
  if (!Is(s, 10)) return false;
  const int check = Digit(s[9]);
  // Citizens' personal number (birth date first).
  int year = static_cast<int>(Number(s.substr(0, 2)));
  int month = static_cast<int>(Number(s.substr(2, 2)));
  year += month > 40 ? 2000 : month > 20 ? 1800 : 1900;
  month -= month > 40 ? 40 : month > 20 ? 20 : 0;
  if (IsValidDate(year, month, static_cast<int>(Number(s.substr(4, 2)))) &&
      check == WeightedSum(s, {2, 4, 8, 5, 10, 9, 7, 3, 6}) % 11 % 10)
    return true;
  // Foreigners' personal number.
  if (check == WeightedSum(s, {21, 19, 17, 13, 11, 9, 7, 3, 1}) % 10) return true;
  // Others.
  return check == (11 - WeightedSum(s, {4, 3, 2, 7, 6, 5, 4, 3, 2}) % 11) % 11;
}

bool CY(std::string_view s) noexcept {
  if (s.size() != 9 || !AllDigits(s.substr(0, 8)) || s.substr(0, 2) == "12") return false;
  constexpr int kOdd[] = {1, 0, 5, 7, 9, 13, 15, 17, 19, 21};
  int sum = 0;
  for (std::size_t i = 0; i < 8; ++i) sum += i % 2 == 0 ? kOdd[Digit(s[i])] : Digit(s[i]);
  return s[8] == 'A' + sum % 26;
}

bool CZ(std::string_view s) noexcept {
  if (Is(s, 8)) {  // legal entities
    if (s[0] == '9') return false;
    return Digit(s[7]) == Mod11Complement(WeightedSum(s, {8, 7, 6, 5, 4, 3, 2}), 0, 1);
  }
  if (Is(s, 9) && s[0] == '6') {  // individuals without a birth number
    const int d = 11 - WeightedSum(s.substr(1), {8, 7, 6, 5, 4, 3, 2}) % 11;  // 1..11
    return Digit(s[8]) == (19 - d) % 10;
  }
  return BirthNumber(s);
}

bool DE(std::string_view s) noexcept {
  return Is(s, 9) && s[0] != '0' && Mod11_10Valid(s);
}

bool DK(std::string_view s) noexcept {
  return Is(s, 8) && s[0] != '0' && WeightedSum(s, {2, 7, 6, 5, 4, 3, 2, 1}) % 11 == 0;
}

bool EE(std::string_view s) noexcept {
  return Is(s, 9) && WeightedSum(s, {3, 7, 1, 3, 7, 1, 3, 7, 1}) % 10 == 0;
}

// Greece: 9 digits; older numbers of 8 digits stand for the same with a leading 0.
bool EL(std::string_view s) noexcept {
  if (!(Is(s, 8) || Is(s, 9))) return false;
  int sum = 0;
  for (char c : s.substr(0, s.size() - 1)) sum = sum * 2 + Digit(c);
  return Digit(s.back()) == sum * 2 % 11 % 10;
}

bool ES(std::string_view s) noexcept {
  return cMiscelaneos{}.ValidaNifCif(s);
}

bool FI(std::string_view s) noexcept {
  return Is(s, 8) && WeightedSum(s, {7, 9, 10, 5, 8, 4, 2, 1}) % 11 == 0;
}

// France: a two-character key and the SIREN, which the key checks, whether
// numeric or (the newer form) alphanumeric. SIRENs of Monaco (000...) carry no
// Luhn digit.
bool FR(std::string_view s) noexcept {
  constexpr std::string_view kKeyChars = "0123456789ABCDEFGHJKLMNPQRSTUVWXYZ";
  if (s.size() != 11 || kKeyChars.find(s[0]) == kKeyChars.npos ||
      kKeyChars.find(s[1]) == kKeyChars.npos || !AllDigits(s.substr(2)))
    return false;
  const std::string_view siren = s.substr(2);
  if (siren.substr(0, 3) != "000" && !LuhnValid(siren)) return false;
  if (IsDigit(s[0]) && IsDigit(s[1]))
    return Number(s.substr(0, 2)) == (12 + 3 * (Number(siren) % 97)) % 97;
  // Keys with a letter: the pair encodes a number whose remainder by 11
  // checks the SIREN.
  const auto index = [&](char c) { return static_cast<std::int64_t>(kKeyChars.find(c)); };
  const std::int64_t check =
      IsDigit(s[0]) ? index(s[0]) * 24 + index(s[1]) - 10 : index(s[0]) * 34 + index(s[1]) - 100;
  return (Number(siren) + 1 + check / 11) % 11 == check % 11;
}

bool HR(std::string_view s) noexcept {
  return Is(s, 11) && Mod11_10Valid(s);
}

bool HU(std::string_view s) noexcept {
  return Is(s, 8) && WeightedSum(s, {9, 7, 3, 1, 9, 7, 3, 1}) % 10 == 0;
}

// Ireland: 7 digits, the check letter and an optional second letter; or the
// old form digit, letter (or + *), 5 digits, check letter.
bool IE(std::string_view s) noexcept {
  constexpr std::string_view kLetters = "WABCDEFGHIJKLMNOPQRSTUV";  // value 0..22
  const auto letter = [&](char c) { return static_cast<int>(kLetters.find(c)); };
  if (AllDigits(s.substr(0, 7)) && (s.size() == 8 || s.size() == 9)) {
    int extra = 0;
    if (s.size() == 9 && (extra = letter(s[8])) < 0) return false;
    return s[7] == kLetters[(WeightedSum(s, {8, 7, 6, 5, 4, 3, 2}) + 9 * extra) % 23];
  }
  if (s.size() != 8 || !IsDigit(s[0]) || !AllDigits(s.substr(2, 5))) return false;
  if (!IsUpper(s[1]) && s[1] != '+' && s[1] != '*') return false;
  const int sum = WeightedSum(s.substr(2, 5), {7, 6, 5, 4, 3}) + 2 * Digit(s[0]);
  return s[7] == kLetters[sum % 23];
}

// Italy: Luhn over 11 digits; digits 8-10 name the issuing office.
bool IT(std::string_view s) noexcept {
  if (!Is(s, 11) || Number(s.substr(0, 7)) == 0) return false;
  const auto office = Number(s.substr(7, 3));
  if (!((office >= 1 && office <= 100) || office == 120 || office == 121 || office == 888 ||
        office == 999))
    return false;
  return LuhnValid(s);
}

// Lithuania: 9 digits (legal entities) or 12 (others), the last but one is 1.
bool LT(std::string_view s) noexcept {
  if (!(Is(s, 9) || Is(s, 12)) || s[s.size() - 2] != '1') return false;
  const std::string_view body = s.substr(0, s.size() - 1);
  int r = WeightedSum(body, {1, 2, 3, 4, 5, 6, 7, 8, 9, 1, 2}) % 11;
  if (r == 10) r = WeightedSum(body, {3, 4, 5, 6, 7, 8, 9, 1, 2, 3, 4}) % 11;
  return Digit(s.back()) == r % 10;
}

bool LU(std::string_view s) noexcept {
  return Is(s, 8) && Number(s.substr(0, 6)) % 89 == Number(s.substr(6));
}

// Latvia: legal entities start above 3; natural persons with a birth date
// (DDMMYY and a century digit), except the newer codes 32..., which have none.
bool LV(std::string_view s) noexcept {
  if (!Is(s, 11)) return false;
  if (s[0] > '3') return WeightedSum(s, {9, 1, 4, 8, 3, 10, 2, 5, 7, 6, 1}) % 11 == 3;
  if (s.substr(0, 2) == "32") return true;
  const int year = 1800 + 100 * Digit(s[6]) + static_cast<int>(Number(s.substr(4, 2)));
  if (!IsValidDate(year, static_cast<int>(Number(s.substr(2, 2))),
                   static_cast<int>(Number(s.substr(0, 2)))))
    return false;
  return Digit(s[10]) == (1 + WeightedSum(s, {10, 5, 8, 4, 2, 1, 6, 3, 7, 9})) % 11 % 10;
}

bool MT(std::string_view s) noexcept {
  return Is(s, 8) && s[0] != '0' && WeightedSum(s, {3, 4, 6, 7, 8, 9, 10, 1}) % 37 == 0;
}

// Netherlands: 9 digits, B, 2 digits. The 9 digits either pass the personal
// number (BSN) test, or the whole number with its prefix passes ISO 7064
// MOD 97-10 (the form issued from 2020 on).
bool NL(std::string_view s) noexcept {
  if (s.size() != 12 || s[9] != 'B' || !AllDigits(s.substr(0, 9)) || !AllDigits(s.substr(10)))
    return false;
  if (Number(s.substr(0, 9)) == 0 || Number(s.substr(10)) == 0) return false;
  if (WeightedSum(s, {9, 8, 7, 6, 5, 4, 3, 2, -1}) % 11 == 0) return true;
  return Mod97(s, Mod97("NL")) == 1;
}

bool PL(std::string_view s) noexcept {
  return Is(s, 10) && WeightedSum(s, {6, 5, 7, 2, 3, 4, 5, 6, 7, -1}) % 11 == 0;
}

bool PT(std::string_view s) noexcept {
  return Is(s, 9) && s[0] != '0' &&
         Digit(s[8]) == Mod11Complement(WeightedSum(s, {9, 8, 7, 6, 5, 4, 3, 2}), 0, 0);
}

// Romania: 2 to 10 digits; the weights align to the right of the check digit.
bool RO(std::string_view s) noexcept {
  if (s.size() < 2 || s.size() > 10 || !AllDigits(s) || s[0] == '0') return false;
  constexpr int kWeights[] = {7, 5, 3, 2, 1, 7, 5, 3, 2};
  const std::size_t body = s.size() - 1;
  int sum = 0;
  for (std::size_t i = 0; i < body; ++i) sum += kWeights[9 - body + i] * Digit(s[i]);
  return Digit(s.back()) == sum * 10 % 11 % 10;
}

// Sweden: the 10-digit organisation number (Luhn) followed by 01.
bool SE(std::string_view s) noexcept {
  return Is(s, 12) && s.substr(10) == "01" && LuhnValid(s.substr(0, 10));
}

bool SI(std::string_view s) noexcept {
  return Is(s, 8) && s[0] != '0' &&
         Digit(s[7]) == Mod11Complement(WeightedSum(s, {8, 7, 6, 5, 4, 3, 2}), 0, -1);
}

bool SK(std::string_view s) noexcept {
  if (!Is(s, 10) || s[0] == '0') return false;
  if (std::string_view("234789").find(s[2]) == std::string_view::npos) return false;
  return Number(s) % 11 == 0;
}

// United Kingdom (and Northern Ireland): 9 digits, or 12 with a branch suffix,
// checked by the weighted sum plus the two check digits modulo 97: 0 for the
// original series; from 100 000 000 on also 42 or 55 (the "9755" series).
// GDnnn (government departments, nnn < 500) and HAnnn (health authorities,
// nnn >= 500) have no check, except in their GD8888/HA8888 long form.
bool GB(std::string_view s) noexcept {
  const auto is_gd = s.substr(0, 2) == "GD";
  if (is_gd || s.substr(0, 2) == "HA") {
    const std::string_view serial = s.substr(2);
    if (s.size() != 5 || !AllDigits(serial)) return false;
    return is_gd ? Number(serial) < 500 : Number(serial) >= 500;
  }
  if (!(Is(s, 9) || Is(s, 12))) return false;
  const int r =
      static_cast<int>((WeightedSum(s, {8, 7, 6, 5, 4, 3, 2}) + Number(s.substr(7, 2))) % 97);
  return r == 0 || (Number(s.substr(0, 3)) >= 100 && (r == 42 || r == 55));
}

struct StateRule {
  std::string_view prefix;
  bool (*valid)(std::string_view upper_id) noexcept;
};

constexpr StateRule kStates[] = {
    {"AT", AT}, {"BE", BE}, {"BG", BG}, {"CY", CY}, {"CZ", CZ}, {"DE", DE}, {"DK", DK}, {"EE", EE},
    {"EL", EL}, {"ES", ES}, {"FI", FI}, {"FR", FR}, {"HR", HR}, {"HU", HU}, {"IE", IE}, {"IT", IT},
    {"LT", LT}, {"LU", LU}, {"LV", LV}, {"MT", MT}, {"NL", NL}, {"PL", PL}, {"PT", PT}, {"RO", RO},
    {"SE", SE}, {"SI", SI}, {"SK", SK}, {"GB", GB}, {"XI", GB},
};

constexpr char Upper(char c) noexcept {
  return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

// No state's number is longer than this.
constexpr std::size_t kMaxLength = 14;

}  // namespace

std::vector<std::string_view> cMiscelaneos::Prefixes() {
  std::vector<std::string_view> out;
  for (const StateRule& state : kStates) out.push_back(state.prefix);
  return out;
}

// The prefix matches in either case and must be exactly two letters. The
// identifier may carry blanks around it (the import passes a padded field);
// inner blanks and separators make it invalid. Its letters may be in either
// case.
bool cMiscelaneos::ValidarNIFExtranjero(std::string_view identifier,
                                        std::string_view prefix) const noexcept {
  if (prefix.size() != 2) return false;
  const char code[2] = {Upper(prefix[0]), Upper(prefix[1])};
  const std::string_view trimmed = TrimBlanks(identifier);
  if (trimmed.empty() || trimmed.size() > kMaxLength) return false;
  std::array<char, kMaxLength> buffer{};
  for (std::size_t i = 0; i < trimmed.size(); ++i) buffer[i] = Upper(trimmed[i]);
  const std::string_view id(buffer.data(), trimmed.size());
  for (const StateRule& state : kStates)
    if (state.prefix == std::string_view(code, 2)) return state.valid(id);
  return false;
}

}  // namespace kolvar
