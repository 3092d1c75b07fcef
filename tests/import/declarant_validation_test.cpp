#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "import/importacion.h"
#include "import/lines.h"

namespace {

using kolvar::Value;
using kolvar::testing::Placed;

std::string Declarant(const Placed& changes, std::size_t length = 500) {
  return kolvar::testing::DeclarantLine(changes, length);
}

// The findings as "code:text" joined by "|"; "" for the one empty entry.
std::string Validate(const std::string& line, std::int32_t max = 2014, std::int32_t min = 2009) {
  const Value fields = kolvar::Importacion::DesglosarRegistroDeclarante(line);
  const Value e = kolvar::Importacion::ValidarRegistroDeclarante(fields, 500, max, min, line);
  if (e(0, 0).isEmpty()) {
    EXPECT_EQ(e.ubound(2), 0);
    EXPECT_TRUE(e(1, 0).isEmpty());
    return "";
  }
  std::string out;
  for (int r = 0; r <= e.ubound(2); ++r) {
    EXPECT_EQ(e(0, r).type(), kolvar::VarType::Integer);
    out += (r ? "|" : "") + std::to_string(e(0, r).toInteger()) + ":" + e(1, r).toString();
  }
  return out;
}

TEST(ValidarRegistroDeclarante, CleanLineAndLength) {
  EXPECT_EQ(Validate(Declarant({})), "");
  // Blank optional fields, a representative and a negative total pass too.
  EXPECT_EQ(Validate(Declarant({{5, "    "}, {58, " "}, {147, "N"}, {391, "B12345674"}})), "");
  // A line not 500 long gives the length finding alone.
  EXPECT_EQ(Validate(Declarant({{2, "999"}, {58, "X"}}, 499)), "67:");
  EXPECT_EQ(Validate(Declarant({{2, "999"}, {58, "X"}}, 501)), "67:");
}

TEST(ValidarRegistroDeclarante, EveryRuleInRowOrder) {
  const std::string line = Declarant({
      {2, "341"},        {5, "2016"},  {9, "12345678A"},   {18, "       "}, {58, "X"},
      {59, "91234A   "}, {108, "34O"}, {111, "20A4"},      {115, "0X"},     {117, "0200"},
      {121, "XY"},       {136, "13"},  {138, "         "}, {147, "1"},      {165, "-"},
      {194, "A"},        {250, "X"},   {391, "12345678A"}, {400, "-"},
  });
  EXPECT_EQ(Validate(line),
            "74:341|10:2016|0:12345678A|1:|71:X|77:91234A|74:34O|43:20A4|69:0X|79:0200|80:X|"
            "81:Y|69:13|48:         |71:100000000000000012|72:&00000000000000002|"
            "62:0000000000A000014|98:X|12:12345678A|98:&");
}

TEST(ValidarRegistroDeclarante, YearsAndIdentifiers) {
  EXPECT_EQ(Validate(Declarant({{111, "    "}})), "43:    ");
  EXPECT_EQ(Validate(Declarant({{9, "         "}})), "75:");
  // A maximum below the minimum refuses every year but a blank EJERCICIO.
  EXPECT_EQ(Validate(Declarant({}), 2008, 2009), "10:2014|10:2014");
  EXPECT_EQ(Validate(Declarant({{5, "    "}}), 2008, 2009), "10:2014");
  EXPECT_EQ(Validate(Declarant({{5, "2015"}, {111, "2013"}})), "10:2015");
  // Digits and minus signs that read as no number count as above any maximum.
  EXPECT_EQ(Validate(Declarant({{5, "20-4"}})), "43:20-4|10:20-4");
}

// Only the last two digits count, so 0100 is refused like 0000.
TEST(ValidarRegistroDeclarante, SequenceNumber0100RefusedAsItsLastTwoDigitsAreZero) {
  EXPECT_EQ(Validate(Declarant({{117, "0100"}})), "79:0100");
  EXPECT_EQ(Validate(Declarant({{117, "0000"}})), "79:0000");
  EXPECT_EQ(Validate(Declarant({{117, "0110"}})), "");
  EXPECT_EQ(Validate(Declarant({{117, "00A1"}})), "78:00A1|79:00A1");
}

TEST(ValidarRegistroDeclarante, PreviousDeclaration) {
  const auto previous = [](std::string_view v, std::string_view num = "0002") {
    return Validate(Declarant({{117, num}, {123, v}}));
  };
  EXPECT_EQ(Validate(Declarant({{121, "C"}})), "83:0000000000000");
  EXPECT_EQ(Validate(Declarant({{122, "S"}})), "83:0000000000000");
  EXPECT_EQ(Validate(Declarant({{121, "C"}, {123, "3402014030001"}})), "");
  EXPECT_EQ(previous("34020140A0001"), "82:34020140A0001");
  EXPECT_EQ(previous("3402014030099"), "84:3402014030099|86:No Decl: 00 - No Decl Ant: 99");
  EXPECT_EQ(previous("3402013020001"), "85:Decl: 340201302 -  DeclAnt :  340201403");
  EXPECT_EQ(previous("3402013030001"), "85:Decl: 340201303 -  DeclAnt :  340201403");  // year
  EXPECT_EQ(previous("3402014020001"), "85:Decl: 340201402 -  DeclAnt :  340201403");  // period
  EXPECT_EQ(previous("3412014030001"), "85:Decl: 341201403 -  DeclAnt :  340201403");
  // Below this number: its first two digits when not zero, else its last two.
  EXPECT_EQ(previous("3402014030002"), "86:No Decl: 00 - No Decl Ant: 02");
  EXPECT_EQ(previous("3402014030009", "1001"), "");
  EXPECT_EQ(previous("3402014030010", "1001"), "86:No Decl: 10 - No Decl Ant: 10");
}

}  // namespace
