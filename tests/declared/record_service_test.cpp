#include "declared/record_service.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>

#include "declared/sample_records.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

using declared::cDeclarado;

class DeclaradoService : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
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
  Value Detail(const std::string& table, std::int32_t csdo) {
    if (table == "tdpfe") return svc.CargarDpfe(csdo);
    if (table == "tdpfr") return svc.CargarDpfr(csdo);
    if (table == "tdpbi") return svc.CargarDpbi(csdo);
    return svc.CargarDpdoi(csdo);
  }
  std::vector<std::string> DetailTexts(const std::string& table, std::int32_t csdo) {
    const Value row = Detail(table, csdo);
    std::vector<std::string> out;
    for (std::int32_t i = 0; i < row.ubound(1); ++i) out.push_back(row(i).toString());
    EXPECT_TRUE(row(row.ubound(1)).isEmpty());
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
  cDeclarado svc;
};

TEST_F(DeclaradoService, RecordOfEveryBookReadsBackFieldByField) {
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
    const auto loaded = DetailTexts(table, key);
    const auto& cells = LoadedCells().at(table);
    ASSERT_EQ(loaded.size(), cells.size());
    for (std::size_t k = 0; k < cells.size(); ++k)
      EXPECT_EQ(loaded[k], b(cells[k]).toString()) << k;
    EXPECT_EQ(DetailRows(key), 1);
  }
  const Value grid = svc.ObtenerDeclarados(1);
  ASSERT_EQ(grid.ubound(2), 7);
  EXPECT_EQ(grid(3, 1).toString() + grid(3, 7).toString(), "EU");
  EXPECT_EQ(grid(2, 7).toString(), "Nombre U");
  EXPECT_TRUE(svc.ObtenerDeclarados(2).isNull());
  EXPECT_TRUE(svc.CargarDeclarado(last + 1).isNull());
  EXPECT_TRUE(svc.CargarDpfe(last).isNull());  // a U record has no issued-invoice row
}

TEST_F(DeclaradoService, SavingAgainReplacesTheRowAndLettersOutsideTheSevenStoreNoDetail) {
  const std::int32_t key = Save(SampleRecord(1, "E"));
  for (std::string letter : {"R", "e", "I", "X", "U", ""}) {
    SCOPED_TRACE(letter);
    Value b = SampleRecord(1, letter, "Otro " + letter);
    b(1) = key;
    EXPECT_EQ(Save(b), key);
    EXPECT_EQ(svc.CargarDeclarado(key)(2).toString(), "Otro " + letter);
    EXPECT_EQ(svc.CargarDeclarado(key)(6).toString(), letter);
    EXPECT_EQ(DetailRows(key), TableOfBook(letter).empty() ? 0 : 1);
  }
  EXPECT_EQ(ScalarUser("select count(*) from tOperadores").toLong(), 1);
  const std::int32_t other = Save(SampleRecord(1, "Z"));
  EXPECT_EQ(DetailRows(other), 0);
}

TEST_F(DeclaradoService, BooksStoreOnlyTheDetailFieldsOfTheTargetYear) {
  const std::vector<std::string> older{
      "3", "7", "Tickets 1 a 3", "F-1", "21", "5.2", "0", "", "0", "0", "0", "", "", "0", "0", ""};
  std::vector<std::string> middle = SampleDetails().at("tdpfe");
  middle.resize(11);
  for (const char* s : {"", "", "0", "0", ""}) middle.push_back(s);
  std::vector<std::string> all = SampleDetails().at("tdpfe");
  std::swap(all[11], all[13]);  // loaded as MC, MC_CC, FMC, IC: buffer holds FMC, IC, MC, MC_CC
  std::swap(all[12], all[14]);

  struct Case {
    std::int16_t year;
    std::int32_t firstUnread;
    std::vector<std::string> expected;
  };
  for (const Case& c : {Case{2011, 27, older}, Case{2013, 32, middle}, Case{2014, 37, all}}) {
    SCOPED_TRACE(c.year);
    Value b = SampleRecord(1, "E");
    for (std::int32_t i = c.firstUnread; i <= 36; ++i) b(i) = "no se lee";
    svc.EjercicioDestino(c.year);
    EXPECT_EQ(DetailTexts("tdpfe", Save(b)), c.expected);
  }
  cDeclarado fresh;  // year never set: the oldest set of fields
  fresh.mdbmod(userPath);
  Value b = SampleRecord(1, "E");
  b(27) = "no se lee";
  fresh.GuardarDeclarado(b, false);
  EXPECT_EQ(DetailTexts("tdpfe", svc.MaxDeclarado()), older);

  svc.EjercicioDestino(2013);
  Value r = SampleRecord(1, "R");
  for (std::int32_t i = 25; i <= 29; ++i) r(i) = "no se lee";
  EXPECT_EQ(DetailTexts("tdpfr", Save(r)),
            (std::vector<std::string>{"2", "4", "Recibos", "10.5", "", "", "0", "0", ""}));
}

