#include "amounts.h"

#include <gtest/gtest.h>

#include <string>

#include "errors.h"
#include "finding_place.h"
#include "text_file.h"

namespace kolvar::cli {
namespace {

TEST(ClientAmounts, EurosTypedWithEitherMarkBecomeCents) {
  EXPECT_EQ(ParseCents("1000.50"), 100050);
  EXPECT_EQ(ParseCents("1000,5"), 100050);
  EXPECT_EQ(ParseCents("-0.01"), -1);
  EXPECT_EQ(ParseCents(".5"), 50);
  EXPECT_EQ(ParseCents("21"), 2100);
  for (const char* bad : {"", "-", "1.234", "abc", "1e3", "12,3,4", "1 000"})
    EXPECT_EQ(ParseCents(bad), std::nullopt) << bad;
}

TEST(ClientAmounts, DatesMustExist) {
  EXPECT_EQ(ParseDate("2014-02-28"), 20140228);
  EXPECT_EQ(ParseDate("20160229"), 20160229);
  EXPECT_EQ(ParseDate("2000-02-29"), 20000229);
  EXPECT_EQ(ParseDate("0"), 0);
  for (const char* bad : {"2014-02-29", "1900-02-29", "20141301", "20141200", "2014-1-01",
                          "2014/01/01", "-2014011", ""})
    EXPECT_EQ(ParseDate(bad), std::nullopt) << bad;
  EXPECT_EQ(DateText(20140115), "2014-01-15");
  EXPECT_EQ(DateText(0), "");
}

TEST(ClientAmounts, EurosPrintedWithGroupsAndTwoDecimals) {
  EXPECT_EQ(Euros(1234567.891), "1.234.567,89");
  EXPECT_EQ(Euros(999.995), "1.000,00");
  EXPECT_EQ(Euros(-0.5), "-0,50");
  EXPECT_EQ(Euros(0), "0,00");
  EXPECT_EQ(Euros(100), "100,00");
  EXPECT_EQ(Euros(1000), "1.000,00");
}

// A declarant line: blanks with `text` written at 1-based `start`.
std::u32string HeaderWith(int start, const std::string& text) {
  std::u32string line(500, U' ');
  line[0] = U'1';
  for (std::size_t i = 0; i < text.size(); ++i) line[start - 1 + i] = text[i];
  return line;
}

TEST(ClientFindingPlace, ACodeOfTwoFieldsGoesToTheOneHoldingTheText) {
  // Code 69 serves the declaration number's period and the period itself.
  std::u32string line = HeaderWith(115, "03");
  for (std::size_t i = 0; i < 2; ++i) line[135 + i] = U"13"[i];
  FindingField f = LocateFinding(69, "13", line, 0);
  EXPECT_EQ(f.key, "PERIODO");
  EXPECT_EQ(f.start, 136);
  f = LocateFinding(69, "0X", HeaderWith(115, "0X"), 0);
  EXPECT_EQ(f.key, "DECLPER");
  EXPECT_EQ(f.width, 2);
  // The header that does not fit the declaration: year and period.
  EXPECT_EQ(LocateFinding(72, "2011 - 05", line, 0).key, "EJERCICIO");
  EXPECT_EQ(LocateFinding(67, "", std::u32string(499, U'2'), 0).width, 499);
}

TEST(ClientTextFile, Latin1AndUtf8) {
  EXPECT_TRUE(IsValidUtf8("PEÑA"));
  EXPECT_FALSE(
      IsValidUtf8("PE\xD1"
                  "A"));
  EXPECT_EQ(Latin1ToUtf8("PE\xD1"
                         "A"),
            "PEÑA");
  EXPECT_EQ(ToFileBytes("PEÑA", Encoding::Latin1),
            "PE\xD1"
            "A");
  EXPECT_EQ(CharCount("PEÑA"), 4u);
  EXPECT_EQ(ToFileBytes("ÿ", Encoding::Latin1), "\xFF");
  EXPECT_THROW(ToFileBytes("5 €", Encoding::Latin1), UsageError);  // no ISO-8859-1 form
  EXPECT_EQ(ToFileBytes("5 €", Encoding::Utf8), "5 €");
}

}  // namespace
}  // namespace kolvar::cli
