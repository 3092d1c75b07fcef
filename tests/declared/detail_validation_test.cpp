#include <gtest/gtest.h>

#include "declared/error_buffer.h"
#include "declared/record_buffers.h"
#include "declared/validation.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

// One detail validator on a fresh buffer.
template <void (*Validate)(const Value&, Value&)>
Found Detail(const Cells& cells) {
  Value errors = declared::NewErrorBuffer();
  Validate(RecordBuffer(cells), errors);
  return Findings(errors);
}

TEST(ErrorBuffer, DetailFindingsReuseTheEmptyColumnOrFollowTheLast) {
  Value errors = declared::NewErrorBuffer();
  declared::ValidarDpfr(RecordBuffer({{24, "x"}}), errors);
  declared::ValidarDpbi(RecordBuffer({}), errors);
  EXPECT_EQ(Findings(errors), (Found{{22, 49}, {22, 38}}));
  Value leftover = declared::NewErrorBuffer();
  leftover(1, 0) = 99;  // only the field cell tells whether the column is used
  declared::ValidarDpbi(RecordBuffer({}), leftover);
  EXPECT_EQ(Findings(leftover), (Found{{22, 38}}));
  EXPECT_EQ(errors(1, 1).type(), VarType::Integer);
  std::int16_t k = 32767;
  ExpectError(6, [&] { declared::AppendEntry(errors, k, Value(1), Value(2)); });
  EXPECT_EQ(errors.ubound(2), 32767);
}

TEST(ValidarDpfe, CashBasisRequiredWithZKeyAndForbiddenWithOthers) {
  ExpectCases(Detail<declared::ValidarDpfe>,
              {{{{9, "Z"}}, {{20, 113}, {20, 112}, {20, 114}, {20, 110}}},
               {{{9, "Z"}, {34, "T"}}, {{20, 113}, {20, 112}, {20, 110}}},
               {{{9, "Z1"}, {32, 20120301}, {33, "5"}, {34, "C"}, {35, "ES12"}}, {}},
               {{{33, "5"}}, {{20, 129}, {20, 129}}},
               {{{34, "E"}, {35, "123"}}, {{20, 129}, {20, 129}}},
               {{{35, "123"}}, {{21, 111}}}});  // an empty means counts as listed
}

TEST(ValidarDpfe, DigitsRetentionLimitAndRulesFrom2012) {
  ExpectCases(Detail<declared::ValidarDpfe>,
              {{{{21, "A1"}, {22, "1.0"}, {25, "1,5"}, {26, "x"}},
                {{20, 47}, {21, 48}, {22, 50}, {23, 51}}},
               {{{25, "10000"}, {10, 0}, {19, "2011"}, {20, "12"}, {28, "x"}}, {}},
               {{{25, 10001}, {10, 0}, {20, "1"}}, {{22, 87}, {24, 73}}},
               {{{27, 0}, {28, "REF"}, {30, "2012"}}, {{25, 107}, {26, 103}}},
               {{{9, ""}, {29, "5"}, {30, "2011"}}, {{28, 104}}},
               {{{9, ""}, {29, "5"}, {30, "2012"}}, {}},
               {{{29, "5"}, {30, "2012"}}, {{29, 105}}},
               {{{29, "5"}}, {{27, 106}}}});
}

TEST(ValidarDpfe, NonNumericCashDateRaisesKeepingEarlierFindings) {
  Value errors = declared::NewErrorBuffer(), shortRecord = Value::Array({{0, 35}});
  declared::ValidarDpbi(RecordBuffer({}), errors);
  ExpectError(13, [&] { declared::ValidarDpfe(RecordBuffer({{32, "abc"}}), errors); });
  EXPECT_EQ(Findings(errors), (Found{{22, 38}}));
  ExpectError(9, [&] { declared::ValidarDpfe(shortRecord, errors); });
}

TEST(ValidarDpfr, IssueDateInEveryPeriodAndCashBasis) {
  ExpectCases(Detail<declared::ValidarDpfr>,
              {{{{10, "0"}, {19, "2011"}}, {{24, 73}}},
               {{{9, "Z"}, {27, "T"}}, {{20, 118}, {20, 117}, {20, 115}}},
               {{{9, "Z"}}, {{20, 118}, {20, 117}, {20, 119}}},
               {{{25, "20120301"}}, {{20, 128}}},  // no combined rule
               {{{28, "1"}, {21, "1a"}, {22, "b"}, {24, "1,5"}},
                {{21, 116}, {20, 47}, {21, 48}, {22, 49}}}});
}

TEST(ValidarDpbiAndDpdoi, LimitsDatesLettersAndMemberStates) {
  ExpectCases(Detail<declared::ValidarDpbi>,
              {{{{21, "100"}, {25, 0}, {26, "B1"}}, {}},
               {{{21, 101}, {25, "20080230"}, {26, "B1"}}, {{20, 33}, {24, 42}}},
               {{{21, "1,5"}, {22, "x"}, {24, "y"}, {25, "2008.01"}},
                {{20, 34}, {21, 39}, {22, 38}, {23, 35}, {24, 40}}}});
  ExpectCases(Detail<declared::ValidarDpdoi>,
              {{{{21, "B"}, {22, "R"}, {23, "EL"}, {24, "12"}, {25, "x"}}, {}},
               {{{21, "a"}, {22, " R"}, {23, "ES"}, {24, "1.5"}},
                {{20, 25}, {21, 26}, {22, 44}, {23, 45}, {24, 46}}}});
}

}  // namespace
}  // namespace kolvar::testing