TEST_F(DeclaradoService, BufferConversionsRoundHalfToEvenAndEmptyCellsGiveZero) {
  Value b = SampleRecord(1, "E");
  b(6) = Value(2.5);    // CNIPR
  b(12) = "3.5";        // TIPOIMP
  b(10) = Value();      // FDE never assigned
  b(4) = Value();       // NOMBRE never assigned
  b(22) = "6.5";        // NOREG
  b(25) = Value(-1.5);  // TRE
  const std::int32_t key = Save(b);
  const Value rec = svc.CargarDeclarado(key);
  EXPECT_EQ(rec(4).toString() + "|" + rec(10).toString() + "|" + rec(8).toString() + "|" +
                rec(2).toString(),
            "2|4|0|");
  const Value detail = svc.CargarDpfe(key);
  EXPECT_EQ(detail(1).toString() + "|" + detail(4).toString(), "6|-2");
}

TEST_F(DeclaradoService, ConversionAndStatementErrorsReachTheCallerUnchanged) {
  const std::string mismatch = ExpectError(13, [] { Value("abc").toLong(); }).description();
  for (auto [cell, text, number] :
       {std::tuple{6, "256", 6}, std::tuple{6, "-1", 6}, std::tuple{10, "", 13},
        std::tuple{12, "abc", 13}, std::tuple{13, "1,5", 13}}) {
    Value b = SampleRecord(1, "R");
    b(cell) = text;
    const Error e = ExpectError(number, [&] { svc.GuardarDeclarado(b, false); });
    if (number == 13) {
      EXPECT_EQ(e.description(), mismatch);
    }
  }
  EXPECT_EQ(svc.MaxDeclarado(), 0);

  Value quoted = SampleRecord(1, "R", "O'Brien");  // only NREP loses its apostrophes
  const Error e = ExpectError(3075, [&] { svc.GuardarDeclarado(quoted, false); });
  EXPECT_EQ(e.description().rfind("cdeclarado", 0), std::string::npos);
  ExpectError(3163, [&] {
    Value b = SampleRecord(1, "R");
    b(2) = "1234567890123456";  // NIF holds 15 characters
    svc.GuardarDeclarado(b, false);
  });
  ExpectError(9, [&] { svc.GuardarDeclarado(Value::Array({{0, 10}}), false); });
}

TEST_F(DeclaradoService, DetailConversionErrorLeavesTheRecordWithoutItsDetailRow) {
  const std::int32_t key = Save(SampleRecord(1, "E"));
  Value b = SampleRecord(1, "E", "Cambiado");
  b(1) = key;
  b(21) = "x";  // NOFAC
  ExpectError(13, [&] { svc.GuardarDeclarado(b, false); });
  EXPECT_EQ(svc.CargarDeclarado(key)(2).toString(), "Cambiado");
  EXPECT_EQ(DetailRows(key), 0);
  b(1) = 0;
  ExpectError(13, [&] { svc.GuardarDeclarado(b, false); });
  EXPECT_EQ(DetailRows(svc.MaxDeclarado()), 0);
  EXPECT_GT(svc.MaxDeclarado(), key);
}

TEST_F(DeclaradoService, ApostropheOfTheRepresentativeIsStoredAsAcuteAccent) {
  Value b = SampleRecord(1, "U");
  b(3) = "O'Neil";
  const std::int32_t key = Save(b);
  EXPECT_EQ(ScalarUser("select NREP from tOperadores").toString(), "O\xC2\xB4Neil");
  EXPECT_EQ(svc.CargarDeclarado(key)(1).toString(), "O'Neil");
}

