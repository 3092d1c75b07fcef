// The declaration service as the client drives it, created and called by
// name: every column of the grid and every count by value, with values that
// differ from column to column so that a swap shows.
#include "declarations/declarations_fixture.h"

namespace kolvar::testing {
namespace {

// Text and type letter of each cell of row r: "12:L|2013:L|C:S".
std::string Row(const Value& grid, std::int32_t r) {
  static const char kLetters[] = "ENILFDTSBYOA";  // in the order of VarType
  std::string out;
  for (std::int32_t c = 0; c <= grid.ubound(1); ++c) {
    const Value& v = grid(c, r);
    out += (c ? "|" : "") + (v.isEmpty() ? std::string() : v.toString()) + ":" +
           kLetters[static_cast<int>(v.type())];
  }
  return out;
}

class DeclarationsByName : public PerEngine<DeclarationsTest> {
 protected:
  void SetUp() override {
    DeclarationsTest::SetUp();
    obj = CreateObject("kolvar.cDeclaraciones");
    obj->Let("mdbmod", Value(userPath));
    obj->Let("mdblec", Value(referencePath));
  }
  Value Call(std::string_view method, std::vector<Value> args) { return obj->Call(method, args); }
  // GuardarDeclaracion with its nine arguments in the client's order.
  std::int32_t Guardar(std::int32_t key, std::int32_t sequence, std::int32_t year,
                       std::int32_t declarant, std::int16_t period, const char* perdad,
                       const char* sust, const char* comp, const Value& previous) {
    return Call("GuardarDeclaracion",
                {key, sequence, year, declarant, period, perdad, sust, comp, previous})
        .toLong();
  }
  std::shared_ptr<Object> obj;
};
KOLVAR_PER_ENGINE(DeclarationsByName);

TEST_P(DeclarationsByName, EveryGridColumnOnLoadAndAfterASave) {
  const std::int32_t a = Guardar(0, 3, 2013, 5, 4, "2", "S", "C", Value("77"));
  const std::int32_t b = Guardar(0, 6, 2012, 5, 11, "1", "", "", Value());
  const std::int32_t c = Guardar(0, 8, 2012, 5, 2, "1", "", "C", Value("5"));  // no records
  Guardar(0, 1, 2011, 6, 1, "1", "", "", Value());  // another declarant's
  for (const char* book : {"E", "U"}) Save(a, book);
  Save(b, "R");
  EXPECT_TRUE(Call("ObtenerDeclaraciones", {std::int32_t{99}}).isNull());
  Value grid = Call("ObtenerDeclaraciones", {std::int32_t{5}});
  ASSERT_EQ(grid.ubound(1), 8);
  ASSERT_EQ(grid.ubound(2), 3);
  EXPECT_EQ(Row(grid, 0), ":E|:E|:E|:E|:E|:E|:E|:E|:E");
  const std::string ka = std::to_string(a), kb = std::to_string(b), kc = std::to_string(c);
  const std::string rowB = kb + ":L|2012:L|:S|:S|1:L|11:I|1:S|0:L|6:L";
  const std::string rowC = kc + ":L|2012:L|C:S|:S|0:L|2:I|1:S|5:L|8:L";
  EXPECT_EQ(Row(grid, 1), rowB);  // by year, then by key
  EXPECT_EQ(Row(grid, 2), rowC);
  EXPECT_EQ(Row(grid, 3), ka + ":L|2013:L|C:S|S:S|2:L|4:I|2:S|77:L|3:L");

  EXPECT_EQ(Guardar(a, 9, 2010, 5, 7, "3", "X", "Y", Value("12")), a);
  grid = Call("ObtenerDeclaraciones", {std::int32_t{5}});
  EXPECT_EQ(Row(grid, 1), ka + ":L|2010:L|Y:S|X:S|2:L|7:I|3:S|12:L|9:L");
  EXPECT_EQ(Row(grid, 2), rowB);
  EXPECT_EQ(Row(grid, 3), rowC);

  // The look-ups take the same columns, in their own argument orders.
  EXPECT_EQ(Call("ObtenerDeclaracion", {std::int32_t{5}, std::int32_t{2010}, std::int16_t{7},
                                        std::int16_t{3}, std::int16_t{12}})
                .toLong(),
            a);
  for (const auto& [sequence, exists] : {std::pair{9, true}, {8, false}, {10, false}})
    EXPECT_EQ(Call("DeclaracionExiste", {std::int32_t{5}, std::int32_t{2010}, std::int16_t{7}, "3",
                                         std::int32_t{sequence}})
                  .toBool(),
              exists)
        << sequence;
}

// Each book holds a different number of records, so that counts or summary
// groups given in the wrong order cannot match.
TEST_P(DeclarationsByName, CountsAndSummaryGroupsComeInTheirOrder) {
  const std::int32_t key = Guardar(0, 1, 2014, 5, 3, "1", "", "", Value());
  int n = 0;
  for (const auto& [book, count] :
       {std::pair{"E", 1}, {"F", 2}, {"I", 3}, {"J", 5}, {"R", 4}, {"S", 6}, {"U", 7}})
    for (int i = 0; i < count; ++i) Save(key, book, "n" + std::to_string(++n));
  const Value counts = Call("ObtenerDetalles", {key});
  std::string got;
  for (std::int32_t i = 0; i <= counts.ubound(1); ++i) got += counts(i).toString() + " ";
  EXPECT_EQ(got, "28 1 2 3 5 4 6 7 ");
  const Value summary = Call("ObtenerResumen", {key});
  got.clear();
  for (std::int32_t g = 0; g <= 4; ++g) got += summary(g, 0).toString() + " ";
  EXPECT_EQ(got, "3 10 8 7 28 ");
}

}  // namespace
}  // namespace kolvar::testing
