#include <gtest/gtest.h>

#include "declared/record_buffers.h"
#include "declared/validation.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

// Every country but XX exists; Croatia entered in July 2013.
struct FakeLookups : declared::RecordLookups {
  std::vector<std::string> calls;
  bool ComprobarExistPais(const std::string& pais) override {
    calls.push_back("pais " + pais);
    return pais != "XX";
  }
  bool comprobarFechaDeIngreso(const std::string& fecha, const std::string& pais) override {
    calls.push_back("fecha " + fecha + " " + pais);
    return pais != "HR" || fecha >= "20130701";
  }
};

Found ValidateWith(const Cells& cells, FakeLookups& lookups) {
  Value errors;
  declared::ValidarDeclarado(RecordBuffer(cells), errors, lookups);
  return Findings(errors);
}

Found Validate(const Cells& cells) {
  FakeLookups lookups;
  return ValidateWith(cells, lookups);
}

TEST(ValidarDeclarado, CleanRecordReplacesOldBufferWithOneEmptyColumn) {
  FakeLookups lookups;
  Value errors = Value::Array({{0, 1}, {0, 3}});
  errors(0, 2) = std::int16_t{7};
  declared::ValidarDeclarado(RecordBuffer({}), errors, lookups);
  EXPECT_EQ(std::pair(errors.ubound(1), errors.ubound(2)), std::pair(1, 0));
  EXPECT_TRUE(errors(0, 0).isEmpty() && errors(1, 0).isEmpty() && lookups.calls.empty());
}

TEST(ValidarDeclarado, BookERecordOfZerosGetsIssueDateFindingOnlyBefore2012) {
  const Value o(0);
  Cells zeros{{2, ""}, {6, std::uint8_t{1}}, {9, ""}, {19, "2011"}, {20, std::int16_t{12}}};
  for (int i = 10; i <= 16; ++i) zeros.emplace_back(i, o);
  EXPECT_EQ(Validate(zeros), (Found{{7, 53}, {10, 73}}));
  zeros.insert(zeros.end(), {{19, "2012"}, {20, "1"}});
  EXPECT_EQ(Validate(zeros), (Found{{7, 53}}));
}

TEST(ValidarDeclarado, OperationKeyOccursInTheSetOfThePeriod) {
  const Found refused{{9, 65}};
  ExpectCases(Validate, {{{{9, "Y"}}, refused},
                         {{{9, "R"}, {19, "2011"}, {20, 12}}, refused},
                         {{{9, "R"}, {20, 1}}, {}},
                         {{{9, "AB"}, {19, "2011"}}, {}},  // a substring of the set passes
                         {{{9, "a"}}, refused}});
}

TEST(ValidarDeclarado, DatesRateAndAmountsInRuleOrder) {
  // clang-format off
  ExpectCases(Validate, {
      {{{10, "2008/01/01"}, {11, "20070229"}, {12, "16,5"}, {13, "1.5"}, {14, "1,5"}, {15, "a"},
        {16, " 1"}}, {{10, 55}, {11, 58}, {12, 59}, {13, 60}, {14, 61}, {15, 62}, {16, 63}}},
      {{{10, "20080230"}, {11, "x"}, {12, 10001}}, {{10, 56}, {11, 57}, {12, 66}}},
      {{{10, "00000000"}, {11, "20080229"}, {12, "10000"}, {13, Value()}}, {}}});
  // clang-format on
}

TEST(ValidarDeclarado, HyphenatedDateRaisesFromTheBlankCheckInsteadOfAFinding) {
  const Error e = ExpectError(13, [] { Validate({{10, "2008-01"}}); });
  EXPECT_EQ(e.description().rfind("General.CB", 0), 0u);
}

TEST(ValidarDeclarado, IdentifiersCountriesAndBooks) {
  ExpectCases(Validate,
              {{{{2, "12345678A"}, {5, "XX"}, {6, std::uint8_t{2}}, {7, "DE136695977"}},
                {{0, 23}, {4, 52}, {5, 29}}},
               {{{2, ""}, {3, "bad"}, {6, "1"}, {8, "U"}}, {{1, 24}, {2, 12}, {8, 54}}},
               {{{3, "A58818501"}, {6, std::int16_t{2}}, {7, "DE 136695976 "}, {8, "U"}}, {}},
               {{{6, "2"}, {7, "HR33392005961"}, {19, "2013"}, {20, "7"}}, {}},
               {{{2, ""}, {8, ""}}, {{6, 64}}},
               {{{2, ""}, {9, "C"}, {8, " EF"}}, {{7, 53}}},  // " EF" trimmed occurs in "EFRS"
               {{{2, ""}, {9, "C"}, {4, "X"}, {5, "ES"}, {13, "10001"}}, {{7, 53}}},
               {{{2, ""}, {9, "C"}, {4, "X"}, {13, ""}}, {}},
               {{{2, ""}, {9, "C"}, {4, "X"}, {5, "FR"}, {13, "20000"}}, {}}});
  FakeLookups l;
  EXPECT_EQ(ValidateWith({{5, "HR"}, {6, "2"}, {7, "HR33392005961"}}, l), (Found{{5, 109}}));
  EXPECT_EQ(l.calls, (std::vector<std::string>{"pais HR", "fecha 20120301 HR"}));
}

TEST(ValidarDeclarado, FailuresReachTheCallerWithoutFindings) {
  struct Failing : FakeLookups {
    bool ComprobarExistPais(const std::string&) override { Raise(3078); }
  } failing;
  Value errors = "untouched", shortRecord = Value::Array({{0, 19}});
  ExpectError(3078, [&] { ValidateWith({{2, "bad"}, {5, "FR"}}, failing); });
  ExpectError(9, [&] { declared::ValidarDeclarado(shortRecord, errors, failing); });
  EXPECT_EQ(errors.toString(), "untouched");
  ExpectError(13, [] { Validate({{20, "1T"}}); });
}

}  // namespace
}  // namespace kolvar::testing
