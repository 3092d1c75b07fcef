#include "declared/record_service.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "declared/sample_records.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

using declared::cDeclarado;

class DeclaradoService : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (!Ready()) return;
    svc.mdbmod(userPath);
    svc.mdblec(referencePath);
    svc.EjercicioDestino(2014);
  }
  std::int32_t Save(const Value& buffer) {
    const Value errors = svc.GuardarDeclarado(buffer, false);
    EXPECT_EQ(errors.ubound(2), 0);
    EXPECT_TRUE(errors(0, 0).isEmpty() && errors(1, 0).isEmpty());
    return svc.MaxDeclarado();
  }
  std::vector<std::string> Detail(const std::string& table, std::int32_t csdo) {
    const Value row = table == "tdpfe"   ? svc.CargarDpfe(csdo)
                      : table == "tdpfr" ? svc.CargarDpfr(csdo)
                      : table == "tdpbi" ? svc.CargarDpbi(csdo)
                                         : svc.CargarDpdoi(csdo);
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < row.ubound(1); ++i) out.push_back(row(i).toString());
    return out;
  }
  std::int32_t DetailRows(std::int32_t csdo) {
    std::int32_t n = 0;
    for (const char* t : {"tdpfe", "tdpfr", "tdpbi", "tdpdoi"})
      n += ScalarUser(std::string("select count(*) from ") + t +
                      " where CSDO = " + std::to_string(csdo))
               .toLong();
    return n;
  }
  static void Tagged(const Error& e, const std::string& tags) {
    EXPECT_EQ(e.description().rfind(tags, 0), 0u) << e.description();
  }
  cDeclarado svc;
};

TEST_P(DeclaradoService, RecordOfEveryBookReadsBackFieldByField) {
  std::int32_t last = 0;
  for (std::string letter : {"E", "F", "R", "S", "I", "J", "U"}) {
    SCOPED_TRACE(letter);
    const Value b = SampleRecord(1, letter, "Nombre " + letter);
    const std::int32_t key = Save(b);
    EXPECT_GT(key, last);
    last = key;
    const Value rec = svc.CargarDeclarado(key);
    ASSERT_EQ(rec.ubound(1), 17);
    for (std::int32_t i = 0; i < 17; ++i) EXPECT_EQ(rec(i).toString(), b(i + 2).toString()) << i;
    const std::string table = TableOfBook(letter);
    const auto& cells = LoadedCells().at(table);
    const auto loaded = Detail(table, key);
    ASSERT_EQ(loaded.size(), cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k)
      EXPECT_EQ(loaded[k], b(cells[k]).toString()) << k;
    EXPECT_EQ(DetailRows(key), 1);
  }
  const Value grid = svc.ObtenerDeclarados(1);
  ASSERT_EQ(grid.ubound(2), 7);
  EXPECT_EQ(grid(3, 1).toString() + grid(3, 7).toString() + grid(2, 7).toString(), "EUNombre U");
  EXPECT_TRUE(svc.ObtenerDeclarados(2).isNull());
  EXPECT_TRUE(svc.CargarDeclarado(last + 1).isNull());
  EXPECT_TRUE(svc.CargarDpfe(last).isNull());  // a U record has no issued-invoice row
}

TEST_P(DeclaradoService, SavingAgainReplacesTheRowAndLettersOutsideTheSevenStoreNoDetail) {
  const std::int32_t key = Save(SampleRecord(1, "E"));
  for (std::string letter : {"R", "e", "I", "X", "U", ""}) {
    SCOPED_TRACE(letter);
    Value b = SampleRecord(1, letter, "Otro " + letter);
    b(1) = key;
    EXPECT_EQ(Save(b), key);
    EXPECT_EQ(svc.CargarDeclarado(key)(2).toString() + svc.CargarDeclarado(key)(6).toString(),
              "Otro " + letter + letter);
    EXPECT_EQ(DetailRows(key), TableOfBook(letter).empty() ? 0 : 1);
  }
  EXPECT_EQ(ScalarUser("select count(*) from tOperadores").toLong(), 1);
  EXPECT_EQ(DetailRows(Save(SampleRecord(1, "Z"))), 0);
}

