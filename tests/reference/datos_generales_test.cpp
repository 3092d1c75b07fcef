#include "reference/datos_generales.h"

#include <gtest/gtest.h>

#include "dbaccess/conexion.h"
#include "dbaccess/engine.h"
#include "dbaccess/general.h"
#include "support/fixture.h"
#include "taxid/miscelaneos.h"

namespace kolvar::testing {
namespace {

class DatosGenerales : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    datos.mdbmod(userPath);
    datos.mdblec(referencePath);
  }
  // The library only reads the reference database; tests change it directly.
  void ExecReference(const std::string& sql) {
    auto database = db::ThreadEngine().openDatabase(referencePath);
    database->execute(sql);
    database->close();
  }
  cDatosGenerales datos;
};
KOLVAR_PER_ENGINE(DatosGenerales);

TEST_P(DatosGenerales, DescriptionsOfEveryTableInBothLanguages) {
  EXPECT_EQ(datos.ObtenerDesClave("R", "", 0), "ARRENDAMIENTO DE LOCAL DE NEGOCIO");
  EXPECT_EQ(datos.ObtenerDesClave("R", "", 1), "NEGOZIO-LOKALAREN ERRENTAMENDUA");
  EXPECT_EQ(datos.ObtenerNombreProvincia("01", 0), "ÁLAVA");
  EXPECT_EQ(datos.ObtenerNombreProvincia("28", -3), "MADRIL");  // any non-zero is Basque
  EXPECT_EQ(datos.ObtenerDescriVia("AV", 0), "AVENIDA");
  EXPECT_EQ(datos.ObtenerDescriVia("AV", 1), "ETORBIDEA");
  EXPECT_EQ(datos.ObtenerDesPais("es", 0), "ESPAÑA");  // the engine ignores case in text
  EXPECT_EQ(datos.ObtenerDesPais("ES", 7), "ESPAINIA");
  EXPECT_EQ(datos.ObtenerDesMedioCobro("T", 0), "CHEQUE");
  EXPECT_EQ(datos.ObtenerDesMedioCobro("T", 1), "TXEKEA");
  // Unknown codes: empty, not an error. Codes are text: "1" is not "01".
  for (const std::string& d : {datos.ObtenerDesClave("Y", "EUR", 0),
                               datos.ObtenerNombreProvincia("1", 0), datos.ObtenerDescriVia("", 1),
                               datos.ObtenerDesPais("XX", 0), datos.ObtenerDesMedioCobro("X", 1)})
    EXPECT_EQ(d, "");
}

TEST_P(DatosGenerales, FoundDescriptionIsUpperCasedAndCodeIsNotEscaped) {
  ExecReference("INSERT INTO TSIGLASVIA (codigo, CAS, EUS) VALUES ('zz', 'vía ñandú', 'bide çö')");
  EXPECT_EQ(datos.ObtenerDescriVia("zz", 0), "VÍA ÑANDÚ");
  EXPECT_EQ(datos.ObtenerDescriVia("zz", 1), "BIDE ÇÖ");
  ExpectError(err::kSyntax, [&] { datos.ObtenerDesPais("O'", 0); });
  EXPECT_EQ(datos.ObtenerDesPais("FR", 0), "FRANCIA");  // the next unit of work recovers
}

TEST_P(DatosGenerales, WebAddresses) {
  EXPECT_EQ(datos.RecogerRutaURL(), ScalarReference("select RUTA from tgeneral").toString());
  EXPECT_EQ(datos.ObtenerURLAct(), ScalarReference("select URLAct from tgeneral").toString());
  ExecReference("DELETE FROM tgeneral");
  EXPECT_EQ(datos.ObtenerURLAct(), "");
  ExpectError(err::kNoCurrentRecord, [&] { datos.RecogerRutaURL(); });
}

