// Module General: result buffers, apostrophes, the character tests, the date
// check and the period routines.
#include "dbaccess/general.h"

#include "dbaccess/conexion.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class GeneralBufferTest : public DatabaseTest {
 protected:
  Value Buffer(const std::string& sql, std::int16_t mode) {
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(userPath);
    auto rs = Conexion().openRecordset(sql);
    Value v = General::CargarBuffer(*rs, mode);
    Conexion().Cerrar();
    return v;
  }
};

TEST_F(GeneralBufferTest, NoRowsGiveNullInEveryMode) {
  for (std::int16_t mode : {0, 1, 2, 7})
    EXPECT_TRUE(Buffer("SELECT * FROM TDeclarante", mode).isNull());
}

TEST_F(GeneralBufferTest, LayoutsOfTheThreeModes) {
  ExecUser("INSERT INTO TDeclarante (dni_cifd, nombred, numerod) VALUES ('1', 'O´Brien', 12)");
  ExecUser("INSERT INTO TDeclarante (dni_cifd, numerod) VALUES ('2', 3)");
  const Value table = Buffer("SELECT dni_cifd, nombred, numerod FROM TDeclarante ORDER BY CSDE", 2);
  ASSERT_EQ(table.dims(), 2);
  EXPECT_EQ(table.ubound(1), 3);
  EXPECT_EQ(table.ubound(2), 2);
  EXPECT_EQ(table(1, 1).toString(), "O'Brien");
  EXPECT_EQ(table(2, 1).toString(), "12");
  EXPECT_EQ(table(1, 2).type(), VarType::String);  // a Null column becomes empty text
  EXPECT_EQ(table(1, 2).toString(), "");
  for (int j = 0; j <= 3; ++j) EXPECT_TRUE(table(j, 0).isEmpty());
  for (int r = 0; r <= 2; ++r) EXPECT_TRUE(table(3, r).isEmpty());

  const Value column = Buffer("SELECT numerod FROM TDeclarante ORDER BY CSDE", 1);
  EXPECT_EQ(column.ubound(1), 1);
  EXPECT_EQ(column(1).toString(), "3");

  const Value row = Buffer("SELECT dni_cifd, numerod FROM TDeclarante WHERE CSDE = 1", 0);
  EXPECT_EQ(row.ubound(1), 2);
  EXPECT_EQ(row(1).toString(), "12");
  EXPECT_TRUE(row(2).isEmpty());
  // One-row mode fed two rows runs past its buffer.
  ExpectError(err::kSubscript, [&] { Buffer("SELECT dni_cifd, numerod FROM TDeclarante", 0); });
}

TEST(General, TextRoutines) {
  EXPECT_EQ(General::QuitarApostrofo("l'a'b"), "l´a´b");
  EXPECT_EQ(General::CampoATexto(Value(General::QuitarApostrofo("D'Ors"))), "D'Ors");
  EXPECT_EQ(General::CampoATexto(Value(2.5)), "2.5");
  EXPECT_EQ(General::CampoATexto(Value::Null()), "");
  EXPECT_TRUE(General::EsNumeroConGuion(""));
  EXPECT_TRUE(General::EsNumero(""));
  EXPECT_TRUE(General::EsNumeroConGuion("12-3"));
  EXPECT_FALSE(General::EsNumero("12-3"));
  EXPECT_FALSE(General::EsNumero("12 3"));
  EXPECT_EQ(General::Rellenar(42, 5, "0"), "00042");
  EXPECT_EQ(General::DosDigitos(7), "07");
  EXPECT_EQ(General::DosDigitos(12), "12");
  EXPECT_TRUE(General::EsPaisUE("EL"));
  EXPECT_FALSE(General::EsPaisUE("ES"));
  EXPECT_FALSE(General::EsPaisUE("fr"));
  EXPECT_FALSE(General::EsPaisUE("HR"));  // not in the list the rules use
}

TEST(General, BlankAndZeroConversions) {
  EXPECT_EQ(General::BC(Value("")), 0);
  EXPECT_EQ(General::BC(Value("abc")), 0);
  EXPECT_EQ(General::BC(Value("12.5")), 12.5);
  const Error null = ExpectError(err::kInvalidNull, [] { General::BC(Value::Null()); });
  EXPECT_EQ(null.description().rfind("General.BC\r\n", 0), 0u);

  Value blank("  ");
  EXPECT_EQ(General::CB(blank).toString(), "");
  EXPECT_EQ(blank.toString(), "0");  // the caller's argument changed
  Value zeros("0000");
  EXPECT_EQ(General::CB(zeros).toString(), "");
  Value five("5");
  EXPECT_EQ(General::CB(five).toString(), "5");
  Value letters("2008AB01");
  const Error bad = ExpectError(err::kTypeMismatch, [&] { General::CB(letters); });
  EXPECT_EQ(bad.description().rfind("General.CB\r\n", 0), 0u);
}

TEST(General, ValidarFechaTable) {
  const std::pair<const char*, bool> cases[] = {
      {"20080229", true},  {"20070229", false}, {"21000229", true},  {"19000229", true},
      {"20080431", false}, {"2008131", false},  {"00000000", true},  {"20081301", false},
      {"20080100", false}, {"20081231", true},  {"    1201", false}, {"00000229", true},
      {"00001301", false}, {"20140132", false}, {"20140931", false}, {"20140930", true},
      {"00000001", false}, {"20140101", true},  {"2014010 ", false}};
  for (const auto& [date, valid] : cases) {
    std::string s = date;
    EXPECT_EQ(General::ValidarFecha(s), valid) << date;
  }
  std::string empty;
  EXPECT_TRUE(General::ValidarFecha(empty));
  EXPECT_EQ(empty, "0");
  for (std::string bad : {"2008AB01", "2008 1 1"})  // not a number: the blank test raises
    ExpectError(err::kTypeMismatch, [&] { General::ValidarFecha(bad); });
}

TEST(General, PeriodRoutines) {
  EXPECT_EQ(General::MesFinPeriodo("3T"), 9);
  EXPECT_EQ(General::MesFinPeriodo("11"), 11);
  EXPECT_EQ(General::MesFinPeriodo("05"), 5);
  EXPECT_EQ(General::MesFinPeriodo("5x"), 5);
  ExpectError(err::kTypeMismatch, [] { General::MesFinPeriodo("xx"); });
  EXPECT_EQ(General::TipoPeriodo("1T"), 2);
  EXPECT_EQ(General::TipoPeriodo("1t"), 1);
  EXPECT_EQ(General::TipoPeriodo("04"), 1);
}

}  // namespace
}  // namespace kolvar::testing
