#include <gtest/gtest.h>

#include "import/importacion.h"
#include "import/lines.h"

namespace {

using kolvar::Value;
using kolvar::testing::Cell;
using kolvar::testing::Line;
namespace imp = kolvar::Importacion;

// A declared record of book `letter` for `year`: the detail area carries
// digits from 236 to 499 and "X" at 500, so each detail row shows what it cut.
std::string Declared(std::string_view letter, std::string_view year, std::string_view cdo = "",
                     std::size_t length = 500) {
  std::string detail;
  for (int i = 236; i <= 499; ++i) detail += static_cast<char>('0' + i % 10);
  return Line({{1, "2"}, {5, year}, {99, letter}, {100, cdo}, {236, detail}, {500, "X"}}, length);
}

// The last row carried (key set); rows after it must stay Empty in both cells.
int LastCarried(const Value& b) {
  int last = 0;
  for (int n = 1; n <= imp::kFilasDeclarado; ++n)
    if (!b(n, 1).isEmpty()) last = n;
  for (int n = last + 1; n <= imp::kFilasDeclarado; ++n) EXPECT_TRUE(b(n, 0).isEmpty()) << n;
  return last;
}

TEST(DesglosarRegistro, FieldsByCharacterPositionAndTreatment) {
  // The names hold two-byte letters; later fields still sit by character.
  const Value d = imp::DesglosarRegistroDeclarante(Line({
      {1, "1"},
      {9, " 1234567Z"},
      {18, "  MUÑOZ ÁLVAREZ"},
      {58, "D"},
      {147, "N00000000000012345"},
      {165, "-00000000000000001"},
      {201, "N  "},
      {498, "ZZZ"},
  }));
  ASSERT_EQ(d.ubound(1), imp::kFilasDeclarante);
  EXPECT_TRUE(d(0, 1).isEmpty());
  EXPECT_EQ(Cell(d, 4), "1234567Z");
  EXPECT_EQ(Cell(d, 5), "MUÑOZ ÁLVAREZ");
  EXPECT_EQ(Cell(d, 6), "D");
  EXPECT_EQ(Cell(d, 9), "   ");  // as is: blanks stay
  EXPECT_EQ(Cell(d, 18), "-00000000000012345");
  EXPECT_EQ(Cell(d, 19), "&00000000000000001");
  EXPECT_EQ(Cell(d, 21), "-");  // filler: sign converted, then trimmed
  EXPECT_EQ(Cell(d, 23), "");   // positions 498 to 500 are not read
  EXPECT_EQ(d(21, 1).toString() + d(23, 1).toString(), "BLANCOSBLANCOS");

  const Value r = imp::DesglosarRegistroDeclarado(
      Line({{1, "2"}, {36, " ÑANDÚ S.L. "}, {79, "  FR123  "}, {117, " 21  "}, {122, "n00001"}}),
      false);
  EXPECT_EQ(Cell(r, 7), "ÑANDÚ S.L.");
  EXPECT_EQ(Cell(r, 10), "  FR123");  // right-trimmed only
  EXPECT_EQ(Cell(r, 15), " 21  ");
  EXPECT_EQ(Cell(r, 16), "-00001        ");
  EXPECT_EQ(r(21, 1).toString(), "NODEREG");
}

// A line with no blank, "N" or "-" anywhere: every field, filled to its full
// width, comes back exactly as it stands in the line.
TEST(DesglosarRegistro, EveryCommonFieldAtItsFullWidth) {
  constexpr std::string_view kChars = "ABCDEFGHIJKLMOPQRSTUVWXYZ123456789";
  std::string line;
  for (std::size_t p = 1; p <= 500; ++p) line += kChars[p % kChars.size()];
  const auto check = [&](const Value& b, const std::vector<std::pair<int, int>>& fields) {
    for (std::size_t n = 1; n <= fields.size(); ++n)
      EXPECT_EQ(Cell(b, static_cast<int>(n)),
                line.substr(fields[n - 1].first - 1, fields[n - 1].second))
          << n;
  };
  line[0] = '1';
  check(imp::DesglosarRegistroDeclarante(line),
        {{1, 1},   {2, 3},    {5, 4},    {9, 9},    {18, 40},   {58, 1},  {59, 9},   {68, 40},
         {108, 3}, {111, 4},  {115, 2},  {117, 4},  {121, 1},   {122, 1}, {123, 13}, {136, 2},
         {138, 9}, {147, 18}, {165, 18}, {183, 18}, {201, 190}, {391, 9}, {400, 98}});
  line[0] = '2';
  check(imp::DesglosarRegistroDeclarado(line, false),
        {{1, 1},   {2, 3},    {5, 4},    {9, 9},    {18, 9},   {27, 9},   {36, 40},
         {76, 2},  {78, 1},   {79, 20},  {99, 1},   {100, 1},  {101, 8},  {109, 8},
         {117, 5}, {122, 14}, {136, 14}, {150, 14}, {164, 14}, {178, 40}, {218, 18}});
}

TEST(DesglosarRegistro, DetailRowsByBookAndYear) {
  const Value e2011 = imp::DesglosarRegistroDeclarado(Declared("E", "2011"), false);
  EXPECT_EQ(LastCarried(e2011), 27);
  EXPECT_EQ(Cell(e2011, 22), "67890123");
  EXPECT_EQ(LastCarried(imp::DesglosarRegistroDeclarado(Declared("F", "2012"), false)), 32);
  const Value e2013 = imp::DesglosarRegistroDeclarado(Declared("E", "2013"), false);
  EXPECT_EQ(LastCarried(e2013), 32);
  EXPECT_EQ(Cell(e2013, 32), "012345678901234");
  const Value e2014 = imp::DesglosarRegistroDeclarado(Declared("E", "2014"), false);
  EXPECT_EQ(LastCarried(e2014), 37);
  EXPECT_EQ(Cell(e2014, 36), "78901234567890123456789012345678");
  EXPECT_EQ(Cell(e2014, 37), "X");

  EXPECT_EQ(LastCarried(imp::DesglosarRegistroDeclarado(Declared("R", "2013"), false)), 25);
  const Value s2014 = imp::DesglosarRegistroDeclarado(Declared("S", "2014"), false);
  EXPECT_EQ(LastCarried(s2014), 30);
  EXPECT_EQ(Cell(s2014, 30), "5");  // its mark sits at 405
  const Value j = imp::DesglosarRegistroDeclarado(Declared("J", "2009"), false);
  EXPECT_EQ(LastCarried(j), 27);
  EXPECT_EQ(Cell(j, 27), "56789012345678901");
  const Value u = imp::DesglosarRegistroDeclarado(Declared("U", "2009"), false);
  EXPECT_EQ(LastCarried(u), 30);
  EXPECT_EQ(u(30, 1).toString(), "PDOI_OFOD");

  // A lower-case or unknown letter carries no detail; nor does a year that
  // reads as no number carry the later blocks.
  for (const char* letter : {"e", "r", "X", ""})
    EXPECT_EQ(LastCarried(imp::DesglosarRegistroDeclarado(Declared(letter, "2014"), false)), 21);
  EXPECT_EQ(LastCarried(imp::DesglosarRegistroDeclarado(Declared("E", "20X4"), false)), 27);
}

TEST(DesglosarRegistro, SignPositionOfAmounts) {
  const auto bimp = [](std::string_view field) {
    return Cell(imp::DesglosarRegistroDeclarado(Line({{1, "2"}, {122, field}}), false), 16);
  };
  EXPECT_EQ(bimp("N0000000012345"), "-0000000012345");
  EXPECT_EQ(bimp("-0000000012345"), "&0000000012345");
  EXPECT_EQ(bimp(" 0000000012345"), " 0000000012345");
  EXPECT_EQ(imp::ConvertirSigno(""), "");
  EXPECT_EQ(imp::ConvertirSigno("1N"), "1N");
}

TEST(DesglosarRegistro, MarkWithEstatal) {
  const auto mark = [](const char* book, const char* cdo, bool estatal) {
    const Value b = imp::DesglosarRegistroDeclarado(Declared(book, "2014", cdo), estatal);
    return Cell(b, *book == 'E' ? 37 : 30);
  };
  // The line holds "X" at 500 (E/F) and "5" at 405 (R/S).
  EXPECT_EQ(mark("E", "1", true), "S");
  EXPECT_EQ(mark("E", "Z", true), "S");
  EXPECT_EQ(mark("R", "8", true), "S");
  EXPECT_EQ(mark("E", "A", true), "X");
  EXPECT_EQ(mark("E", "", true), "X");
  EXPECT_EQ(mark("E", "9", true), "X");
  EXPECT_EQ(mark("E", "1", false), "X");
  EXPECT_EQ(mark("S", "A", true), "5");
}

TEST(DesglosarRegistro, ShortLinesYieldWhatExists) {
  const Value b = imp::DesglosarRegistroDeclarado(Declared("E", "2014", "", 499), false);
  EXPECT_EQ(LastCarried(b), 37);
  EXPECT_EQ(Cell(b, 37), "");
  EXPECT_EQ(Cell(b, 36), "78901234567890123456789012345678");
  const Value cut = imp::DesglosarRegistroDeclarado(Declared("E", "2014", "", 240), false);
  EXPECT_EQ(Cell(cut, 22), "67890");
  EXPECT_EQ(Cell(cut, 23), "");
  EXPECT_EQ(imp::DesglosarRegistroDeclarante("")(23, 1).toString(), "BLANCOS");
}

TEST(ComprobarTipoRegistro, FirstCharacterZeroToTwo) {
  Value errores;
  for (const char* line : {"0", "1abc", "2"}) {
    EXPECT_TRUE(imp::ComprobarTipoRegistro(line, errores)) << line;
    EXPECT_EQ(errores.ubound(2), 0);
    EXPECT_TRUE(errores(0, 0).isEmpty());
  }
  for (const char* line : {"3", " 1", "A", ""}) {
    EXPECT_FALSE(imp::ComprobarTipoRegistro(line, errores)) << line;
    ASSERT_EQ(errores.ubound(2), 0);
    EXPECT_EQ(errores(0, 0).type(), kolvar::VarType::Integer);
    EXPECT_EQ(errores(0, 0).toInteger(), 30);
    EXPECT_EQ(errores(1, 0).toString(), std::string(line).substr(0, 1));
  }
}

TEST(DepurarCaracteres, ReplacesForbiddenCharactersKeepingPositions) {
  const std::string clean = imp::DepurarCaracteres(Line({{36, "O'BRIEN\tÑ€"}, {500, "X"}}));
  EXPECT_EQ(clean, Line({{36, "O BRIEN Ñ"}, {500, "X"}}));
}

}  // namespace
