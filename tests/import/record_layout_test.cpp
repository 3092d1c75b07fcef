#include <gtest/gtest.h>

#include "core/text.h"
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
  return Line(
      {{1, "2"}, {2, "340"}, {5, year}, {99, letter}, {100, cdo}, {236, detail}, {500, "X"}},
      length);
}

// Rows from..to of the buffer, each carried (key set) or not (both cells Empty).
void ExpectCarried(const Value& b, int from, int to, bool carried) {
  for (int n = from; n <= to; ++n) {
    EXPECT_EQ(!b(n, 1).isEmpty(), carried) << "row " << n;
    EXPECT_EQ(!b(n, 0).isEmpty(), carried) << "row " << n;
  }
}

TEST(DesglosarRegistro, DeclarantFieldsByCharacterPosition) {
  // The name holds letters of two bytes; later fields still sit by character.
  const std::string line = Line({{1, "1"},
                                 {2, "340"},
                                 {5, "2014"},
                                 {9, " 1234567Z"},
                                 {18, "  MUÑOZ ÁLVAREZ"},
                                 {58, "D"},
                                 {59, "912345678"},
                                 {111, "2014"},
                                 {136, "03"},
                                 {147, "N00000000000012345"},
                                 {165, "-00000000000000001"},
                                 {201, "N  "},
                                 {391, "B12345678"},
                                 {498, "ZZZ"}});
  const Value b = imp::DesglosarRegistroDeclarante(line);
  ASSERT_EQ(b.ubound(1), imp::kFilasDeclarante);
  EXPECT_TRUE(b(0, 0).isEmpty());
  EXPECT_TRUE(b(0, 1).isEmpty());
  EXPECT_EQ(Cell(b, 4), "1234567Z");
  EXPECT_EQ(Cell(b, 5), "MUÑOZ ÁLVAREZ");
  EXPECT_EQ(Cell(b, 6), "D");
  EXPECT_EQ(Cell(b, 7), "912345678");
  EXPECT_EQ(Cell(b, 9), "   ");  // as is: blanks stay
  EXPECT_EQ(Cell(b, 10), "2014");
  EXPECT_EQ(Cell(b, 13), "");
  EXPECT_EQ(Cell(b, 16), "03");
  EXPECT_EQ(Cell(b, 18), "-00000000000012345");
  EXPECT_EQ(Cell(b, 19), "&00000000000000001");
  EXPECT_EQ(Cell(b, 20), std::string(18, ' '));
  EXPECT_EQ(Cell(b, 21), "-");  // filler: sign converted, then trimmed
  EXPECT_EQ(Cell(b, 22), "B12345678");
  EXPECT_EQ(Cell(b, 23), "");  // positions 498 to 500 are not read
  EXPECT_EQ(b(21, 1).toString(), "BLANCOS");
  EXPECT_EQ(b(23, 1).toString(), "BLANCOS");
  EXPECT_EQ(b(17, 1).toString(), "NUMREG");
}

TEST(DesglosarRegistro, DeclaredCommonRows) {
  const std::string line = Line({{1, "2"},
                                 {5, "2014"},
                                 {18, "12345678Z"},
                                 {36, " ÑANDÚ S.L. "},
                                 {79, "  FR123  "},
                                 {99, "E"},
                                 {117, " 21  "},
                                 {122, "n0000000001000"},
                                 {136, " 0000000000210"},
                                 {178, "F-1 "},
                                 {218, "REG9"}});
  const Value b = imp::DesglosarRegistroDeclarado(line, false);
  ASSERT_EQ(b.ubound(1), imp::kFilasDeclarado);
  EXPECT_EQ(Cell(b, 1), "2");
  EXPECT_EQ(Cell(b, 2), "");
  EXPECT_EQ(Cell(b, 3), "2014");
  EXPECT_EQ(Cell(b, 5), "12345678Z");
  EXPECT_EQ(Cell(b, 7), "ÑANDÚ S.L.");
  EXPECT_EQ(Cell(b, 10), "  FR123");  // right-trimmed only
  EXPECT_EQ(Cell(b, 15), " 21  ");
  EXPECT_EQ(Cell(b, 16), "-0000000001000");
  EXPECT_EQ(Cell(b, 17), " 0000000000210");
  EXPECT_EQ(Cell(b, 20), "F-1");
  EXPECT_EQ(Cell(b, 21), "REG9");
  EXPECT_EQ(b(20, 1).toString(), "IDFACTURA");
  EXPECT_EQ(b(22, 1).toString(), "PFE_NOFAC");
}

TEST(DesglosarRegistro, IssuedInvoiceBlocksByYear) {
  const Value y2011 = imp::DesglosarRegistroDeclarado(Declared("E", "2011"), false);
  ExpectCarried(y2011, 22, 27, true);
  ExpectCarried(y2011, 28, 37, false);
  EXPECT_EQ(Cell(y2011, 22), "67890123");
  EXPECT_EQ(Cell(y2011, 27), "12345678901234");  // sign position "1" unchanged

  for (const char* year : {"2012", "2013"}) {
    const Value b = imp::DesglosarRegistroDeclarado(Declared("F", year), false);
    ExpectCarried(b, 22, 32, true);
    ExpectCarried(b, 33, 37, false);
    EXPECT_EQ(b(32, 1).toString(), "PFE_IPPTDI");
    EXPECT_EQ(Cell(b, 32), "012345678901234");
  }

  const Value y2014 = imp::DesglosarRegistroDeclarado(Declared("E", "2014"), false);
  ExpectCarried(y2014, 22, 37, true);
  EXPECT_EQ(Cell(y2014, 36), "78901234567890123456789012345678");
  EXPECT_EQ(Cell(y2014, 37), "X");
}

