// The export data of a declaration: totals and the grid with the detail
// columns of every book.
#include <map>

#include "declarations/declarations_fixture.h"
#include "export/export_service.h"

namespace kolvar::testing {
namespace {

class Export : public PerEngine<DeclarationsTest> {};

TEST_P(Export, TotalsAndGridOfADeclaration) {
  auto exporter = CreateObject("kolvar.cExportacion");
  exporter->Let("mdbmod", Value(userPath));
  std::vector<Value> key{Value(std::int32_t{4})};
  const Value none = exporter->Call("ObtenerTotalesPorDeclaracion", key);
  ASSERT_EQ(none.ubound(1), 3);
  EXPECT_EQ(none(0).toString() + none(1).toString() + none(2).toString(), "");
  EXPECT_TRUE(exporter->Call("ObtenerDeclaradosParaFichero", key).isNull());

  Save(4, "E", "Emitida", {"100.5", "21", "121.5"});
  Save(4, "R", "Recibida", {"-50", "-10.5", "-60.5"});
  const Value totals = exporter->Call("ObtenerTotalesPorDeclaracion", key);
  EXPECT_EQ(totals(0).toString() + "|" + totals(1).toString() + "|" + totals(2).toString(),
            "50.5|10.5|61");
  ExecUser("DROP TABLE tdpbi");
  const Error e = ExpectError(err::kTableNotFound,
                              [&] { exporter->Call("ObtenerDeclaradosParaFichero", key); });
  EXPECT_EQ(
      e.description().rfind(
          "cExportacion.ObtenerDeclaradosParaFichero cTDeclarados.ObtenerDeclaradosParaFichero ",
          0),
      0u);
}

// Every cell of the grid by value, for a record of each detail table: the
// record's own 19 columns (its key first), then 11 + 4 + 6 + 9 + 5 + 5 detail
// columns.
TEST_P(Export, EveryGridCellOfEachBook) {
  const std::map<std::string, std::vector<std::pair<int, int>>> blocks{
      {"E", {{0, 11}, {-1, 4}, {-1, 6}, {-1, 9}, {11, 5}, {-1, 5}}},
      {"R", {{-1, 11}, {0, 4}, {-1, 6}, {-1, 9}, {-1, 5}, {4, 5}}},
      {"I", {{-1, 11}, {-1, 4}, {0, 6}, {-1, 9}, {-1, 5}, {-1, 5}}},
      {"U", {{-1, 11}, {-1, 4}, {-1, 6}, {0, 9}, {-1, 5}, {-1, 5}}}};
  for (const auto& [book, unused] : blocks) Save(4, book, "Nombre " + book);
  auto exporter = CreateObject("kolvar.cExportacion");
  exporter->Let("mdbmod", Value(userPath));
  std::vector<Value> key{Value(std::int32_t{4})};
  const Value grid = exporter->Call("ObtenerDeclaradosParaFichero", key);
  ASSERT_EQ(grid.ubound(1), 19 + 40);
  ASSERT_EQ(grid.ubound(2), 4);
  for (std::int32_t r = 1; r <= 4; ++r) {
    const std::string book = grid(8, r).toString();
    const Value b = SampleRecord(4, book, "Nombre " + book);
    std::string expected =
        ScalarUser("SELECT CSDO FROM tOperadores WHERE CDTL = '" + book + "'").toString() + "|4";
    for (std::int32_t i = 2; i <= 18; ++i) expected += "|" + b(i).toString();
    for (const auto& [first, count] : blocks.at(book))
      for (int k = 0; k < count; ++k)
        expected += "|" + (first < 0 ? "" : b(21 + first + k).toString());
    expected += "|";  // the buffer's spare last column
    std::string got;
    for (std::int32_t c = 0; c <= grid.ubound(1); ++c)
      got += (c ? "|" : "") + grid(c, r).toString();
    EXPECT_EQ(got, expected);
  }
}

KOLVAR_PER_ENGINE(Export);

}  // namespace
}  // namespace kolvar::testing