TEST_P(DatosGenerales, CargarResultadoRunsOnTheReferenceDatabase) {
  const Value g = datos.CargarResultado(
      "SELECT codigo, descas FROM TMedioCobro WHERE codigo <> 'O' ORDER BY codigo");
  ASSERT_EQ(g.ubound(1), 2);
  EXPECT_EQ(g.ubound(2), 3);
  for (int j = 0; j <= 2; ++j) EXPECT_TRUE(g(j, 0).isEmpty()) << j;
  EXPECT_TRUE(g(2, 1).isEmpty());
  EXPECT_EQ(g(1, 1).toString(), "TRANSFERENCIA");
  EXPECT_EQ(g(0, 3).toString(), "T");
  EXPECT_TRUE(datos.CargarResultado("SELECT codigo FROM TPaises WHERE codigo = 'QQ'").isNull());
  // The user database's tables are not there; the engine's errors pass unchanged.
  ExpectError(err::kTableNotFound, [&] { datos.CargarResultado("SELECT * FROM TDeclarante"); });
  ExpectError(err::kInvalidOperation, [&] { datos.CargarResultado("DELETE FROM TPaises"); });
  EXPECT_EQ(ScalarReference("SELECT count(*) FROM TPaises WHERE codigo = 'FR'").toLong(), 1);
}

TEST_P(DatosGenerales, NumeroDeclarantes) {
  EXPECT_EQ(datos.NumeroDeclarantes(), 0);
  ExecUser("INSERT INTO TDeclarante (dni_cifd, nombred) VALUES ('12345678Z', 'UNO')");
  EXPECT_EQ(datos.NumeroDeclarantes(), 1);
}

TEST_P(DatosGenerales, SettingsRoundTripUpdatesEveryRow) {
  EXPECT_EQ(datos.ObtenerIdioma(), "C");
  EXPECT_EQ(datos.ObtenerActOnline(), 0);
  ExecUser("INSERT INTO tgeneral (Idioma, ActOnline) VALUES ('C', 0)");
  datos.CambiarIdioma("  E ");
  EXPECT_TRUE(datos.GuardarActOnline(-1).isEmpty());
  EXPECT_EQ(
      ScalarUser("select count(*) from tgeneral where Idioma = '  E ' and ActOnline = -1").toLong(),
      2);
  EXPECT_EQ(datos.ObtenerIdioma(), "E");  // trimmed
  EXPECT_EQ(datos.ObtenerActOnline(), -1);
}

TEST_P(DatosGenerales, SettingsOfEmptyOrNullRowsAndUnescapedLetter) {
  ExecUser("DELETE FROM tgeneral");
  datos.CambiarIdioma("E");
  datos.GuardarActOnline(1);
  EXPECT_EQ(datos.ObtenerIdioma(), "C");
  EXPECT_EQ(datos.ObtenerActOnline(), 0);
  EXPECT_EQ(ScalarUser("select count(*) from tgeneral").toLong(), 0);
  ExecUser("INSERT INTO tgeneral (Idioma, ActOnline) VALUES (NULL, NULL)");
  ExpectError(err::kInvalidNull, [&] { datos.ObtenerIdioma(); });
  ExpectError(err::kInvalidNull, [&] { datos.ObtenerActOnline(); });
  ExpectError(err::kSyntax, [&] { datos.CambiarIdioma("E'"); });  // the letter is not escaped
}

// The date-of-entry check needs a country row for every prefix that the
// foreign identifier check accepts.
TEST_P(DatosGenerales, EveryAcceptedVatPrefixHasAnEntryDate) {
  for (std::string_view prefix : cMiscelaneos::Prefixes()) {
    const Value date = ScalarReference("select paisfecing from tpaises where paisint ='" +
                                       std::string(prefix) + "'");
    ASSERT_FALSE(date.isNull()) << prefix;
    std::string text = date.toString();
    EXPECT_TRUE(text.size() == 8 && General::ValidarFecha(text)) << prefix << " " << text;
  }
}

}  // namespace
}  // namespace kolvar::testing
