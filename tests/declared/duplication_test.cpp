#include <gtest/gtest.h>

#include "dbaccess/conexion.h"
#include "declared/record_service.h"
#include "declared/record_table.h"
#include "declared/sample_records.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class RecordingInterface : public UserInterface {
 public:
  void MessageBox(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

class Duplication : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
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
  Value Grid(std::int32_t csci) { return svc.ObtenerDeclarados(csci); }

  declared::cDeclarado svc;
  std::shared_ptr<RecordingInterface> ui = std::make_shared<RecordingInterface>();
};

TEST_F(Duplication, CopiesEveryRecordWithItsDetailRowUnderNewKeys) {
  std::vector<std::int32_t> sources;
  for (std::string letter : {"E", "R", "U", "J"})
    sources.push_back(Save(SampleRecord(1, letter, letter)));
  Value withQuote = SampleRecord(1, "S", "sin detalle");
  withQuote(3) = "O'Neil";
  sources.push_back(Save(withQuote));
  ExecUser("DELETE FROM tdpfr WHERE CSDO = " + std::to_string(sources.back()));
  Save(SampleRecord(3, "E"));  // another declaration stays out of the copy

  EXPECT_TRUE(Duplicate(2, 1));
  EXPECT_TRUE(ui->messages.empty());
  const Value copies = Grid(2);
  ASSERT_EQ(copies.ubound(2), 5);
  std::int32_t previous = 6;
  for (std::int32_t row = 1; row <= 5; ++row) {
    const std::int32_t key = copies(0, row).toLong();
    const std::int32_t source = sources[static_cast<std::size_t>(row - 1)];
    EXPECT_GT(key, previous);
    previous = key;
    const Value a = svc.CargarDeclarado(source), b = svc.CargarDeclarado(key);
    for (std::int32_t i = 0; i < 17; ++i) EXPECT_EQ(a(i).toString(), b(i).toString());
    for (auto load : {&declared::cDeclarado::CargarDpfe, &declared::cDeclarado::CargarDpfr,
                      &declared::cDeclarado::CargarDpbi, &declared::cDeclarado::CargarDpdoi}) {
      const Value x = (svc.*load)(source), y = (svc.*load)(key);
      ASSERT_EQ(x.isNull(), y.isNull());
      if (x.isNull()) continue;
      for (std::int32_t i = 0; i < x.ubound(1); ++i) EXPECT_EQ(x(i).toString(), y(i).toString());
    }
    EXPECT_EQ(
        ScalarUser("select count(*) from tdpfe where CSCI = 1 and CSDO = " + std::to_string(key))
            .toLong(),
        0);
  }
  EXPECT_EQ(ScalarUser("select NREP from tOperadores where CSCI = 2 and NOMBRE = 'sin detalle'")
                .toString(),
            "O\xC2\xB4Neil");
  EXPECT_TRUE(Duplicate(4, 9));  // a declaration without records
  EXPECT_TRUE(Grid(4).isNull());
}

TEST_F(Duplication, LetterWithoutDetailTableStopsWithMessageKeepingWhatWasCopied) {
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
    const Value copied = Grid(source + 100);
    ASSERT_EQ(copied.ubound(2), 2);
    EXPECT_EQ(copied(2, 1).toString() + "," + copied(2, 2).toString(), "primero,sin libro");
    EXPECT_FALSE(svc.CargarDpfe(copied(0, 1).toLong()).isNull());
  }
}

TEST_F(Duplication, EngineErrorStopsTheCopyUnchanged) {
  Save(SampleRecord(1, "I"));
  Save(SampleRecord(1, "I"));
  ExecUser("DROP TABLE tdpbi");
  const Error e = ExpectError(3078, [&] { Duplicate(2, 1); });
  EXPECT_EQ(e.description().find("cTDeclarados"), std::string::npos);
  EXPECT_EQ(Grid(2).ubound(2), 1);
}

}  // namespace
}  // namespace kolvar::testing
