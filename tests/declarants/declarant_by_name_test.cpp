// The declarant service as the client drives it, created and called by name:
// every cell of the buffer and every stored column by value, with values that
// differ from cell to cell so that a swap shows.
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

// The buffer GuardarDeclarante reads: the whole postal code in 10, the
// municipality in 11, cell 12 not read.
Value SaveBuffer(std::int32_t key, const std::vector<std::string>& texts, std::int32_t number,
                 std::int32_t postal) {
  Value b = Value::Array({{0, 17}});
  b(0) = key;
  for (std::int32_t i = 1; i <= 16; ++i) b(i) = texts[i - 1];
  b(5) = number;
  b(10) = postal;
  return b;
}

std::string Cells(const Value& b) {
  std::string out;
  for (std::int32_t i = 0; i <= b.ubound(1); ++i) out += (i ? "|" : "") + b(i).toString();
  return out;
}

class DeclarantByName : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    obj = CreateObject("kolvar.cDeclarante");
    obj->Let("mdbmod", Value(userPath));
    obj->Let("mdblec", Value(referencePath));
  }
  Value Call(std::string_view method, std::vector<Value>& args) { return obj->Call(method, args); }
  std::int32_t Guardar(const Value& buffer) {
    std::vector<Value> args{buffer};
    return Call("GuardarDeclarante", args).toLong();
  }
  std::string Cargar(std::int32_t key) {
    std::vector<Value> args{key, Value()};
    Call("CargarDeclarante", args);
    return Cells(args[1]);
  }
  std::string Stored(std::int32_t key) {
    return RowsUser(
        "SELECT CSDE, dni_cifd, nombred, viad, domiciliod, numerod, letrad, escalerad, pisod, "
        "manod, codpostald, municipiod, telefonod, nombrepd, telefonopd, nrep FROM TDeclarante "
        "WHERE CSDE = " +
        std::to_string(key));
  }
  std::shared_ptr<Object> obj;
};
KOLVAR_PER_ENGINE(DeclarantByName);

TEST_P(DeclarantByName, EveryCellOnLoadAndAfterASave) {
  const std::vector<std::string> first{
      "12345678Z", "Nombre", "CL",     "Mayor",    "",          "B",   "2",         "3",
      "D",         "",       "Madrid", "no leído", "910000001", "Ana", "600000002", "11111111H"};
  const std::int32_t key = Guardar(SaveBuffer(0, first, 15, 7230));
  const std::string k = std::to_string(key);
  EXPECT_EQ(Stored(key), k + "|12345678Z|Nombre|CL|Mayor|15|B|2|3|D|7230|Madrid|910000001|Ana|"
                             "600000002|11111111H\n");
  // The postal code comes back split, with its leading zero.
  EXPECT_EQ(Cargar(key),
            k + "|12345678Z|Nombre|CL|Mayor|15|B|2|3|D|07|230|Madrid|910000001|Ana|600000002|"
                "11111111H|");

  const std::vector<std::string> other{"87654321X", "Otro", "AV",        "Sol",      "",     "C",
                                       "4",         "5",    "I",         "",         "Vigo", "",
                                       "986000003", "Eva",  "699000004", "22222222J"};
  const std::int32_t untouched = Guardar(SaveBuffer(0, other, 8, 36201));
  const std::string before = Stored(untouched);

  const std::vector<std::string> changed{
      "X1234567L", "Nuevo", "PZ",     "Real", "",          "A",    "1",         "9",
      "F",         "",      "Bilbao", "",     "944000005", "Luis", "688000006", "33333333P"};
  EXPECT_EQ(Guardar(SaveBuffer(key, changed, 21, 48009)), key);
  EXPECT_EQ(Stored(key), k + "|X1234567L|Nuevo|PZ|Real|21|A|1|9|F|48009|Bilbao|944000005|Luis|"
                             "688000006|33333333P\n");
  EXPECT_EQ(Cargar(key), k + "|X1234567L|Nuevo|PZ|Real|21|A|1|9|F|48|009|Bilbao|944000005|Luis|"
                             "688000006|33333333P|");
  EXPECT_EQ(Stored(untouched), before);

  std::vector<Value> none;
  EXPECT_EQ(Call("ObtenerUltimosDeclarantes", none)(0, 1).toLong(), untouched);
  EXPECT_EQ(Call("ObtenerDeclarantes", none)(2, 2).toString(), "Nuevo");  // by identifier
  std::vector<Value> prefix{"8765"};
  EXPECT_EQ(Call("NifRepetido", prefix).toLong(), untouched);
}

}  // namespace
}  // namespace kolvar::testing
