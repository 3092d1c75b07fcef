// The shared connection: the selector, the units of work, teardown, and the
// connection class created by name.
#include "dbaccess/conexion.h"

#include <thread>

#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class ConexionTest : public PerEngine<DatabaseTest> {};
KOLVAR_PER_ENGINE(ConexionTest);

std::string FirstName(const std::string& table) {
  auto rs = Conexion().openRecordset("SELECT * FROM " + table);
  return rs->fieldName(0);
}

TEST_P(ConexionTest, SelectorPicksTheDatabaseFieldAndAnyNonZeroIsReference) {
  Conexion().mdb(7);
  Conexion().InicializaBD(referencePath);
  EXPECT_EQ(Conexion().Ddname(), "7");
  EXPECT_EQ(FirstName("TPaises"), "codigo");
  Conexion().mdb(bd340mod);
  Conexion().InicializaBD(userPath);
  EXPECT_EQ(FirstName("TDeclarante"), "CSDE");
  // Back to 1 without opening: the reference field still holds its database.
  Conexion().mdb(bd340lec);
  EXPECT_EQ(FirstName("TPaises"), "codigo");
  Conexion().Cerrar();  // closes only the reference database
  Conexion().mdb(bd340mod);
  EXPECT_EQ(FirstName("TDeclarante"), "CSDE");
  Conexion().Cerrar();
  ExpectError(err::kObjectInvalid, [&] { Conexion().execute("DELETE FROM tgeneral"); });
}

TEST_P(ConexionTest, FailuresPassThroughUnchanged) {
  Conexion().mdb(bd340mod);
  const Error missing = ExpectError(err::kFileNotFound,
                                    [&] { Conexion().InicializaBD((dir / "falta.db").string()); });
  EXPECT_EQ(missing.description().find("cConexionDAO"), std::string::npos);

  cConexionDAO fresh;  // selector never set: not a number
  ExpectError(err::kTypeMismatch, [&] { fresh.execute("DELETE FROM tgeneral"); });
  fresh.Ddname("abc");
  ExpectError(err::kTypeMismatch, [&] { fresh.Cerrar(); });
}

TEST_P(ConexionTest, BusyPointerWhileWorkingAndDefaultAfter) {
  struct Recorder : UserInterface {
    std::vector<int> pointers;
    void SetPointer(int p) override { pointers.push_back(p); }
  };
  auto ui = std::make_shared<Recorder>();
  SetUserInterface(ui);
  Conexion().mdb(bd340mod);
  Conexion().InicializaBD(userPath);  // workspace, then the file
  Conexion().execute("UPDATE tgeneral SET ActOnline = 1");
  Conexion().Cerrar();  // leaves the pointer alone
  SetUserInterface(nullptr);
  EXPECT_EQ(ui->pointers, (std::vector<int>{11, 0, 11, 0, 11, 0}));
}

TEST_P(ConexionTest, TeardownNeverRaises) {
  { cConexionDAO neverOpened; }
  {
    cConexionDAO closedTwice;
    closedTwice.mdb(0);
    closedTwice.CrearWorkSpace();
    closedTwice.AbrirBD(userPath);
    closedTwice.Cerrar();
  }
  // A thread's shared connection, left open, is torn down with the thread.
  std::thread([&] {
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(userPath);
    Conexion().openRecordset("SELECT * FROM tgeneral");
  }).join();
  ExecUser("UPDATE tgeneral SET Idioma = 'E'");  // the file is not left locked
  EXPECT_EQ(ScalarUser("SELECT Idioma FROM tgeneral").toString(), "E");
}

TEST_P(ConexionTest, CreatedByNameInicializaBDOpensTheSharedConnectionNotItself) {
  auto conn = CreateObject("KOLVAR.CCONEXIONDAO");
  conn->Let("mdb", Value(std::int32_t{0}));
  Conexion().mdb(bd340mod);  // the shared selector is the one that counts
  std::vector<Value> open{Value(userPath)};
  conn->Call("InicializaBD", open);
  std::vector<Value> select{Value("SELECT Idioma, ActOnline FROM tgeneral")};
  ExpectError(err::kObjectInvalid, [&] { conn->Call("openRecordset", select); });
  EXPECT_EQ(Conexion().openRecordset("SELECT Idioma FROM tgeneral")->field(0).toString(), "C");

  std::vector<Value> none;
  conn->Call("CrearWorkSpace", none);
  conn->Call("AbrirBD", open);
  auto rs = conn->Call("openRecordset", select).toObject();
  EXPECT_EQ(rs->Get("Fields").toObject()->Get("Count").toLong(), 2);
  std::vector<Value> byName{Value("actonline")}, byIndex{Value(std::int32_t{0})};
  EXPECT_EQ(rs->Call("Fields", byName).toObject()->Get("Value").type(), VarType::Integer);
  auto field = rs->Get("Fields").toObject()->Call("Item", byIndex).toObject();
  EXPECT_EQ(field->Get("Name").toString(), "Idioma");
  EXPECT_EQ(field->Get("value").toString(), "C");
  EXPECT_EQ(rs->Get("RecordCount").toLong(), 1);
  rs->Call("MoveNext", none);
  EXPECT_TRUE(rs->Get("EOF").toBool());
  std::vector<Value> bad{Value(std::int32_t{5})};
  ExpectError(err::kItemNotFound, [&] { rs->Call("Fields", bad); });
  ExpectError(err::kNoMember, [&] { rs->Call("MovePrevious", none); });
  ExpectError(err::kNoMember, [&] { conn->Get("nada"); });
  ExpectError(err::kInvalidCall, [&] { conn->Call("AbrirBD", none); });
  ExpectError(err::kCannotCreate, [&] { CreateObject("kolvar.cNoExiste"); });
  EXPECT_EQ(conn->Get("Ddname").toString(), "0");
  conn->Call("Cerrar", none);
}

}  // namespace
}  // namespace kolvar::testing