TEST_P(DeclaradoService, IssuedInvoicesStoreOnlyTheDetailFieldsOfTheTargetYear) {
  const std::vector<std::string> older{
      "3", "7", "Tickets 1 a 3", "F-1", "21", "5.2", "0", "", "0", "0", "0", "", "", "0", "0", ""};
  std::vector<std::string> middle = SampleDetails().at("tdpfe"), all = middle;
  middle.resize(11);
  middle.insert(middle.end(), {"", "", "0", "0", ""});
  std::swap(all[11], all[13]);  // loaded as MC, MC_CC, FMC, IC; the buffer holds FMC, IC, MC, MC_CC
  std::swap(all[12], all[14]);
  for (auto [year, unread, expected] :
       {std::tuple{2011, 27, older}, std::tuple{2013, 32, middle}, std::tuple{2014, 37, all}}) {
    SCOPED_TRACE(year);
    Value b = SampleRecord(1, "E");
    for (std::int32_t i = unread; i <= 36; ++i) b(i) = "no se lee";
    svc.EjercicioDestino(static_cast<std::int16_t>(year));
    EXPECT_EQ(Detail("tdpfe", Save(b)), expected);
  }
  svc.EjercicioDestino(2013);
  Value r = SampleRecord(1, "R");
  for (std::int32_t i = 25; i <= 29; ++i) r(i) = "no se lee";
  EXPECT_EQ(Detail("tdpfr", Save(r)),
            (std::vector<std::string>{"2", "4", "Recibos", "10.5", "", "", "0", "0", ""}));
  cDeclarado fresh;  // year never set: the oldest fields only
  fresh.mdbmod(userPath);
  fresh.GuardarDeclarado(SampleRecord(1, "E"), false);
  EXPECT_EQ(Detail("tdpfe", svc.MaxDeclarado()), older);
}

TEST_P(DeclaradoService, ValidationFindingsComeBackCommonFirstAndWriteNothing) {
  Value b = SampleRecord(1, "I");
  for (std::int32_t i : {13, 14, 15}) b(i) = "1000";  // amounts without decimal separator
  b(22) = "25";                                       // RAD
  b(24) = "120";                                      // RADE
  const std::int32_t key = [&] {
    const Value clean = svc.GuardarDeclarado(b, true);
    EXPECT_TRUE(clean(0, 0).isEmpty() && clean.ubound(2) == 0);
    return svc.MaxDeclarado();
  }();
  EXPECT_EQ(Detail("tdpbi", key)[1], "25");
  b(5) = "ZZ";    // no such country
  b(22) = "2.5";  // RAD with a decimal point
  const Value errors = svc.GuardarDeclarado(b, true);
  ASSERT_EQ(errors.ubound(2), 1);
  EXPECT_EQ(errors(0, 0).toLong() * 1000 + errors(1, 0).toLong(), 4052);
  EXPECT_EQ(errors(0, 1).toLong() * 1000 + errors(1, 1).toLong(), 21039);
  EXPECT_EQ(svc.MaxDeclarado(), key);
}

TEST_P(DeclaradoService, BufferConversionsRoundHalfToEvenAndTheirErrorsPassUnchanged) {
  Value b = SampleRecord(1, "E");
  b(6) = Value(2.5);    // CNIPR
  b(12) = "3.5";        // TIPOIMP
  b(10) = Value();      // FDE never assigned
  b(22) = "6.5";        // NOREG
  b(25) = Value(-1.5);  // TRE
  const std::int32_t key = Save(b);
  const Value rec = svc.CargarDeclarado(key);
  EXPECT_EQ(rec(4).toString() + rec(10).toString() + rec(8).toString(), "240");
  EXPECT_EQ(Detail("tdpfe", key)[1] + Detail("tdpfe", key)[4], "6-2");

  const std::string mismatch = ExpectError(13, [] { Value("abc").toLong(); }).description();
  for (auto [cell, text, number] : {std::tuple{6, "256", 6}, std::tuple{6, "-1", 6},
                                    std::tuple{10, "", 13}, std::tuple{13, "1,5", 13}}) {
    Value bad = SampleRecord(1, "R");
    bad(cell) = text;
    const Error e = ExpectError(number, [&] { svc.GuardarDeclarado(bad, false); });
    if (number == 13) {
      EXPECT_EQ(e.description(), mismatch);
    }
  }
  EXPECT_EQ(svc.MaxDeclarado(), key);
  ExpectError(3075, [&] { svc.GuardarDeclarado(SampleRecord(1, "R", "O'Brien"), false); });
  ExpectError(9, [&] { svc.GuardarDeclarado(Value::Array({{0, 10}}), false); });
}

