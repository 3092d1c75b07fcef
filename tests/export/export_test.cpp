// The export data of a declaration: totals and the grid with the detail
// columns of every book.
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
  const Value grid = exporter->Call("ObtenerDeclaradosParaFichero", key);
  ASSERT_EQ(grid.ubound(2), 2);
  // The record's own 19 columns, then 11 + 4 + 6 + 9 + 5 + 5 detail columns.
  EXPECT_EQ(grid.ubound(1), 19 + 40);
  for (std::int32_t r = 1; r <= 2; ++r) {
    const bool issued = grid(8, r).toString() == "E";
    EXPECT_EQ(grid(19, r).toString().empty(), !issued) << r;  // tdpfe.NOFAC
    EXPECT_EQ(grid(30, r).toString().empty(), issued) << r;   // tdpfr.NOFAC
  }
  ExecUser("DROP TABLE tdpbi");
  const Error e = ExpectError(err::kTableNotFound,
                              [&] { exporter->Call("ObtenerDeclaradosParaFichero", key); });
  EXPECT_EQ(
      e.description().rfind(
          "cExportacion.ObtenerDeclaradosParaFichero cTDeclarados.ObtenerDeclaradosParaFichero ",
          0),
      0u);
}

KOLVAR_PER_ENGINE(Export);

}  // namespace
}  // namespace kolvar::testing
