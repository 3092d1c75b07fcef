#include "declared/record_table.h"

#include <gtest/gtest.h>

#include "dbaccess/conexion.h"
#include "declared/record_service.h"
#include "declared/sample_records.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class DeclaradosTable : public PerEngine<DatabaseTest> {
 protected:
  void Save(const Value& buffer) {
    declared::cDeclarado svc;
    svc.mdbmod(userPath);
    svc.EjercicioDestino(2014);
    svc.GuardarDeclarado(buffer, false);
  }
  void Open(BD which) {
    Conexion().mdb(which);
    Conexion().InicializaBD(which == bd340mod ? userPath : referencePath);
  }
  declared::cTDeclarados t;
};
KOLVAR_PER_ENGINE(DeclaradosTable);

TEST_P(DeclaradosTable, InsertReturnsTheTableWideGreatestKeyAndKeysAreNeverReused) {
  Open(bd340mod);
  EXPECT_EQ(t.MaxDeclarado(), 0);
  t.datTDeclarados_csci(4);
  t.datTDeclarados_nifrep("a'b");
  t.datTDeclarados_bimp(1234.5);
  EXPECT_EQ(t.Insertar(), 1);
  // What was never set is stored as zeros and empty texts.
  EXPECT_EQ(
      RowsUser("SELECT NIF, NOMBRE, PAIS, CNIPR, NIFDPR, CDTL, CDO, FDE, FDO, TIPOIMP, CUOTA, "
               "IMPTF, BASEIMPCOSTE, IDFACTURA, NODEREG FROM tOperadores"),
      "|||0||||0|0|0|0|0|0||\n");
  Open(bd340mod);
  t.datTDeclarados_csci(3);
  t.datTDeclarados_csdo(t.Insertar());
  EXPECT_EQ(t.datTDeclarados_csdo(), 2);
  EXPECT_TRUE(t.EliminarDeclarado());
  EXPECT_EQ(t.Insertar(), 3);
  t.datTDeclarados_csdo(1);
  const Value row = t.CargarDeclarado();
  EXPECT_EQ(row(1).toString() + " " + row(11).toString(), "a'b 1234.5");
  EXPECT_EQ(ScalarUser("select NREP from tOperadores where CSDO = 1").toString(),
            "a\xC2\xB4"
            "b");
}

TEST_P(DeclaradosTable, DeletionsByDeclarationLeaveOtherDeclarations) {
  for (std::string letter : {"E", "R", "I", "U"}) {
    Save(SampleRecord(1, letter));
    Save(SampleRecord(2, letter));
  }
  Open(bd340mod);
  t.datTDeclarados_csci(1);
  EXPECT_TRUE(t.BorrarDatosPropiosDeDeclaracion());
  EXPECT_TRUE(t.EliminarDeclarados());
  EXPECT_TRUE(t.ObtenerDeclarados().isNull());
  for (const char* table : {"tdpfe", "tdpfr", "tdpbi", "tdpdoi"})
    EXPECT_EQ(ScalarUser(std::string("select count(*) from ") + table).toLong(), 1) << table;
  Open(bd340mod);
  EXPECT_TRUE(t.Borrar(2));
  EXPECT_EQ(t.MaxDeclarado(), 0);
}

TEST_P(DeclaradosTable, FileGridJoinsTheColumnsOfEveryDetailTable) {
  for (std::string letter : {"S", "U", "E"}) Save(SampleRecord(5, letter));  // keys 1, 2, 3
  Save(SampleRecord(6, "E"));
  Open(bd340mod);
  t.datTDeclarados_csci(5);
  const Value grid = t.ObtenerDeclaradosParaFichero();
  ASSERT_EQ(grid.ubound(1), 19 + 40);
  ASSERT_EQ(grid.ubound(2), 3);
  for (std::int32_t row = 1; row <= 3; ++row) {
    const std::int32_t key = grid(0, row).toLong();
    EXPECT_EQ(grid(1, row).toString(), "5");
    EXPECT_EQ(grid(19, row).toString(), key == 3 ? "3" : "");                         // tdpfe.NOFAC
    EXPECT_EQ(grid(33, row).toString(), key == 1 ? "10.5" : "");                      // tdpfr.CD
    EXPECT_EQ(grid(41, row).toString(), key == 2 ? "B" : "");                         // tdpdoi.CD
    EXPECT_EQ(grid(52, row).toString(), key == 3 ? "ES7620770024003102575766" : "");  // MC_CC
    EXPECT_EQ(grid(56, row).toString(), key == 1 ? "O" : "");                         // tdpfr.MP
    EXPECT_TRUE(grid(59, row).isEmpty());
  }
  t.datTDeclarados_csci(9);
  EXPECT_TRUE(t.ObtenerDeclaradosParaFichero().isNull());
}

TEST_P(DeclaradosTable, CountryLookupsReadTheReferenceDatabase) {
  Open(bd340lec);
  EXPECT_TRUE(t.ComprobarExistPais("AT"));
  EXPECT_FALSE(t.ComprobarExistPais("ZZ"));
  EXPECT_TRUE(t.comprobarFechaDeIngreso("19580101", "BE"));
  EXPECT_FALSE(t.comprobarFechaDeIngreso("19571231", "BE"));
  ExpectError(3021, [&] { t.comprobarFechaDeIngreso("20000101", "ZZ"); });
  ExpectError(3075, [&] { t.ComprobarExistPais("A'T"); });
}

}  // namespace
}  // namespace kolvar::testing