TEST_P(DeclaradoService, LoadingMethodsTagErrorsOutermostFirst) {
  const std::int32_t key = Save(SampleRecord(1, "E"));
  ExecUser("DROP TABLE tdpfe");
  Tagged(ExpectError(3078, [&] { svc.CargarDpfe(key); }),
         "cdeclarado.CargarDpfe cTDpfe.CargarDatos ");
  ExecUser("DROP TABLE tOperadores");
  Tagged(ExpectError(3078, [&] { svc.CargarDeclarado(key); }),
         "cdeclarado.CargarDeclarado cTDeclarados.CargarDeclarado ");
  Tagged(ExpectError(3078, [&] { svc.ObtenerDeclarados(1); }),
         "cdeclarado.ObtenerDeclarados cTDeclarados.ObtenerDeclarados ");
  const Error max = ExpectError(3078, [&] { svc.MaxDeclarado(); });
  Tagged(max, "cdeclarado.MaxDeclarado ");
  EXPECT_EQ(max.description().find("cTDeclarados"), std::string::npos);

  svc.mdbmod((dir / "falta.db").string());
  svc.mdblec((dir / "falta.db").string());
  for (auto [tag, call] : std::vector<std::pair<std::string, std::function<void()>>>{
           {"cdeclarado.CargarDpbi ", [&] { svc.CargarDpbi(1); }},
           {"cdeclarado.CargarDpdoi ", [&] { svc.CargarDpdoi(1); }},
           {"cdeclarado.CargarDpfr ", [&] { svc.CargarDpfr(1); }},
           {"cdeclarado.EliminarDeclarado ", [&] { svc.EliminarDeclarado(1, 1); }},
           {"cdeclarado.comprobarFechaDeIngreso ",
            [&] { svc.comprobarFechaDeIngreso("1", "AT"); }}})
    Tagged(ExpectError(3024, call), tag);
}

TEST_P(DeclaradoService, EliminarDeclaradoDeletesDetailRowsThenTheRecordAllOrNothing) {
  const std::int32_t first = Save(SampleRecord(1, "I"));
  const std::int32_t second = Save(SampleRecord(1, "R"));
  svc.EliminarDeclarado(first, 1);
  EXPECT_TRUE(svc.CargarDeclarado(first).isNull());
  EXPECT_EQ(DetailRows(first), 0);
  svc.EliminarDeclarado(999, 1);  // no such record: nothing happens
  EXPECT_EQ(svc.ObtenerDeclarados(1).ubound(2), 1);

  ExecUser("DROP TABLE tdpfe");  // the third of the four detail deletions fails
  ExecUser("INSERT INTO tdpbi (CSCI,CSDO,PAD) VALUES (1, " + std::to_string(second) + ", 1)");
  Tagged(ExpectError(3078, [&] { svc.EliminarDeclarado(second, 1); }),
         "cdeclarado.EliminarDeclarado ");
  EXPECT_FALSE(svc.CargarDeclarado(second).isNull());
  EXPECT_EQ(ScalarUser("select count(*) from tdpbi").toLong(), 1);
  EXPECT_EQ(ScalarUser("select count(*) from tdpfr").toLong(), 1);
}

TEST_P(DeclaradoService,
       EliminarDeclaradoWithAnotherDeclarationKeepsTheDetailRowButDeletesTheRecord) {
  const std::int32_t key = Save(SampleRecord(1, "R"));
  svc.EliminarDeclarado(key, 2);
  EXPECT_TRUE(svc.CargarDeclarado(key).isNull());
  EXPECT_EQ(Detail("tdpfr", key).size(), 9u);
}

TEST_P(DeclaradoService, CreatedByNameAndCalledWithARecordBuffer) {
  auto obj = CreateObject("kolvar.cDeclarado");
  obj->Let("mdbmod", Value(userPath));
  obj->Let("mdblec", Value(referencePath));
  obj->Let("EjercicioDestino", Value("2013"));
  const auto call = [&](std::string_view method, std::vector<Value> args) {
    return obj->Call(method, args);
  };
  EXPECT_TRUE(call("GuardarDeclarado", {SampleRecord(7, "F"), Value(false)})(0, 0).isEmpty());
  const Value key = call("MaxDeclarado", {});
  EXPECT_EQ(key.type(), VarType::Long);
  EXPECT_EQ(call("CargarDpfe", {key})(7).toString(), "1234567AB1234C0001XY");  // REFCAT from 2012
  EXPECT_EQ(call("cargardpfe", {key})(13).toString(), "0");                    // FMC only from 2014
  EXPECT_EQ(call("ObtenerDeclarados", {Value(7)})(3, 1).toString(), "F");
  call("EliminarDeclarado", {key, Value(7)});
  EXPECT_TRUE(call("CargarDeclarado", {key}).isNull());
  EXPECT_TRUE(call("comprobarFechaDeIngreso", {Value("19950101"), Value("AT")}).toBool());
  EXPECT_FALSE(call("comprobarFechaDeIngreso", {Value("19941231"), Value("AT")}).toBool());
  ExpectError(438, [&] { obj->Get("mdbmod"); });
}

KOLVAR_PER_ENGINE(DeclaradoService);

}  // namespace
}  // namespace kolvar::testing
