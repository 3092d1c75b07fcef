#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "import/importacion.h"
#include "import/lines.h"

namespace {

using kolvar::Value;
using kolvar::testing::Line;
namespace imp = kolvar::Importacion;
using Fields = std::vector<std::pair<int, std::string_view>>;
using Findings = std::vector<std::pair<int, std::string>>;

// A declarant line that passes every rule, with `changes` written over it.
std::string Declarant(const Fields& changes, std::size_t length = 500) {
  Fields f = {{1, "1"},
              {2, "340"},
              {5, "2014"},
              {9, "12345678Z"},
              {18, "EMPRESA DE PRUEBA S.L."},
              {58, "C"},
              {59, "912345678"},
              {108, "340"},
              {111, "2014"},
              {115, "03"},
              {117, "0002"},
              {123, "0000000000000"},
              {136, "03"},
              {138, "000000001"},
              {147, " 00000000000012345"},
              {165, " 00000000000002592"},
              {183, " 00000000000014937"}};
  f.insert(f.end(), changes.begin(), changes.end());
  return Line(f, length);
}

Findings Validate(const std::string& line, std::int32_t max = 2014, std::int32_t min = 2009) {
  const Value fields = imp::DesglosarRegistroDeclarante(line);
  const Value errors = imp::ValidarRegistroDeclarante(fields, 500, max, min, line);
  EXPECT_EQ(errors.ubound(1), 1);
  Findings out;
  if (errors(0, 0).isEmpty()) {
    EXPECT_EQ(errors.ubound(2), 0);
    EXPECT_TRUE(errors(1, 0).isEmpty());
    return out;
  }
  for (int r = 0; r <= errors.ubound(2); ++r) {
    EXPECT_EQ(errors(0, r).type(), kolvar::VarType::Integer);
    out.emplace_back(errors(0, r).toInteger(), errors(1, r).toString());
  }
  return out;
}

TEST(ValidarRegistroDeclarante, CleanLineGivesOneEmptyEntry) {
  EXPECT_EQ(Validate(Declarant({})), Findings{});
  // Blank optional fields, a declared representative and a negative total pass too.
  EXPECT_EQ(Validate(Declarant({{5, "    "}, {58, " "}, {147, "N"}, {391, "B12345674"}})),
            Findings{});
}

TEST(ValidarRegistroDeclarante, LengthAloneWhenTheLineIsNot500Long) {
  const Findings lengthOnly{{67, ""}};
  EXPECT_EQ(Validate(Declarant({{2, "999"}, {58, "X"}}, 499)), lengthOnly);
  EXPECT_EQ(Validate(Declarant({{2, "999"}, {58, "X"}}, 501)), lengthOnly);
}

TEST(ValidarRegistroDeclarante, EveryRuleInRowOrder) {
  const std::string line = Declarant({{2, "341"},
                                      {5, "2016"},
                                      {9, "12345678A"},
                                      {18, std::string(40, ' ')},
                                      {58, "X"},
                                      {59, "91234A   "},
                                      {108, "34O"},
                                      {111, "20A4"},
                                      {115, "0X"},
                                      {117, "0200"},
                                      {121, "XY"},
                                      {136, "13"},
                                      {138, "         "},
                                      {147, "100000000000012345"},
                                      {165, "-00000000000002592"},
                                      {183, " 00000000000A14937"},
                                      {250, "X"},
                                      {391, "12345678A"},
                                      {400, "-"}});
  const Findings got = Validate(line);
  const Findings want{{74, "341"},
                      {10, "2016"},
                      {0, "12345678A"},
                      {1, ""},
                      {71, "X"},
                      {77, "91234A"},
                      {74, "34O"},
                      {43, "20A4"},
                      {69, "0X"},
                      {79, "0200"},
                      {80, "X"},
                      {81, "Y"},
                      {69, "13"},
                      {48, "         "},
                      {71, "100000000000012345"},
                      {72, "&00000000000002592"},
                      {62, "00000000000A14937"},
                      {98, "X"},
                      {12, "12345678A"},
                      {98, "&"}};  // the filler passes through the sign conversion
  EXPECT_EQ(got, want);
}

TEST(ValidarRegistroDeclarante, YearsAndIdentifiers) {
  EXPECT_EQ(Validate(Declarant({{111, "    "}})), (Findings{{43, "    "}}));
  EXPECT_EQ(Validate(Declarant({{9, "         "}})), (Findings{{75, ""}}));
  // A maximum below the minimum refuses every year, the blank one excepted.
  EXPECT_EQ(Validate(Declarant({}), 2008, 2009), (Findings{{10, "2014"}, {10, "2014"}}));
  EXPECT_EQ(Validate(Declarant({{5, "    "}}), 2008, 2009), (Findings{{10, "2014"}}));
  EXPECT_EQ(Validate(Declarant({{5, "2015"}, {111, "2013"}}), 2014, 2009),
            (Findings{{10, "2015"}}));
  // Digits and minus signs that read as no number count as above any maximum.
  EXPECT_EQ(Validate(Declarant({{5, "20-4"}})), (Findings{{43, "20-4"}, {10, "20-4"}}));
}

// Only the last two digits count, so a first declaration numbered 0100 is
// refused like 0200 and 0000.
TEST(ValidarRegistroDeclarante, SequenceNumber0100RefusedAsItsLastTwoDigitsAreZero) {
  EXPECT_EQ(Validate(Declarant({{117, "0100"}})), (Findings{{79, "0100"}}));
  EXPECT_EQ(Validate(Declarant({{117, "0000"}})), (Findings{{79, "0000"}}));
  EXPECT_EQ(Validate(Declarant({{117, "0110"}})), Findings{});
  EXPECT_EQ(Validate(Declarant({{117, "00A1"}})), (Findings{{78, "00A1"}, {79, "00A1"}}));
}

TEST(ValidarRegistroDeclarante, PreviousDeclaration) {
  // Complementary or substitutive without a previous declaration: 83 alone.
  EXPECT_EQ(Validate(Declarant({{121, "C"}})), (Findings{{83, "0000000000000"}}));
  EXPECT_EQ(Validate(Declarant({{122, "S"}})), (Findings{{83, "0000000000000"}}));
  EXPECT_EQ(Validate(Declarant({{121, "C"}, {123, "3402014030001"}})), Findings{});
  EXPECT_EQ(Validate(Declarant({{123, "34020140A0001"}})), (Findings{{82, "34020140A0001"}}));
  EXPECT_EQ(Validate(Declarant({{123, "3402014030099"}})),
            (Findings{{84, "3402014030099"}, {86, "No Decl: 00 - No Decl Ant: 99"}}));
  EXPECT_EQ(Validate(Declarant({{123, "3402013020001"}})),
            (Findings{{85, "Decl: 340201302 -  DeclAnt :  340201403"}}));
  EXPECT_EQ(Validate(Declarant({{123, "3412014030001"}})),
            (Findings{{85, "Decl: 341201403 -  DeclAnt :  340201403"}}));
  // The previous number must be below this one's: its first two digits when
  // they are not zero, else its last two.
  EXPECT_EQ(Validate(Declarant({{123, "3402014030002"}})),
            (Findings{{86, "No Decl: 00 - No Decl Ant: 02"}}));
  EXPECT_EQ(Validate(Declarant({{117, "1001"}, {123, "3402014030009"}})), Findings{});
  EXPECT_EQ(Validate(Declarant({{117, "1001"}, {123, "3402014030010"}})),
            (Findings{{86, "No Decl: 10 - No Decl Ant: 10"}}));
}

}  // namespace
