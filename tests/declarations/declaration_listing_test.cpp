#include <tuple>

#include "declarations/declarations_fixture.h"

namespace kolvar::testing {
namespace {

using Request = std::tuple<Value, Value, Value>;

Value Requests(const std::vector<Request>& requests) {
  Value v = Value::Array({{0, 2}, {0, static_cast<std::int32_t>(requests.size()) - 1}});
  for (std::int32_t k = 0; k < static_cast<std::int32_t>(requests.size()); ++k)
    std::tie(v(0, k), v(1, k), v(2, k)) = requests[static_cast<std::size_t>(k)];
  return v;
}

class DeclarationListing : public DeclarationsTest {
 protected:
  Value List(const std::vector<Request>& requests, bool blnFichero = false) {
    OpenUser();
    t.datTDeclaraciones_CodDecla(4);
    return t.ImprimirDetalles(Requests(requests), blnFichero);
  }
};

TEST_F(DeclarationListing, PagesOfABookInKeyOrder) {
  for (int i = 0; i < 25; ++i) Save(4, "E", "n" + std::to_string(i));
  Save(4, "R");
  const Value grid = List({{"exp", 0, 9}, {"exp", "20", 30.0}, {"exp", 5, 2}, {"EXP", 0, 99}});
  ASSERT_EQ(grid.ubound(1), 8);
  ASSERT_EQ(grid.ubound(2), 14);
  for (int n = 0; n <= 14; ++n) {
    const int position = n < 10 ? n : n + 10;
    EXPECT_EQ(grid(0, n).toString(), "exp");
    EXPECT_EQ(grid(1, n).toString(), "1 12345678Z N" + std::to_string(position));
    EXPECT_EQ(grid(8, n).toString(), "0");
  }
  EXPECT_EQ(grid(2, 3).toString() + grid(3, 3).toString() + grid(4, 3).toString(), "EA20140115");
  EXPECT_EQ(grid(5, 3).type(), VarType::Double);
  EXPECT_EQ(grid(7, 3).toDouble(), 1210.6);

  const Value none = List({{"EXP", 0, 0}, {Value::Null(), 0, 0}, {"exp", Value::Null(), 3}});
  ASSERT_EQ(none.ubound(2), 0);
  for (int c = 0; c <= 8; ++c) EXPECT_TRUE(none(c, 0).isEmpty()) << c;
}

TEST_F(DeclarationListing, ReceivedBooksBringTheDetailsCdOthersTheTextZero) {
  Save(4, "U");
  Save(4, "R");
  ExecUser("INSERT INTO tOperadores (CSCI, CNIPR, CDTL, NOMBRE) VALUES (4, 2, 'S', 'Sin detalle')");
  const Value grid = List({{"int", 0, 0}, {"rec", 0, 0}, {"recI", 0, 0}});
  ASSERT_EQ(grid.ubound(2), 2);
  EXPECT_EQ(grid(0, 0).toString() + " " + grid(8, 0).toString(), "int 0");
  EXPECT_EQ(grid(0, 1).toString() + " " + grid(8, 1).toString(), "rec 10.5");
  EXPECT_TRUE(grid(8, 2).isNull());
  EXPECT_EQ(grid(1, 2).toString(), "2 SIN DETALLE");  // Null NIF and NIFDPR
}

TEST_F(DeclarationListing, PartyTextCutsTheNameToLeaveRoomForTheIdentifier) {
  const std::string name = "abcdefghijklmnopqrstuvwxyz0123456789q";  // 37 characters
  Save(4, "E", name);
  Value b = SampleRecord(4, "E", name);
  b(2) = "";
  b(7) = "DE123456789";
  SaveBuffer(b);
  b(7) = "  ";
  SaveBuffer(b);
  const std::string upper = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789Q";
  for (bool file : {false, true}) {
    const Value grid = List({{"exp", 0, 99}}, file);
    ASSERT_EQ(grid.ubound(2), 2);
    EXPECT_EQ(grid(1, 0).toString(), "1 12345678Z " + upper.substr(0, file ? 33 : 18));
    EXPECT_EQ(grid(1, 1).toString(), "1 DE123456789 " + upper.substr(0, file ? 30 : 15));
    EXPECT_EQ(grid(1, 2).toString(), "1 " + upper.substr(0, file ? 37 : 27));
  }
}

TEST_F(DeclarationListing, BookWithoutRecordsFailsTheWholeCall) {
  Save(4, "E");
  const Error e = ExpectError(err::kNoCurrentRecord, [&] { List({{"exp", 0, 0}, {"bie", 0, 0}}); });
  EXPECT_EQ(e.description().rfind("cTDeclaraciones.ImprimirDetalles", 0), 0u);
  EXPECT_NE(e.description()[32], ' ') << e.description();
}

TEST_F(DeclarationListing, LineAndRequestCountersAreSixteenBits) {
  Save(4, "E");
  Save(4, "E");
  const std::vector<Request> pairs(16384, Request{"exp", 0, 1});
  EXPECT_EQ(List(std::vector<Request>(pairs.begin() + 1, pairs.end())).ubound(2), 32765);
  ExpectError(err::kOverflow, [&] { List(pairs); });  // 32,768 lines
  std::vector<Request> unknown(32767, Request{"none", 0, 0});
  EXPECT_EQ(List(unknown).ubound(2), 0);
  unknown.emplace_back("none", 0, 0);
  const Error e = ExpectError(err::kOverflow, [&] { List(unknown); });
  EXPECT_EQ(e.description().rfind("cTDeclaraciones.ImprimirDetalles", 0), 0u);
}

}  // namespace
}  // namespace kolvar::testing
