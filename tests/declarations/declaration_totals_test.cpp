#include <functional>

#include "declarations/declarations_fixture.h"

namespace kolvar::testing {
namespace {

class DeclarationTotals : public DeclarationsTest {
 protected:
  void SetUp() override {
    DeclarationsTest::SetUp();
    OpenUser();
    t.datTDeclaraciones_CodDecla(4);
  }
};

TEST_F(DeclarationTotals, DeclarationWithoutRecordsGivesBlankTotalsAndZeros) {
  Save(5, "E");  // another declaration's record
  OpenUser();
  const Value totals = t.ObtenerTotalesPorDeclaracion();
  ASSERT_EQ(totals.ubound(1), 3);
  for (int i = 0; i <= 2; ++i) EXPECT_EQ(totals(i).type(), VarType::String) << i;
  EXPECT_EQ(totals(0).toString() + totals(1).toString() + totals(2).toString(), "");
  EXPECT_TRUE(totals(3).isEmpty());
  const Value summary = t.ObtenerResumen();
  const Value counts = t.ObtenerDetalles();
  ASSERT_EQ(summary.ubound(1), 4);
  ASSERT_EQ(summary.ubound(2), 4);
  ASSERT_EQ(counts.ubound(1), 7);
  for (int g = 0; g <= 4; ++g)
    for (int m = 0; m <= 4; ++m) {
      EXPECT_EQ(summary(g, m).type(), VarType::Double);
      EXPECT_EQ(summary(g, m).toDouble(), 0) << g << "," << m;
    }
  for (int i = 0; i <= 7; ++i) EXPECT_EQ(counts(i).toDouble(), 0) << i;
}

TEST_F(DeclarationTotals, SumsAndCountsFollowTheBooksOfSavedRecords) {
  Save(4, "E", "a", {"10000", "2100", "12100", "0"});
  Save(4, "E", "b", {"2550", "-50.5", "2499.5", "0"});
  Save(4, "U", "c", {"-300.25", "0", "-300.25", "12.5"});
  Save(4, "S", "d", {"100", "21", "121", "0"});
  Save(4, "J", "e", {"1", "2", "3", "4"});
  Save(5, "E", "f", {"999", "999", "999", "999"});
  OpenUser();
  const Value totals = t.ObtenerTotalesPorDeclaracion();
  EXPECT_EQ(totals(0).toString() + " " + totals(1).toString() + " " + totals(2).toString(),
            "12350.75 2072.5 14423.25");
  const Value s = t.ObtenerResumen();
  const double expected[5][5] = {{2, 125.5, 20.495, 145.995, 0},
                                 {1, 1, 0.21, 1.21, 0},
                                 {1, 0.01, 0.02, 0.03, 0.04},
                                 {1, -3.0025, 0, -3.0025, 0.125},
                                 {5, 123.5075, 20.725, 144.2325, 0.165}};
  for (int g = 0; g <= 4; ++g)
    for (int m = 0; m <= 4; ++m) EXPECT_DOUBLE_EQ(s(g, m).toDouble(), expected[g][m]) << g << m;
  const Value counts = t.ObtenerDetalles();
  const double perBook[8] = {5, 2, 0, 0, 1, 0, 1, 1};  // all, E, F, I, J, R, S, U
  for (int i = 0; i <= 7; ++i) EXPECT_EQ(counts(i).toDouble(), perBook[i]) << i;
}

TEST_F(DeclarationTotals, FailuresCarryEachOperationsTag) {
  ExecUser("DROP TABLE tOperadores");
  OpenUser();
  const std::pair<const char*, std::function<void()>> cases[] = {
      {"cTDeclaraciones.ObtenerTotalesPorDeclaracion ", [&] { t.ObtenerTotalesPorDeclaracion(); }},
      {"cTDeclaraciones.ObtenerResumen", [&] { t.ObtenerResumen(); }},
      {"cTDeclaraciones.ObtenerDetalles", [&] { t.ObtenerDetalles(); }},
  };
  for (const auto& [tag, call] : cases) {
    const Error e = ExpectError(err::kTableNotFound, call);
    EXPECT_EQ(e.description().rfind(tag, 0), 0u) << e.description();
    EXPECT_NE(e.description()[std::string(tag).size()], ' ') << e.description();
  }
}

}  // namespace
}  // namespace kolvar::testing
