// The rules of the received-invoice and investment-goods books.
#include <gtest/gtest.h>

#include "import/declared_line_fields.h"

namespace kolvar::testing {
namespace {

TEST(ReceivedLineValidation, FieldsAndCashBasisInRowOrder) {
  EXPECT_EQ(
      Validate("S", 2013, {{"PFR_NOFAC", ""}, {"PFR_NOREG", "1A"}, {"PFR_CD", "-000000000001X"}}),
      (Findings{{47, ""}, {48, "1A"}, {49, "000000000001X"}}));
  EXPECT_EQ(Validate("R", 2013, {{"PFR_CD", "&0000000000001"}}),
            (Findings{{95, "&0000000000001"}}));
  // Without a cash-basis key the means is forbidden but its letter not checked.
  EXPECT_EQ(Validate("R", 2014, {{"PFR_FMP", "2014011A"}, {"PFR_MP", "X"}, {"PFR_MARCA", "N"}}),
            (Findings{{127, "2014011A"}, {128, "X"}, {123, "N"}}));
  EXPECT_EQ(Validate("R", 2014, {{"CDO", "3"}, {"PFR_IP", "X000000000000"}, {"PFR_MP", "X"}}),
            (Findings{{113, "00000000"}, {120, "X000000000000"}, {112, "0"}, {121, "X"}}));
  EXPECT_EQ(
      Validate(
          "S", 2014,
          {{"CDO", "Z"}, {"PFR_FMP", "20140301"}, {"PFR_IP", "-000000001000"}, {"PFR_MP", "O"}}),
      (Findings{{115, ""}}));
  EXPECT_EQ(Validate("S", 2014,
                     {{"PFR_FMP", "20140301"}, {"PFR_IP", " 00000000000A"}, {"PFR_MP_CC", "ACC"}}),
            (Findings{{128, "20140301"}, {125, "00000000000A"}, {116, "ACC"}}));
  EXPECT_EQ(Validate("R", 2014, {{"PFR_MP", "T"}, {"PFR_MP_CC", "ACC"}}),
            (Findings{{128, "T"}, {128, "ACC"}}));
}

TEST(ReceivedLineValidation, EmptyCashBlockOnImport) {
  const Fields blank = {{"CDO", "8"},    {"PFR_FMP", "        "}, {"PFR_IP", "             "},
                        {"PFR_MP", " "}, {"PFR_MP_CC", "   "},    {"PFR_MARCA", " "}};
  Value fields = DeclaredFields("R", 2014, blank);
  EXPECT_EQ(Validate(fields, ForYear(2014)).size(), 4u);
  EXPECT_TRUE(Validate(fields, ForYear(2014, false)).empty());
  EXPECT_EQ(fields(26, 0).type(), VarType::Integer);
  EXPECT_EQ(fields(27, 0).toLong(), 0);
  EXPECT_EQ(fields(29, 0).toString(), "");
  EXPECT_EQ(fields(31, 0).type(), VarType::Empty);
}

TEST(InvestmentLineValidation, FieldsInRowOrder) {
  EXPECT_EQ(
      Validate("J", 2013,
               {{"PBI_PAD", "101"},
                {"PBI_RAD", "X0000000000000"},
                {"PBI_RADE", " 00000000000A0"},
                {"PBI_FIU", "20131301"},
                {"PBI_IDBIEN", "   "}}),
      (Findings{
          {33, "101"}, {96, "X0000000000000"}, {35, "00000000000A0"}, {42, "20131301"}, {38, ""}}));
  EXPECT_EQ(Validate("I", 2013,
                     {{"PBI_PAD", "1A0"}, {"PBI_RAD", " 000000000-001"}, {"PBI_FIU", "2013O101"}}),
            (Findings{{34, "1A0"}, {39, "000000000-001"}, {40, "2013O101"}}));
  EXPECT_TRUE(
      Validate("I", 2013, {{"PBI_FIU", "00000000"}, {"PBI_RADE", "-0000000000010"}}).empty());
}

}  // namespace
}  // namespace kolvar::testing
