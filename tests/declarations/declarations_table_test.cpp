#include "declarations/declarations_fixture.h"

namespace kolvar::testing {
namespace {

class DeclaracionesTable : public PerEngine<DeclarationsTest> {};
KOLVAR_PER_ENGINE(DeclaracionesTable);

TEST_P(DeclaracionesTable, ListingFailsPastA16BitRowCounterAndWhenCountingFails) {
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

TEST_P(DeclaracionesTable, InsertModifyAndDeleteRoundTrip) {
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
  EXPECT_EQ(RowsUser("select PERDAD || SUST || COMP || DANT from TDeclaraciones"), "3SC7\n");
}

TEST_P(DeclaracionesTable, SequenceNumbersAndExistenceWithinTheGroup) {
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
