#include <gtest/gtest.h>

#include "dbaccess/conexion.h"
#include "declared/record_service.h"
#include "declared/record_table.h"
#include "declared/sample_records.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

using declared::cDeclarado;

class RecordingInterface : public UserInterface {
 public:
  void MessageBox(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

class Duplication : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (!Ready()) return;
    svc.mdbmod(userPath);
    svc.EjercicioDestino(2014);
    SetUserInterface(ui);
  }
  void TearDown() override {
    SetUserInterface(nullptr);
    DatabaseTest::TearDown();
  }
  std::int32_t Save(const Value& buffer) {
    svc.GuardarDeclarado(buffer, false);
    return svc.MaxDeclarado();
  }
  bool Duplicate(std::int32_t to, std::int32_t from) {
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(userPath);
    return declared::cTDeclarados().DuplicarDeclarados(to, from);
  }
  // The record and its detail rows as loaded, in one line of text.
  std::string Loaded(std::int32_t csdo) {
    std::string out;
    for (Value v : {svc.CargarDeclarado(csdo), svc.CargarDpfe(csdo), svc.CargarDpfr(csdo),
                    svc.CargarDpbi(csdo), svc.CargarDpdoi(csdo)}) {
      for (std::int32_t i = 0; !v.isNull() && i < v.ubound(1); ++i) out += v(i).toString() + "|";
      out += "/";
    }
    return out;
  }
  cDeclarado svc;
  std::shared_ptr<RecordingInterface> ui = std::make_shared<RecordingInterface>();
};

TEST_P(Duplication, CopiesEveryRecordWithItsDetailRowUnderNewIncreasingKeys) {
  std::vector<std::int32_t> sources;
  for (std::string letter : {"E", "R", "U", "J", "S"})
    sources.push_back(Save(SampleRecord(1, letter)));
  ExecUser("DELETE FROM tdpfr WHERE CSDO = 5");  // a record without its detail row is copied too
  ExecUser("UPDATE tOperadores SET NREP = 'O\xC2\xB4Neil' WHERE CSDO = 3");
  Save(SampleRecord(3, "E"));  // another declaration stays out of the copy

  EXPECT_TRUE(Duplicate(2, 1));
  EXPECT_TRUE(ui->messages.empty());
  const Value copies = svc.ObtenerDeclarados(2);
  ASSERT_EQ(copies.ubound(2), 5);
  for (std::int32_t row = 1; row <= 5; ++row) {
    EXPECT_EQ(copies(0, row).toLong(), 6 + row);
    EXPECT_EQ(Loaded(6 + row), Loaded(sources[static_cast<std::size_t>(row - 1)]));
  }
  EXPECT_EQ(Loaded(9).substr(0, 20), "12345678Z|O'Neil|Ful");
  EXPECT_EQ(ScalarUser("select NREP from tOperadores where CSDO = 9").toString(), "O\xC2\xB4Neil");
  EXPECT_EQ(ScalarUser("select count(*) from tdpfe where CSCI = 2").toLong(), 1);
  EXPECT_TRUE(Duplicate(4, 9));  // a declaration without records
  EXPECT_TRUE(svc.ObtenerDeclarados(4).isNull());
}

TEST_P(Duplication, LetterWithoutDetailTableStopsWithMessageKeepingWhatWasCopied) {
  std::int32_t source = 10;
  for (std::string letter : {"X", "", "e"}) {
    SCOPED_TRACE(letter);
    ++source;
    Save(SampleRecord(source, "E", "primero"));
    Save(SampleRecord(source, letter, "sin libro"));
    Save(SampleRecord(source, "R", "nunca copiado"));
    ui->messages.clear();
    EXPECT_FALSE(Duplicate(source + 100, source));
    EXPECT_EQ(ui->messages, std::vector<std::string>{
                                "Se ha producido un error copiando datos propios del declarado"});
    const Value copied = svc.ObtenerDeclarados(source + 100);
    ASSERT_EQ(copied.ubound(2), 2);
    EXPECT_EQ(copied(2, 1).toString() + "," + copied(2, 2).toString(), "primero,sin libro");
    EXPECT_FALSE(svc.CargarDpfe(copied(0, 1).toLong()).isNull());
  }
}

TEST_P(Duplication, EngineErrorStopsTheCopyUnchanged) {
  Save(SampleRecord(1, "I"));
  Save(SampleRecord(1, "I"));
  ExecUser("DROP TABLE tdpbi");
  const Error e = ExpectError(3078, [&] { Duplicate(2, 1); });
  EXPECT_EQ(e.description().find("cTDeclarados"), std::string::npos);
  EXPECT_EQ(svc.ObtenerDeclarados(2).ubound(2), 1);
}

KOLVAR_PER_ENGINE(Duplication);

}  // namespace
}  // namespace kolvar::testing
