#include "declarations/declarations_fixture.h"

namespace kolvar::testing {
namespace {

using DeclaracionesTable = DeclarationsTest;

TEST_F(DeclaracionesTable, ListingComesByYearThenKeyWithEmptyRowZeroAndRecordCounts) {
  AddDeclaration(9, 7, 2011, "C");
  AddDeclaration(12, 7, 2010);
  AddDeclaration(3, 8, 2009);
  for (const char* book : {"E", "U"}) Save(12, book);
  Save(3, "R");
  OpenUser();
  EXPECT_TRUE(t.ObtenerDeclaraciones(99).isNull());
  const Value grid = t.ObtenerDeclaraciones(7);
  ASSERT_EQ(grid.ubound(1), 8);
  ASSERT_EQ(grid.ubound(2), 2);
  for (int c = 0; c <= 8; ++c) EXPECT_TRUE(grid(c, 0).isEmpty()) << c;
  EXPECT_EQ(grid(0, 1).toString() + " " + grid(0, 2).toString(), "12 9");
  EXPECT_EQ(grid(4, 1).toString() + " " + grid(4, 2).toString(), "2 0");
  EXPECT_EQ(grid(4, 1).type(), VarType::Long);
  EXPECT_EQ(grid(5, 1).type(), VarType::Integer);
  EXPECT_EQ(grid(2, 2).toString() + grid(6, 2).toString(), "C1");
}

TEST_F(DeclaracionesTable, ListingFailsPastA16BitRowCounterAndWhenCountingFails) {
  AddDeclaration(1, 7, 2010);
  for (int i = 0; i < 15; ++i)  // doubles to 32,768 rows
    ExecUser(
        "INSERT INTO TDeclaraciones (CSDE, EJERCICIO) SELECT CSDE, EJERCICIO FROM "
        "TDeclaraciones");
  ExecUser("DELETE FROM TDeclaraciones WHERE CSCI <= 2");
  OpenUser();
  EXPECT_EQ(t.ObtenerDeclaraciones(7).ubound(2), 32766);
  AddDeclaration(40000, 7, 2012);
  OpenUser();
  ExpectTagged(err::kOverflow, "cTDeclaraciones.ObtenerDeclaraciones ",
               [&] { t.ObtenerDeclaraciones(7); });
  ExecUser("DROP TABLE tOperadores");
  OpenUser();
  ExpectTagged(err::kTableNotFound,
               "cTDeclaraciones.ObtenerDeclaraciones cTDeclaraciones.ContarDeclarados ",
               [&] { t.ObtenerDeclaraciones(7); });
}

TEST_F(DeclaracionesTable, InsertModifyAndDeleteRoundTrip) {
  OpenUser();
  EXPECT_EQ(t.Seleccion_MAX(), 0);
  EXPECT_EQ(t.SQL_MAX(), "SELECT MAX(CSCI) FROM TDeclaraciones ");
  t.datTDeclaraciones_CodDecr(5);
  t.datTDeclaraciones_Periodicidad("1");
  t.datTDeclaraciones_Complementaria("C");
  EXPECT_EQ(t.Insertar(), 1);
  t.datTDeclaraciones_DAnt(7);
  EXPECT_EQ(t.Insertar(), 2);
  EXPECT_EQ(t.datTDeclaraciones_CodDecla(), 0);  // Insertar leaves it alone
  EXPECT_EQ(t.ObtenerDeclaracion(), 2);
  t.datTDeclaraciones_Periodicidad("01");  // compared as text
  EXPECT_EQ(t.ObtenerDeclaracion(), 0);
  t.datTDeclaraciones_CodDecla(1);
  t.datTDeclaraciones_Periodicidad("3");
  t.datTDeclaraciones_Sustitutiva("S");
  EXPECT_EQ(t.Modificar(), 1);
  t.datTDeclaraciones_CodDecla(77);
  EXPECT_EQ(t.Modificar(), 77);
  for (const char* perdad : {"", "1T"}) {  // the one statement with PERDAD unquoted
    t.datTDeclaraciones_Periodicidad(perdad);
    ExpectError(err::kSyntax, [&] { t.Modificar(); });
  }
  EXPECT_TRUE(t.Borrar());
  t.datTDeclaraciones_CodDecla(2);
  EXPECT_TRUE(t.Borrar());
  EXPECT_EQ(ScalarUser("select PERDAD || SUST || COMP || DANT || count(*) from TDeclaraciones")
                .toString(),
            "3SC71");
}

TEST_F(DeclaracionesTable, SequenceNumbersAndExistenceWithinTheGroup) {
  OpenUser();
  t.datTDeclaraciones_CodDecr(5);
  t.datTDeclaraciones_Ejercicio(2010);
  t.datTDeclaraciones_Periodo(3);
  t.datTDeclaraciones_Periodicidad("1");
  EXPECT_EQ(t.Max_SecDeci(), 1);
  EXPECT_EQ(t.SQL_MAX(),
            "SELECT MAX(SECDECI) FROM TDeclaraciones where CSDE = 5 and EJERCICIO = 2010 and "
            "PERNUM = 3 and PERDAD =  '1'");
  for (int secdeci : {3, 1}) {
    t.datTDeclaraciones_Secdeci(secdeci);
    t.Insertar();
  }
  EXPECT_EQ(t.Max_SecDeci(), 4);
  t.datTDeclaraciones_Secdeci(2);
  EXPECT_EQ(t.ExistsStatement(),
            "SELECT count(*) FROM TDeclaraciones where SECDECI = 2 and  CSDE = 5 and  EJERCICIO "
            "= 2010 and  PERNUM = 3 and  PERDAD =  '1'");
  EXPECT_FALSE(t.DeclaracionExiste());
  t.datTDeclaraciones_Secdeci(3);
  EXPECT_TRUE(t.DeclaracionExiste());
  t.datTDeclaraciones_Periodicidad("2");
  EXPECT_FALSE(t.DeclaracionExiste());
  EXPECT_EQ(t.Max_SecDeci(), 1);
}

}  // namespace
}  // namespace kolvar::testing
