// Generated form-340 files for benchmarks and tests: a declarant line and
// declared records of every register book that pass every rule, for the
// years 2011 to 2014, with a share of foreign parties.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace kolvar::generated {

// A line of 500 blanks with each text written from its 1-based position
// (ASCII texts only).
class LineBuilder {
 public:
  LineBuilder() : line_(500, ' ') {}
  LineBuilder& at(std::size_t start, std::string_view text) {
    line_.replace(start - 1, text.size(), text);
    return *this;
  }
  const std::string& str() const { return line_; }

 private:
  std::string line_;
};

inline std::string Digits(long long value, int width) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%0*lld", width, value);
  return buf;
}

// The declarant line of a declaration of `year`, period 12 (monthly).
inline std::string DeclarantLine(int year) {
  const std::string y = std::to_string(year);
  return LineBuilder()
      .at(1, "1340" + y + "12345678ZEMPRESA")
      .at(58, "C912345678")
      .at(108, "340" + y + "120002")
      .at(123, "0000000000000")
      .at(136, "12000000001 00000000000000012 00000000000000002 00000000000000014")
      .str();
}

inline constexpr std::string_view kBooks = "EFRSIJU";

// Declared record number i of `year`: the book cycles through E, F, R, S, I,
// J, U; every third record has a foreign party (country and an identifier of
// a member state).
inline std::string RecordLine(int year, long long i) {
  const char book = kBooks[static_cast<std::size_t>(i % kBooks.size())];
  const bool foreign = book == 'U' || i % 3 == 1;
  const std::string y = std::to_string(year);
  const bool cash = year >= 2014 && (book == 'E' || book == 'F');
  LineBuilder b;
  b.at(1, "2340" + y + "12345678Z12345678Z");
  b.at(36, "CLIENTE " + std::to_string(i));
  if (foreign) {
    static constexpr std::string_view kIds[] = {"DE136695976", "FR40303265045", "IT00743110157"};
    const std::string_view id = kIds[static_cast<std::size_t>(i % 3)];
    b.at(76, id.substr(0, 2)).at(78, "2").at(79, id);
  } else {
    b.at(78, "1");
  }
  b.at(99, std::string(1, book) + (cash ? "1" : " ") + y + "0115" + y + "0115");
  const long long base = 1000 + i % 9000;
  b.at(117, "02100")
      .at(122, " " + Digits(base * 100, 13))
      .at(136, " " + Digits(base * 21, 13))
      .at(150, " " + Digits(base * 121, 13))
      .at(164, " " + Digits(0, 13))
      .at(178, "F" + std::to_string(i));
  switch (book) {
    case 'E':
    case 'F':
      b.at(236, Digits(i % 100000000, 8) + "01").at(366, "00000 0000000000000");
      if (year >= 2012) b.at(385, "0").at(411, std::string(34, '0'));
      if (cash) b.at(445, y + "0115 " + Digits(base * 121, 12) + "CES7620770024003102575766");
      break;
    case 'R':
    case 'S':
      b.at(236, Digits(i, 18) + "01").at(336, " 0000000000000");
      if (year >= 2014) b.at(350, "00000000 000000000000");
      break;
    case 'I':
    case 'J':
      b.at(236, "100 0000000000000").at(293, " 0000000000000" + y + "0101MAQUINA");
      break;
    default:
      b.at(236, "ADFR001PIEZAS");
      break;
  }
  return b.str();
}

// Writes a file of the declarant line and `records` declared records; true
// when it was written.
inline bool WriteFile(const std::string& path, int year, long long records) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  std::string line = DeclarantLine(year) + "\r\n";
  std::fwrite(line.data(), 1, line.size(), f);
  for (long long i = 0; i < records; ++i) {
    line = RecordLine(year, i) + "\r\n";
    std::fwrite(line.data(), 1, line.size(), f);
  }
  return std::fclose(f) == 0;
}

}  // namespace kolvar::generated
