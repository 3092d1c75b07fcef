#include <gtest/gtest.h>

#include "kolvar/kolvar.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class DatosGeneralesObject : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    obj = CreateObject("kolvar.cDatosGenerales");
    obj->Let("MDBMOD", Value(userPath));
    obj->Let("mdblec", Value(referencePath));
  }
  Value Call(std::string_view method, std::vector<Value> args = {}) {
    return obj->Call(method, args);
  }
  std::shared_ptr<Object> obj;
};
KOLVAR_PER_ENGINE(DatosGeneralesObject);

TEST_P(DatosGeneralesObject, LateBoundCalls) {
  EXPECT_EQ(Call("ObtenerDesClave", {"Q", "EUR", std::int32_t{0}}).toString(),
            "RÉGIMEN ESPECIAL DE BIENES USADOS, OBJETOS DE ARTE, ANTIGÜEDADES Y OBJETOS DE "
            "COLECCIÓN");
  EXPECT_EQ(Call("obtenerdesmediocobro", {"C", "1"}).toString(), "TRANSFERENTZIA");
  Call("CambiarIdioma", {"E"});
  EXPECT_EQ(Call("ObtenerIdioma").toString(), "E");
  ExpectError(err::kNoMember, [&] { obj->Get("mdbmod"); });  // write-only
  ExpectError(err::kNoMember, [&] { Call("ObtenerMC", {"C", std::int32_t{0}}); });
  ExpectError(err::kInvalidCall, [&] { Call("ObtenerDesPais", {"ES"}); });
  ExpectError(err::kTypeMismatch, [&] { Call("ObtenerDesPais", {"ES", "vasco"}); });
}

TEST_P(DatosGeneralesObject, ValidaNifCifForwardsTheOptionalFlag) {
  EXPECT_TRUE(Call("ValidaNifCif", {"12345678Z"}).toBool());
  EXPECT_FALSE(Call("ValidaNifCif", {"12345678"}).toBool());
  EXPECT_TRUE(Call("ValidaNifCif", {"12345678", true}).toBool());
  EXPECT_FALSE(Call("ValidaNifCif", {"12345678A", true}).toBool());
  ExpectError(err::kInvalidCall, [&] { Call("ValidaNifCif"); });
}

}  // namespace
}  // namespace kolvar::testing
