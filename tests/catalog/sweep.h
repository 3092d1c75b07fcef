// Spoiling the fields of clean records to collect the finding codes that the
// validators return, against the library's tables of codes.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace kolvar::testing {

using Codes = std::set<int>;

// Values that break one rule or another: blanks, letters, signs, overflows,
// impossible dates, decimal commas, out-of-range years, foreign identifiers.
inline const std::vector<std::string>& Spoilers() {
  static const std::vector<std::string> values{"",
                                               " ",
                                               "X",
                                               "0",
                                               "1",
                                               "2",
                                               "7",
                                               "A",
                                               "C",
                                               "S",
                                               "Y",
                                               "Z",
                                               "N",
                                               "&",
                                               "-",
                                               "00",
                                               "101",
                                               "10001",
                                               "20000",
                                               "2011",
                                               "2099",
                                               "20131301",
                                               "1,5",
                                               "QQ",
                                               "ES",
                                               "XX",
                                               "0000",
                                               "00000000",
                                               "20140115",
                                               "HR33392005961",
                                               "DE136695976",
                                               " 0000000000000",
                                               "&0000000000001",
                                               "X0000000000001",
                                               " 000000000X001",
                                               "000000000000001",
                                               "3402013050099",
                                               "3402012010001",
                                               "0200"};
  return values;
}

template <class Table>
Codes TableCodes(const Table& table) {
  return Codes(table.begin(), table.end());
}

// Codes in one set and not the other, "+c" for found only, "-c" for listed only.
inline std::string Difference(const Codes& found, const Codes& listed) {
  std::string out;
  for (int c : found)
    if (!listed.count(c)) out += " +" + std::to_string(c);
  for (int c : listed)
    if (!found.count(c)) out += " -" + std::to_string(c);
  return out;
}

}  // namespace kolvar::testing
