// Public calls that write many rows, failing at their last step or in the
// middle: the database is as it was before the call.
#include "declared/sample_records.h"
#include "integrity/database_dump.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class Cascade : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (!Ready()) return;
    for (auto* obj : {&declarado, &declarante, &declaraciones})
      (*obj)->Let("mdbmod", Value(userPath));
    ExecUser("INSERT INTO TDeclarante (CSDE, dni_cifd) VALUES (5, '12345678Z')");
    for (std::int32_t year : {2013, 2014}) {
      const std::int32_t d = Call(declaraciones, "GuardarDeclaracion",
                                  {0, 1, year, 5, std::int16_t{3}, "1", "", "", 0})
                                 .toLong();
      for (const char* book : {"E", "R", "U"})
        Call(declarado, "GuardarDeclarado", {SampleRecord(d, book), false});
    }
  }
  static Value Call(const std::shared_ptr<Object>& obj, std::string_view method,
                    std::vector<Value> args) {
    return obj->Call(method, args);
  }
  std::shared_ptr<Object> declarado = CreateObject("kolvar.cDeclarado");
  std::shared_ptr<Object> declarante = CreateObject("kolvar.cDeclarante");
  std::shared_ptr<Object> declaraciones = CreateObject("kolvar.cDeclaraciones");
};
KOLVAR_PER_ENGINE(Cascade);

TEST_P(Cascade, DeletingADeclarantWithItsDeclarationsFailingAtTheLastStepDeletesNothing) {
  // Its declarations and records are gone before the declarant row is
  // deleted; that last statement fails.
  ASSERT_EQ(ExecOutside(userPath, OnServer()
                                      ? "CREATE FUNCTION keep() RETURNS trigger AS $$BEGIN RAISE "
                                        "EXCEPTION 'x' USING ERRCODE = '23000'; END$$ LANGUAGE "
                                        "plpgsql; CREATE TRIGGER keep BEFORE DELETE ON TDeclarante "
                                        "FOR EACH ROW EXECUTE FUNCTION keep()"
                                      : "CREATE TRIGGER keep BEFORE DELETE ON TDeclarante BEGIN "
                                        "SELECT RAISE(ABORT, 'x'); END"),
            "");
  const std::string before = DumpUserDatabase(userPath);
  const Error e = ExpectError(3022, [&] { Call(declarante, "EliminarDeclarante", {5, true}); });
  EXPECT_EQ(e.description().rfind("cDeclarante.EliminarDeclarante ", 0), 0u);
  EXPECT_EQ(DumpUserDatabase(userPath), before);
  ASSERT_EQ(
      ExecOutside(userPath, OnServer() ? "DROP TRIGGER keep ON TDeclarante" : "DROP TRIGGER keep"),
      "");
  Call(declarante, "EliminarDeclarante", {5, true});
  EXPECT_EQ(DumpRows(userPath,
                     "SELECT (SELECT count(*) FROM TDeclarante) + (SELECT count(*) FROM "
                     "TDeclaraciones) + (SELECT count(*) FROM tOperadores) + (SELECT "
                     "count(*) FROM tdpfe) + (SELECT count(*) FROM tdpdoi)"),
            "0\n");
}

TEST_P(Cascade, ACopyOfADeclarationFailingInTheMiddleLeavesNoNewDeclarationNorRecords) {
  // A name stored with an apostrophe by other means cannot be copied.
  ExecUser("UPDATE tOperadores SET NOMBRE = 'D''Ors' WHERE CSDO = 2");
  const std::string before = DumpUserDatabase(userPath);
  const Error e = ExpectError(err::kSyntax, [&] {
    Call(declaraciones, "DuplicarDeclaracion", {1, 2, 2015, 5, std::int16_t{3}, "1", "", "", 0});
  });
  EXPECT_EQ(e.description().rfind("cDeclaraciones.DuplicarDeclaracion ", 0), 0u);
  EXPECT_EQ(DumpUserDatabase(userPath), before);
  const std::int32_t copy =
      Call(declaraciones, "DuplicarDeclaracion", {2, 2, 2015, 5, std::int16_t{3}, "1", "", "", 0})
          .toLong();
  // The server's counter does not give back the key of the undone copy.
  EXPECT_EQ(copy, OnServer() ? 4 : 3);
  EXPECT_EQ(
      DumpRows(userPath, "SELECT count(*) FROM tOperadores WHERE CSCI = " + std::to_string(copy)),
      "3\n");
  EXPECT_EQ(DumpRows(userPath, "SELECT count(*) FROM TDeclaraciones"), "3\n");
  EXPECT_EQ(UnmatchedDetails(userPath), "");
}

}  // namespace
}  // namespace kolvar::testing
