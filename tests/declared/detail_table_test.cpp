#include <gtest/gtest.h>

#include <tuple>

#include "dbaccess/conexion.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class DetailTables : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (!Ready()) return;
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(userPath);
  }
  Value Call(const std::shared_ptr<Object>& o, std::string_view method, std::vector<Value> args) {
    return o->Call(method, args);
  }
};
KOLVAR_PER_ENGINE(DetailTables);

TEST_P(DetailTables, PropertiesKeepTheirColumnTypes) {
  auto fe = CreateObject("kolvar.cTDpfe");
  EXPECT_EQ(fe->Get("NOREG").type(), VarType::Integer);  // never set: zero of its type
  EXPECT_EQ(fe->Get("MC_CC").toString(), "");
  fe->Let("noreg", Value("6.5"));
  EXPECT_EQ(fe->Get("NOREG").toInteger(), 6);
  fe->Let("SDI", Value("0.1"));
  EXPECT_EQ(fe->Get("SDI").type(), VarType::Single);
  ExpectError(6, [&] { fe->Let("NOREG", Value(40000)); });
  ExpectError(13, [&] { fe->Let("FMC", Value("x")); });
  ExpectError(438, [&] { fe->Let("PAD", Value(1)); });  // a column of another table
  auto doi = CreateObject("kolvar.cTDpdoi");
  doi->Let("CD", Value(7));
  EXPECT_EQ(doi->Get("CD").type(), VarType::String);  // CD is text here, a number in tdpfr
  auto fr = CreateObject("kolvar.cTDpfr");
  ExpectError(13, [&] { fr->Let("CD", Value("B")); });
}

TEST_P(DetailTables, InsertLoadAndModifyOneRow) {
  auto bi = CreateObject("kolvar.cTDpbi");
  EXPECT_TRUE(Call(bi, "CargarDatos", {Value(5)}).isNull());
  bi->Let("IDE", Value("Nave"));
  EXPECT_TRUE(Call(bi, "InsertarDatos", {Value(5), Value(2)}).toBool());
  EXPECT_EQ(ScalarUser("select FIU from tdpbi where CSDO = 5 and CSCI = 2").type(), VarType::Long);
  Conexion().mdb(bd340mod);
  Conexion().InicializaBD(userPath);
  Value row = Call(bi, "CargarDatos", {Value(5)});
  EXPECT_EQ(row(0).toString() + "|" + row(2).toString() + "|" + row(4).toString() + "|" +
                row(5).toString(),
            "0|Nave|0|");

  bi->Let("RADE", Value(-0.5));
  bi->Let("IDBIEN", Value("B-2"));
  EXPECT_TRUE(Call(bi, "ModificarDatos", {Value(6), Value(2)}).toBool());  // no such row
  EXPECT_TRUE(Call(bi, "ModificarDatos", {Value(5), Value(3)}).toBool());  // nor this one
  row = Call(bi, "CargarDatos", {Value(5)});
  EXPECT_EQ(row(3).toString() + row(5).toString(), "0");
  EXPECT_TRUE(Call(bi, "CargarDatos", {Value(6)}).isNull());
  Call(bi, "ModificarDatos", {Value(5), Value(2)});
  row = Call(bi, "CargarDatos", {Value(5)});
  EXPECT_EQ(row(3).toString() + "|" + row(5).toString(), "-0.5|B-2");
}

TEST_P(DetailTables, ErrorsOfLoadingAreTaggedAndOfWritingPassUnchanged) {
  auto pdoi = CreateObject("kolvar.cTDpdoi");
  pdoi->Let("CEM", Value("DEU"));  // two characters at most
  const Error e = ExpectError(3163, [&] { Call(pdoi, "InsertarDatos", {Value(1), Value(1)}); });
  EXPECT_EQ(e.description().find("cTDpdoi"), std::string::npos);
  pdoi->Let("CEM", Value("D'"));
  ExpectError(3075, [&] { Call(pdoi, "ModificarDatos", {Value(1), Value(1)}); });
  for (auto [progId, table, tag] :
       {std::tuple{"kolvar.cTDpfe", "tdpfe", "cTDpfe.CargarDatos "},
        std::tuple{"kolvar.cTDpfr", "tdpfr", "cTDpfr.CargarDatos "},
        std::tuple{"kolvar.cTDpbi", "tdpbi", "cTDpbi.CargarDatos "},
        std::tuple{"kolvar.cTDpdoi", "tdpdoi", "cTDpdoi.CargarDatos "}}) {
    Conexion().execute(std::string("DROP TABLE ") + table);
    const Error le =
        ExpectError(3078, [&] { Call(CreateObject(progId), "CargarDatos", {Value(1)}); });
    EXPECT_EQ(le.description().rfind(tag, 0), 0u) << le.description();
  }
}

}  // namespace
}  // namespace kolvar::testing
