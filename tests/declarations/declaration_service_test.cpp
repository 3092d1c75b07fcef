// The declaration service end to end: saving, duplicating with records,
// deleting with everything under a declaration or a declarant, finding.
#include "declarations/declaration_service.h"

#include "declarants/declarant_service.h"
#include "declarations/declarations_fixture.h"

namespace kolvar::testing {
namespace {

class DeclarationService : public PerEngine<DeclarationsTest> {
 protected:
  void SetUp() override {
    DeclarationsTest::SetUp();
    if (!Ready()) return;
    service.mdbmod(userPath);
    service.mdblec(referencePath);
  }
  std::int32_t Save(std::int32_t key, std::int32_t declarant, std::int32_t year,
                    const std::string& perdad, std::int32_t sequence = 1,
                    const Value& previous = Value()) {
    return service.GuardarDeclaracion(key, sequence, year, declarant, 3, perdad, "", "C", previous);
  }
  std::int32_t Rows(const std::string& table, const std::string& where = "1 = 1") {
    return ScalarUser("SELECT count(*) FROM " + table + " WHERE " + where).toLong();
  }
  declarations::cDeclaraciones service;
};

TEST_P(DeclarationService, SavingAnUnknownKeyInsertsNothingAndABadReferenceIsTagged) {
  const std::int32_t key = Save(0, 5, 2014, "3");
  EXPECT_EQ(Save(17, 5, 2015, "3"), 17);  // rewrites row 17, which does not exist
  EXPECT_EQ(Rows("TDeclaraciones"), 1);
  const Error e = ExpectError(err::kTypeMismatch, [&] { Save(0, 5, 2014, "3", 1, Value("x")); });
  EXPECT_EQ(e.description().rfind("cDeclaraciones.GuardarDeclaracion ", 0), 0u);
  EXPECT_TRUE(service.ObtenerTotalDeclarados(key).isEmpty());
}

TEST_P(DeclarationService, DuplicateCopiesTheRecordsUnderTheNewKey) {
  const std::int32_t source = Save(0, 5, 2014, "3");
  DeclarationsTest::Save(source, "E");
  DeclarationsTest::Save(source, "U");
  const std::int32_t copy =
      service.DuplicarDeclaracion(source, 2, 2015, 5, 4, "3", "S", "", Value());
  EXPECT_GT(copy, source);
  EXPECT_EQ(Rows("tOperadores", "CSCI = " + std::to_string(copy)), 2);
  EXPECT_EQ(Rows("tdpfe", "CSCI = " + std::to_string(copy)), 1);
  EXPECT_EQ(Rows("tdpdoi", "CSCI = " + std::to_string(copy)), 1);
  EXPECT_EQ(ScalarUser("SELECT EJERCICIO FROM TDeclaraciones WHERE CSCI = " + std::to_string(copy))
                .toLong(),
            2015);  // the new row takes the arguments, not the source's columns
  const std::int32_t empty = Save(0, 8, 2014, "3");
  EXPECT_GT(service.DuplicarDeclaracion(empty, 1, 2014, 8, 3, "3", "", "", Value()), empty);
}

TEST_P(DeclarationService, DeletionGoesFromDetailRowsUpToTheDeclarant) {
  const std::int32_t first = Save(0, 5, 2014, "3");
  const std::int32_t second = Save(0, 5, 2015, "3");
  const std::int32_t other = Save(0, 6, 2015, "3");
  for (std::int32_t d : {first, second, other}) {
    DeclarationsTest::Save(d, "E");
    DeclarationsTest::Save(d, "R");
  }
  EXPECT_TRUE(service.EliminarDeclaracion(first));
  EXPECT_EQ(Rows("tOperadores", "CSCI = " + std::to_string(first)), 0);
  EXPECT_EQ(Rows("tdpfe", "CSCI = " + std::to_string(first)), 0);
  EXPECT_EQ(Rows("tdpfr"), 2);
  EXPECT_TRUE(service.BorrarTodas(99));  // a declarant without declarations

  cDeclarante declarants;
  declarants.mdbmod(userPath);
  ExecUser("INSERT INTO TDeclarante (CSDE, dni_cifd) VALUES (5, '12345678Z')");
  declarants.EliminarDeclarante(5, true);
  EXPECT_EQ(Rows("TDeclarante"), 0);
  EXPECT_EQ(Rows("TDeclaraciones"), 1);  // only the other declarant's
  EXPECT_EQ(Rows("tOperadores"), 2);
  EXPECT_EQ(Rows("tdpfe") + Rows("tdpfr"), 2);
}

TEST_P(DeclarationService, ListingErrorsCarryTheServiceTagFirst) {
  const std::int32_t key = Save(0, 5, 2014, "3");
  Value requests = Value::Array({{0, 2}, {0, 1}});
  requests(0, 1) = "EXP";  // no known book: the one-row empty grid
  EXPECT_FALSE(service.ImprimirDetalles(key, requests, false).isNull());
  ExecUser("DROP TABLE tOperadores");
  const Error e = ExpectError(err::kTableNotFound, [&] { service.ObtenerDeclaraciones(5); });
  EXPECT_EQ(e.description().rfind(
                "cDeclaraciones.ObtenerDeclaraciones cTDeclaraciones.ObtenerDeclaraciones "
                "cTDeclaraciones.ContarDeclarados ",
                0),
            0u);
  ExpectError(err::kTableNotFound, [&] { service.EliminarDeclaracion(key); });  // no tag of its own
}

KOLVAR_PER_ENGINE(DeclarationService);

}  // namespace
}  // namespace kolvar::testing
