#include <tuple>

#include "declarations/declarations_fixture.h"

namespace kolvar::testing {
namespace {

using Request = std::tuple<Value, Value, Value>;

class DeclarationTotals : public PerEngine<DeclarationsTest> {
 protected:
  void SetUp() override {
    DeclarationsTest::SetUp();
    if (!Ready()) return;
    t.datTDeclaraciones_CodDecla(4);
    Save(5, "E", "x", {"999", "999", "999", "999"});  // another declaration
  }
  Value List(const std::vector<Request>& requests, bool blnFichero = false) {
    Value v = Value::Array({{0, 2}, {0, static_cast<std::int32_t>(requests.size()) - 1}});
    for (std::size_t k = 0; k < requests.size(); ++k)
      std::tie(v(0, k), v(1, k), v(2, k)) = requests[k];
    OpenUser();
    return t.ImprimirDetalles(v, blnFichero);
  }
  // Every cell of a summary or counts array, in index order.
  static std::vector<double> Cells(const Value& a) {
    std::vector<double> out;
    for (std::int32_t i = 0; i <= a.ubound(1); ++i)
      for (std::int32_t m = 0; a.dims() == 2 && m <= a.ubound(2); ++m)
        out.push_back(a(i, m).toDouble());
    if (a.dims() == 1)
      for (std::int32_t i = 0; i <= a.ubound(1); ++i) out.push_back(a(i).toDouble());
    return out;
  }
};

TEST_P(DeclarationTotals, DeclarationWithoutRecordsGivesBlankTotalsAndZeros) {
  OpenUser();
  const Value totals = t.ObtenerTotalesPorDeclaracion();
  ASSERT_EQ(totals.ubound(1), 3);
  EXPECT_EQ(totals(0).type(), VarType::String);
  EXPECT_EQ(totals(0).toString() + totals(1).toString() + totals(2).toString(), "");
  EXPECT_TRUE(totals(3).isEmpty());
  EXPECT_EQ(Cells(t.ObtenerResumen()), std::vector<double>(25, 0));
  EXPECT_EQ(t.ObtenerResumen()(4, 4).type(), VarType::Double);
  EXPECT_EQ(Cells(t.ObtenerDetalles()), std::vector<double>(8, 0));
}

TEST_P(DeclarationTotals, SumsAndCountsFollowTheBooksOfSavedRecords) {
  Save(4, "E", "a", {"10000", "2100", "12100", "0"});
  Save(4, "E", "b", {"2550", "-50.5", "2499.5", "0"});
  Save(4, "U", "c", {"-300.25", "0", "-300.25", "12.5"});
  Save(4, "S", "d", {"100", "21", "121", "0"});
  Save(4, "J", "e", {"1", "2", "3", "4"});
  OpenUser();
  const Value totals = t.ObtenerTotalesPorDeclaracion();
  EXPECT_EQ(totals(0).toString() + " " + totals(1).toString() + " " + totals(2).toString(),
            "12350.75 2072.5 14423.25");
  const std::vector<double> summary{
      2,    125.5, 20.495, 145.995, 0, 1,       1,     0.21, 1.21,     0,      1,        0.01, 0.02,
      0.03, 0.04,  1,      -3.0025, 0, -3.0025, 0.125, 5,    123.5075, 20.725, 144.2325, 0.165};
  const std::vector<double> got = Cells(t.ObtenerResumen());
  for (std::size_t i = 0; i < summary.size(); ++i) EXPECT_DOUBLE_EQ(got[i], summary[i]) << i;
  EXPECT_EQ(Cells(t.ObtenerDetalles()), (std::vector<double>{5, 2, 0, 0, 1, 0, 1, 1}));
}

TEST_P(DeclarationTotals, ListingPagesComeInKeyOrderAndAnEmptyBookFailsTheCall) {
  for (int i = 0; i < 25; ++i) Save(4, "E", "n" + std::to_string(i));
  const Value grid = List({{"exp", 0, 9}, {"exp", "20", 30.0}, {"exp", 5, 2}, {"EXP", 0, 99}});
  ASSERT_EQ(grid.ubound(1), 8);
  ASSERT_EQ(grid.ubound(2), 14);
  for (int n = 0; n <= 14; ++n)
    EXPECT_EQ(grid(0, n).toString() + "|" + grid(1, n).toString() + "|" + grid(8, n).toString(),
              "exp|1 12345678Z N" + std::to_string(n < 10 ? n : n + 10) + "|0");
  EXPECT_EQ(grid(2, 3).toString() + grid(3, 3).toString() + grid(4, 3).toString(), "EA20140115");
  EXPECT_EQ(grid(7, 3).toDouble(), 1210.6);
  const Value none = List({{"EXP", 0, 0}, {Value::Null(), 0, 0}, {"exp", Value::Null(), 3}});
  ASSERT_EQ(none.ubound(2), 0);
  for (int c = 0; c <= 8; ++c) EXPECT_TRUE(none(c, 0).isEmpty()) << c;
  ExpectTagged(err::kNoCurrentRecord, "cTDeclaraciones.ImprimirDetalles", [&] {
    List({{"exp", 0, 0}, {"bie", 0, 0}});
  });
}

// Pages far into a book are reached without reading the rows before them;
// request bounds compare as the values they are.
TEST_P(DeclarationTotals, ListingPagesFarIntoALongBook) {
  for (int i = 0; i < 120; ++i)
    ExecUser("INSERT INTO tOperadores (CSCI, CNIPR, NIF, CDTL, NOMBRE) VALUES (4, 1, 'X', 'E', 'n" +
             std::to_string(i) + "')");
  const Value grid = List({{"exp", 100, 104},
                           {"exp", 2.5, 4},
                           {"exp", -3, 0},
                           {"exp", 118, 500},
                           {"exp", 200, 300},
                           {"exp", "abc", 5},
                           {"exp", Value(), 1},
                           {"exp", 60, "61"}});
  std::vector<std::string> lines;
  for (std::int32_t n = 0; n <= grid.ubound(2); ++n) lines.push_back(grid(1, n).toString());
  EXPECT_EQ(lines,
            (std::vector<std::string>{"1 X N100", "1 X N101", "1 X N102", "1 X N103", "1 X N104",
                                      "1 X N3", "1 X N4", "1 X N0", "1 X N118", "1 X N119",
                                      "1 X N0", "1 X N1", "1 X N60", "1 X N61"}));
}

TEST_P(DeclarationTotals, ListingCdColumnAndPartyText) {
  const std::string name = "abcdefghijklmnopqrstuvwxyz0123456789q";  // 37 characters
  const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789Q";
  Save(4, "E", name);
  Value b = SampleRecord(4, "E", name);
  b(2) = "";
  b(7) = "DE123456789";
  SaveBuffer(b);
  b(7) = "  ";
  SaveBuffer(b);
  for (bool file : {false, true}) {
    const Value grid = List({{"exp", 0, 9}}, file);
    EXPECT_EQ(grid(1, 0).toString(), "1 12345678Z " + upper.substr(0, file ? 33 : 18));
    EXPECT_EQ(grid(1, 1).toString(), "1 DE123456789 " + upper.substr(0, file ? 30 : 15));
    EXPECT_EQ(grid(1, 2).toString(), "1 " + upper.substr(0, file ? 37 : 27));
  }
  Save(4, "U");
  Save(4, "R");
  ExecUser("INSERT INTO tOperadores (CSCI, CNIPR, CDTL, NOMBRE) VALUES (4, 2, 'S', 'Sin detalle')");
  const Value grid = List({{"int", 0, 0}, {"rec", 0, 0}, {"recI", 0, 0}});
  ASSERT_EQ(grid.ubound(2), 2);
  EXPECT_EQ(grid(0, 0).toString() + " " + grid(8, 0).toString(), "int 0");
  EXPECT_EQ(grid(0, 1).toString() + " " + grid(8, 1).toString(), "rec 10.5");
  EXPECT_TRUE(grid(8, 2).isNull());
  EXPECT_EQ(grid(1, 2).toString(), "2 SIN DETALLE");  // Null NIF and NIFDPR
}

TEST_P(DeclarationTotals, ListingCountersAreSixteenBitsAndFailuresAreTagged) {
  for (int i = 0; i < 2; ++i) Save(4, "E");
  const std::vector<Request> pairs(16384, Request{"exp", 0, 1});
  EXPECT_EQ(List({pairs.begin() + 1, pairs.end()}).ubound(2), 32765);
  ExpectError(err::kOverflow, [&] { List(pairs); });  // 32,768 lines
  std::vector<Request> unknown(32767, Request{"none", 0, 0});
  EXPECT_EQ(List(unknown).ubound(2), 0);
  unknown.emplace_back("none", 0, 0);
  ExpectTagged(err::kOverflow, "cTDeclaraciones.ImprimirDetalles", [&] { List(unknown); });
  ExecUser("DROP TABLE tOperadores");
  OpenUser();
  ExpectTagged(err::kTableNotFound, "cTDeclaraciones.ObtenerTotalesPorDeclaracion ",
               [&] { t.ObtenerTotalesPorDeclaracion(); });
  ExpectTagged(err::kTableNotFound, "cTDeclaraciones.ObtenerResumen", [&] { t.ObtenerResumen(); });
  ExpectTagged(err::kTableNotFound, "cTDeclaraciones.ObtenerDetalles",
               [&] { t.ObtenerDetalles(); });
}

KOLVAR_PER_ENGINE(DeclarationTotals);

}  // namespace
}  // namespace kolvar::testing