TEST_F(DeclaradoService, LoadingMethodsTagErrorsOutermostFirst) {
  const std::int32_t key = Save(SampleRecord(1, "E"));
  const auto tagged = [](const Error& e, const std::string& tags) {
    EXPECT_EQ(e.description().rfind(tags, 0), 0u) << e.description();
  };
  ExecUser("DROP TABLE tdpfe");
  tagged(ExpectError(3078, [&] { svc.CargarDpfe(key); }),
         "cdeclarado.CargarDpfe cTDpfe.CargarDatos ");
  EXPECT_TRUE(svc.CargarDpfr(key).isNull());
  ExecUser("DROP TABLE tOperadores");
  tagged(ExpectError(3078, [&] { svc.CargarDeclarado(key); }),
         "cdeclarado.CargarDeclarado cTDeclarados.CargarDeclarado ");
  tagged(ExpectError(3078, [&] { svc.ObtenerDeclarados(1); }),
         "cdeclarado.ObtenerDeclarados cTDeclarados.ObtenerDeclarados ");
  const Error max = ExpectError(3078, [&] { svc.MaxDeclarado(); });
  tagged(max, "cdeclarado.MaxDeclarado ");
  EXPECT_EQ(max.description().find("cTDeclarados"), std::string::npos);

  svc.mdbmod((dir / "falta.db").string());
  svc.mdblec((dir / "falta.db").string());
  for (auto [tag, call] : std::vector<std::pair<std::string, std::function<void()>>>{
           {"cdeclarado.CargarDpbi ", [&] { svc.CargarDpbi(1); }},
           {"cdeclarado.CargarDpdoi ", [&] { svc.CargarDpdoi(1); }},
           {"cdeclarado.EliminarDeclarado ", [&] { svc.EliminarDeclarado(1, 1); }},
           {"cdeclarado.comprobarFechaDeIngreso ",
            [&] { svc.comprobarFechaDeIngreso("20000101", "AT"); }}})
    tagged(ExpectError(3024, call), tag);
}

TEST_F(DeclaradoService, EliminarDeclaradoDeletesDetailRowsThenTheRecord) {
  const std::int32_t first = Save(SampleRecord(1, "I"));
  const std::int32_t second = Save(SampleRecord(1, "R"));
  svc.EliminarDeclarado(first, 1);
  EXPECT_TRUE(svc.CargarDeclarado(first).isNull());
  EXPECT_EQ(DetailRows(first), 0);
  svc.EliminarDeclarado(999, 1);  // no such record: nothing happens
  EXPECT_EQ(svc.ObtenerDeclarados(1).ubound(2), 1);

  ExecUser("DROP TABLE tdpfe");  // third of the four detail deletions fails
  ExecUser("INSERT INTO tdpbi (CSCI,CSDO,PAD) VALUES (1, " + std::to_string(second) + ", 1)");
  const Error e = ExpectError(3078, [&] { svc.EliminarDeclarado(second, 1); });
  EXPECT_EQ(e.description().rfind("cdeclarado.EliminarDeclarado ", 0), 0u);
  EXPECT_FALSE(svc.CargarDeclarado(second).isNull());
  EXPECT_EQ(ScalarUser("select count(*) from tdpbi").toLong(), 0);
  EXPECT_EQ(ScalarUser("select count(*) from tdpfr").toLong(), 1);
}

TEST_F(DeclaradoService,
       EliminarDeclaradoWithAnotherDeclarationKeepsTheDetailRowButDeletesTheRecord) {
  const std::int32_t key = Save(SampleRecord(1, "R"));
  svc.EliminarDeclarado(key, 2);
  EXPECT_TRUE(svc.CargarDeclarado(key).isNull());
  EXPECT_FALSE(svc.CargarDpfr(key).isNull());
}

TEST_F(DeclaradoService, DateOfEntryComparesWithTheCountrysDate) {
  EXPECT_TRUE(svc.comprobarFechaDeIngreso("19950101", "AT"));
  EXPECT_FALSE(svc.comprobarFechaDeIngreso("19941231", "AT"));
  EXPECT_TRUE(svc.comprobarFechaDeIngreso("20110101", "AT"));
  EXPECT_FALSE(svc.comprobarFechaDeIngreso("20061231", "BG"));
}

TEST_F(DeclaradoService, CreatedByNameAndCalledWithARecordBuffer) {
  auto obj = CreateObject("kolvar.cDeclarado");
  obj->Let("mdbmod", Value(userPath));
  obj->Let("mdblec", Value(referencePath));
  obj->Let("EjercicioDestino", Value("2013"));
  std::vector<Value> args{SampleRecord(7, "F"), Value(false)};
  const Value errors = obj->Call("GuardarDeclarado", args);
  EXPECT_TRUE(errors(0, 0).isEmpty());
  std::vector<Value> none;
  const Value key = obj->Call("MaxDeclarado", none);
  EXPECT_EQ(key.type(), VarType::Long);
  std::vector<Value> one{key};
  EXPECT_EQ(obj->Call("CargarDpfe", one)(7).toString(), "1234567AB1234C0001XY");
  EXPECT_EQ(obj->Call("cargardpfe", one)(13).toString(), "0");  // FMC not stored before 2014
  std::vector<Value> grid{Value(7)};
  EXPECT_EQ(obj->Call("ObtenerDeclarados", grid)(3, 1).toString(), "F");
  std::vector<Value> del{key, Value(7)};
  obj->Call("EliminarDeclarado", del);
  EXPECT_TRUE(obj->Call("CargarDeclarado", one).isNull());
  ExpectError(438, [&] { obj->Get("mdbmod"); });
  ExpectError(438, [&] { obj->Call("Guardar", none); });
}

}  // namespace
}  // namespace kolvar::testing
