// Saves that fail after the record could have been written: nothing of them
// stays, neither the record nor any detail row.
#include "declared/sample_records.h"
#include "integrity/database_dump.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class HalfSaved : public PerEngine<DatabaseTest> {
 protected:
  // Saves `b` through the public class and expects error `number` (any of
  // 3061 and 3075 when it is 0) with the database as it was.
  void ExpectNothingStored(const std::string& path, const Value& b, int number) {
    auto svc = CreateObject("kolvar.cDeclarado");
    svc->Let("mdbmod", Value(path));
    svc->Let("EjercicioDestino", Value(std::int16_t{2014}));
    const std::string before = DumpUserDatabase(path);
    std::vector<Value> args{b, Value(false)};
    try {
      svc->Call("GuardarDeclarado", args);
      ADD_FAILURE() << "saved";
    } catch (const Error& e) {
      if (number)
        EXPECT_EQ(e.number(), number);
      else
        EXPECT_TRUE(e.number() == err::kUnknownColumn || e.number() == err::kSyntax);
    }
    EXPECT_EQ(DumpUserDatabase(path), before);
    EXPECT_EQ(UnmatchedDetails(path), "");
  }
};
KOLVAR_PER_ENGINE(HalfSaved);

TEST_P(HalfSaved, ADetailValueThatDoesNotConvertOrFitStoresNothing) {
  Value existing = SampleRecord(1, "R");
  auto svc = CreateObject("kolvar.cDeclarado");
  svc->Let("mdbmod", Value(userPath));
  std::vector<Value> args{existing, Value(false)};
  svc->Call("GuardarDeclarado", args);
  for (std::int32_t csdo : {0, 1}) {
    Value b = SampleRecord(1, "R", "Otro");
    b(1) = csdo;
    b(21) = "123456789012345678";  // digits only, beyond a Long
    ExpectNothingStored(userPath, b, err::kOverflow);
    b(21) = "2147483647";
    b(22) = "32768";  // NOREG beyond an Integer
    ExpectNothingStored(userPath, b, err::kOverflow);
    b(22) = "1";
    b(23) = "Recibo d'Ors";
    ExpectNothingStored(userPath, b, err::kSyntax);
  }
  EXPECT_EQ(DumpRows(userPath, "SELECT CSDO, NOMBRE FROM tOperadores"), "1|Fulano S.L.\n");
}

TEST_P(HalfSaved, AnEarlierLayoutWithoutTheDetailColumnsStoresNothing) {
  const std::string earlier = OtherUserDatabase("anterior", UserLayout::Earlier);
  ExpectNothingStored(earlier, SampleRecord(1, "E"), 0);
  ExpectNothingStored(earlier, SampleRecord(1, "S"), 0);
}

}  // namespace
}  // namespace kolvar::testing
