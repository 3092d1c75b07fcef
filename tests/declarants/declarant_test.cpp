// Declarants through the public service and the table class, back from the
// database.
#include "dbaccess/conexion.h"
#include "declarants/declarant_service.h"
#include "declarants/declarant_table.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class Declarants : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (!Ready()) return;
    service.mdbmod(userPath);
    service.mdblec(referencePath);
  }
  // A declarant buffer as GuardarDeclarante reads it (whole postal code in 10).
  static Value Buffer(std::int32_t key, const std::string& nif, const std::string& name,
                      std::int32_t postal = 28001) {
    Value b = Value::Array({{0, 17}});
    const Value cells[] = {key, nif,         name,  "CL",        "Mayor",    5,
                           "B", "2",         "3",   "D",         postal,     "Madrid",
                           "",  "910000000", "Ana", "600000000", "11111111H"};
    for (std::int32_t i = 0; i < 17; ++i) b(i) = cells[i];
    return b;
  }
  cDeclarante service;
};

TEST_P(Declarants, NameKeepsItsAccentOnLoadAndKeyZeroLoadsNothing) {
  const std::int32_t first = service.GuardarDeclarante(Buffer(0, "12345678Z", "D'Ors"));
  EXPECT_GT(service.GuardarDeclarante(Buffer(0, "87654321X", "Otra")), first);
  Value loaded;
  service.CargarDeclarante(first, loaded);
  EXPECT_EQ(loaded(5).type(), VarType::Long);
  EXPECT_EQ(loaded(2).toString(), "D´Ors");  // loading keeps the stored accent
  EXPECT_EQ(service.ObtenerDeclarantes()(2, 1).toString(), "D'Ors");  // listings turn it back
  Value none;
  service.CargarDeclarante(0, none);  // nothing read: key, empty texts and zeros
  EXPECT_EQ(none(10).toString() + none(11).toString() + none(1).toString(), "00000");
}

TEST_P(Declarants, ListingsAndPrefixSearch) {
  EXPECT_TRUE(service.ObtenerDeclarantes().isNull());
  EXPECT_TRUE(service.ObtenerUltimosDeclarantes().isNull());
  EXPECT_EQ(service.NifRepetido(""), 0);
  for (const char* nif :
       {"66666666Q", "12345678Z", "33333333P", "44444444A", "55555555K", "22222222J"})
    service.GuardarDeclarante(Buffer(0, nif, nif));
  const Value latest = service.ObtenerUltimosDeclarantes();
  ASSERT_EQ(latest.ubound(2), 4);
  for (int r = 1; r <= 4; ++r) EXPECT_EQ(latest(0, r).toLong(), 7 - r);
  const Value all = service.ObtenerDeclarantes();
  EXPECT_EQ(all.ubound(2), 6);
  EXPECT_EQ(all(1, 1).toString(), "12345678Z");  // by tax identifier
  EXPECT_EQ(service.NifRepetido("1234"), 2);
  EXPECT_EQ(service.NifRepetido("9"), 0);
}

TEST_P(Declarants, NifRepetidoMatchesTheIdentifierAsWrittenWithoutWildcards) {
  // Each identifier that a wildcard reading would wrongly find comes first.
  for (const char* nif :
       {"12345678Z", "AXB00001", "A%B00002", "A_B00003", "1#000004", "[AB]0005", "A1B00006"})
    service.GuardarDeclarante(Buffer(0, nif, nif));
  EXPECT_EQ(service.NifRepetido("A%B"), 3);
  EXPECT_EQ(service.NifRepetido("A_B"), 4);
  EXPECT_EQ(service.NifRepetido("1#"), 5);
  EXPECT_EQ(service.NifRepetido("[AB]"), 6);
  EXPECT_EQ(service.NifRepetido("A?B"), 0);
  EXPECT_EQ(service.NifRepetido("A#B"), 0);
  EXPECT_EQ(service.NifRepetido("A%"), 3);
  EXPECT_EQ(service.NifRepetido("ax"), 2);  // letters without regard to case
  EXPECT_EQ(service.NifRepetido("A1B00006"), 7);
  EXPECT_EQ(service.NifRepetido("A1B000067"), 0);
}

TEST_P(Declarants, TableGuardsAndErrors) {
  Conexion().mdb(bd340mod);
  Conexion().InicializaBD(userPath);
  cTDeclarante t;
  EXPECT_EQ(t.MaxDeclarante(), 0);
  t.datTDeclarante_nombred("kept");
  EXPECT_FALSE(t.Modificar());
  EXPECT_FALSE(t.Seleccionar());
  EXPECT_EQ(t.datTDeclarante_nombred(), "kept");
  t.datTDeclarante_CSDE(99);
  ExpectError(err::kNoCurrentRecord, [&] { t.Seleccionar(); });
  t.datTDeclarante_telefonod("9'1");  // not a free-text column: the apostrophe breaks the statement
  ExpectError(err::kSyntax, [&] { t.Insertar(); });
  Conexion().Cerrar();

  Value bad = Buffer(0, "1", "x");
  bad(5) = "cinco";
  ExpectError(err::kTypeMismatch, [&] { service.GuardarDeclarante(bad); });
  ExpectError(err::kNoCurrentRecord, [&] {
    Value out;
    service.CargarDeclarante(99, out);
  });
  ExecUser("DROP TABLE TDeclarante");
  const Error e = ExpectError(err::kTableNotFound, [&] { service.ObtenerDeclarantes(); });
  EXPECT_EQ(
      e.description().rfind("cDeclarante.ObtenerDeclarantes cTDeclarante.ObtenerDeclarantes ", 0),
      0u);
}

TEST_P(Declarants, DeletingWithoutTheFlagKeepsTheDeclarations) {
  const std::int32_t key = service.GuardarDeclarante(Buffer(0, "12345678Z", "A"));
  ExecUser("INSERT INTO TDeclaraciones (CSDE, EJERCICIO) VALUES (" + std::to_string(key) +
           ", 2014)");
  auto object = CreateObject("kolvar.cDeclarante");
  object->Let("mdbmod", Value(userPath));
  std::vector<Value> args{Value(key)};
  object->Call("EliminarDeclarante", args);
  EXPECT_EQ(ScalarUser("SELECT count(*) FROM TDeclarante").toLong(), 0);
  EXPECT_EQ(ScalarUser("SELECT count(*) FROM TDeclaraciones").toLong(), 1);
}

KOLVAR_PER_ENGINE(Declarants);

}  // namespace
}  // namespace kolvar::testing