TEST(DesglosarRegistro, ReceivedInvestmentAndIntraCommunityBooks) {
  const Value r2013 = imp::DesglosarRegistroDeclarado(Declared("R", "2013"), false);
  ExpectCarried(r2013, 22, 25, true);
  ExpectCarried(r2013, 26, 37, false);

  const Value s2014 = imp::DesglosarRegistroDeclarado(Declared("S", "2014"), false);
  ExpectCarried(s2014, 22, 30, true);
  ExpectCarried(s2014, 31, 37, false);
  EXPECT_EQ(Cell(s2014, 22), "678901234567890123");
  EXPECT_EQ(Cell(s2014, 30), "5");  // the mark at 405

  // No year condition for these books.
  const Value j = imp::DesglosarRegistroDeclarado(Declared("J", "2009"), false);
  ExpectCarried(j, 22, 27, true);
  ExpectCarried(j, 28, 37, false);
  EXPECT_EQ(Cell(j, 27), "56789012345678901");
  EXPECT_EQ(j(27, 1).toString(), "PBI_IDBIEN");

  const Value u = imp::DesglosarRegistroDeclarado(Declared("U", "2009"), false);
  ExpectCarried(u, 22, 30, true);
  ExpectCarried(u, 31, 37, false);
  EXPECT_EQ(Cell(u, 22), "6");
  EXPECT_EQ(kolvar::text::Len(Cell(u, 30)), 135u);
  EXPECT_EQ(u(30, 1).toString(), "PDOI_OFOD");
}

TEST(DesglosarRegistro, LetterOutsideTheGroupsCarriesNoDetail) {
  for (const char* letter : {"e", "r", "X", ""}) {
    const Value b = imp::DesglosarRegistroDeclarado(Declared(letter, "2014"), false);
    ExpectCarried(b, 22, 37, false);
    EXPECT_EQ(Cell(b, 11), letter);
  }
  // A year that reads as no number carries only the blocks without a condition.
  const Value b = imp::DesglosarRegistroDeclarado(Declared("E", "20X4"), false);
  ExpectCarried(b, 22, 27, true);
  ExpectCarried(b, 28, 37, false);
}

TEST(DesglosarRegistro, SignPositionOfAmounts) {
  const auto bimp = [](std::string_view field) {
    return Cell(imp::DesglosarRegistroDeclarado(Line({{1, "2"}, {122, field}}), false), 16);
  };
  EXPECT_EQ(bimp("N0000000012345"), "-0000000012345");
  EXPECT_EQ(bimp("n0000000012345"), "-0000000012345");
  EXPECT_EQ(bimp("-0000000012345"), "&0000000012345");
  EXPECT_EQ(bimp(" 0000000012345"), " 0000000012345");
  EXPECT_EQ(imp::ConvertirSigno(""), "");
  EXPECT_EQ(imp::ConvertirSigno("Ñ1"), "Ñ1");
  EXPECT_EQ(imp::ConvertirSigno("1N"), "1N");
}

TEST(DesglosarRegistro, MarkWithEstatal) {
  // The line holds "X" at 500 (E/F) and "5" at 405 (R/S).
  EXPECT_EQ(Cell(imp::DesglosarRegistroDeclarado(Declared("E", "2014", "1"), true), 37), "S");
  EXPECT_EQ(Cell(imp::DesglosarRegistroDeclarado(Declared("F", "2015", "Z"), true), 37), "S");
  EXPECT_EQ(Cell(imp::DesglosarRegistroDeclarado(Declared("R", "2014", "8"), true), 30), "S");
  EXPECT_EQ(Cell(imp::DesglosarRegistroDeclarado(Declared("E", "2014", "A"), true), 37), "X");
  EXPECT_EQ(Cell(imp::DesglosarRegistroDeclarado(Declared("E", "2014", ""), true), 37), "X");
  EXPECT_EQ(Cell(imp::DesglosarRegistroDeclarado(Declared("E", "2014", "9"), true), 37), "X");
  EXPECT_EQ(Cell(imp::DesglosarRegistroDeclarado(Declared("E", "2014", "1"), false), 37), "X");
  EXPECT_EQ(Cell(imp::DesglosarRegistroDeclarado(Declared("S", "2014", "A"), true), 30), "5");
  // Before 2014 there is no mark, whatever the key.
  EXPECT_TRUE(imp::DesglosarRegistroDeclarado(Declared("E", "2013", "1"), true)(37, 0).isEmpty());
}

TEST(DesglosarRegistro, ShortLinesYieldWhatExists) {
  const Value b = imp::DesglosarRegistroDeclarado(Declared("E", "2014", "", 499), false);
  EXPECT_EQ(Cell(b, 37), "");
  EXPECT_EQ(b(37, 1).toString(), "PFE_MARCA");
  EXPECT_EQ(Cell(b, 36), "78901234567890123456789012345678");

  const Value cut = imp::DesglosarRegistroDeclarado(Declared("E", "2014", "", 240), false);
  EXPECT_EQ(Cell(cut, 22), "67890");
  EXPECT_EQ(Cell(cut, 23), "");
  EXPECT_EQ(Cell(cut, 27), "");
  const Value empty = imp::DesglosarRegistroDeclarante("");
  EXPECT_EQ(Cell(empty, 1), "");
  EXPECT_EQ(empty(23, 1).toString(), "BLANCOS");
}

TEST(ComprobarTipoRegistro, FirstCharacterZeroToTwo) {
  Value errores = Value("previous");
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
  const std::string line = Line({{1, "2"}, {36, "O'BRIEN\tÑ€"}, {500, "X"}});
  const std::string clean = imp::DepurarCaracteres(line);
  EXPECT_EQ(clean, Line({{1, "2"}, {36, "O BRIEN Ñ"}, {500, "X"}}));
}

}  // namespace
