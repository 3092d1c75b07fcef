// The batch scope: one open file and one transaction for the units of work
// of the thread, committed at the end, undone by an error or a cancel, and
// no lock left on either file once it ends.
#include "kolvar/batch.h"

#include <sys/wait.h>
#include <unistd.h>

#include "dbaccess/batch_state.h"
#include "dbaccess/conexion.h"
#include "dbaccess/pg/pg_connection.h"
#include "form340_lines.h"
#include "support/fixture.h"
#include "support/pg_server.h"

namespace kolvar::testing {
namespace {

// True when another process can write every file at once (no lock held).
bool OtherProcessCanWrite(std::vector<std::string> files) {
  std::vector<char*> argv{const_cast<char*>(KOLVAR_TEST_CHILD), const_cast<char*>("probe")};
  for (std::string& f : files) argv.push_back(f.data());
  argv.push_back(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    execv(KOLVAR_TEST_CHILD, argv.data());
    _exit(3);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// True when another client can write both databases: on the server, no open
// transaction has written the records' table.
bool OtherProcessCanWrite(const std::string& user, const std::string& reference) {
  if (!db::pg::IsServerAddress(user)) return OtherProcessCanWrite({user, reference});
  ServerSession other(user);
  const bool free = other.Try("BEGIN") == "" &&
                    other.Try("LOCK TABLE tOperadores IN EXCLUSIVE MODE NOWAIT") == "";
  other.Try("ROLLBACK");
  return free && OtherProcessCanWrite({reference});
}

class BatchScope : public PerEngine<DatabaseTest> {
 protected:
  void Insert(const std::string& nif) {
    ExecUser("INSERT INTO tOperadores (CSCI, NIF) VALUES (7, '" + nif + "')");
  }
  std::int32_t Rows() { return ScalarUser("SELECT count(*) FROM tOperadores").toLong(); }
};
KOLVAR_PER_ENGINE(BatchScope);

TEST_P(BatchScope, UnitsOfWorkShareOneTransactionCommittedAtTheEnd) {
  {
    Batch batch(userPath, referencePath);
    Insert("A");
    Insert("B");
    EXPECT_EQ(Rows(), 2);  // the next unit of work sees them: the same open file
    EXPECT_FALSE(OtherProcessCanWrite(userPath, referencePath));
    EXPECT_EQ(ScalarReference("SELECT count(*) FROM TPaises WHERE codigo = 'FR'").toLong(), 1);
    batch.Cancel();
    EXPECT_FALSE(batch.IsOpen());
  }
  EXPECT_EQ(Rows(), 0);
  {
    Batch batch(userPath, referencePath);
    Insert("C");
  }
  EXPECT_EQ(Rows(), 1);
  try {
    Batch batch(userPath, referencePath);
    Insert("D");
    Insert("E'");  // a stray apostrophe: the engine's error leaves the scope
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), err::kSyntax);
  }
  EXPECT_EQ(Rows(), 1);
  EXPECT_TRUE(OtherProcessCanWrite(userPath, referencePath));
}

TEST_P(BatchScope, TheReferenceDatabaseStaysOpenBetweenItsUnitsUntilTheBatchEnds) {
  const auto unit = [&] {
    Conexion().mdb(bd340lec);
    Conexion().InicializaBD(referencePath);
    auto db = Conexion().database();
    Conexion().Cerrar();
    return db;
  };
  std::shared_ptr<db::Database> first;
  {
    Batch batch(userPath, referencePath);
    first = unit();
    EXPECT_FALSE(first->isOpen());  // unusable between units
    ExpectError(err::kObjectInvalid,
                [&] { Conexion().openRecordset("SELECT count(*) FROM TPaises"); });
    EXPECT_EQ(unit(), first);
    EXPECT_EQ(ScalarReference("SELECT count(*) FROM TPaises WHERE codigo = 'FR'").toLong(), 1);
  }
  EXPECT_FALSE(first->isOpen());
  EXPECT_NE(unit(), first);  // each call opens the file afresh again
  EXPECT_TRUE(OtherProcessCanWrite(userPath, referencePath));
}

TEST_P(BatchScope, AnInnerBatchUndoesOnlyItsPartAndOtherFilesAreRefused) {
  {
    Batch outer(userPath, referencePath);
    Insert("A");
    {
      Batch inner(userPath, referencePath);
      Insert("B");
      inner.Cancel();
    }
    {
      Batch inner(userPath, referencePath);
      Insert("C");
    }
    EXPECT_EQ(Rows(), 2);
    ExpectError(err::kInvalidCall, [&] { Batch other((dir / "x.db").string(), referencePath); });
  }
  EXPECT_EQ(ScalarUser("SELECT min(NIF) || max(NIF) FROM tOperadores").toString(), "AC");
}

// The file engine takes no savepoint inside such work; the server ignores it.
TEST_P(BatchScope, WorkUndoneOnlyAsAWholeRefusesAllAfterAFailureUntilTheBatchIsUndone) {
  {
    Batch batch(userPath, referencePath);
    Insert("A");
    {
      const db::UndoneAsAWhole whole;
      Insert("B");
      ExpectError(err::kTextTooLong, [&] { Insert("1234567890123456"); });
      if (!OnServer()) ExpectError(3000, [&] { Insert("C"); });
    }
    if (!OnServer()) ExpectError(3000, [&] { batch.Commit(); });
  }
  EXPECT_EQ(Rows(), OnServer() ? 2 : 0);
  {
    Batch batch(userPath, referencePath);
    const db::UndoneAsAWhole whole;
    Insert("D");
  }
  EXPECT_EQ(Rows(), OnServer() ? 3 : 1);
}

TEST_P(BatchScope, LateBoundMembersOfTheImportClass) {
  auto import = CreateObject("kolvar.cImportacion");
  import->Let("mdblec", Value(referencePath));
  import->Let("mdbmod", Value(userPath));
  std::vector<Value> none;
  import->Call("IniciarLote", none);
  Insert("A");
  import->Call("CancelarLote", none);
  EXPECT_EQ(Rows(), 0);
  import->Call("IniciarLote", none);
  Insert("B");
  import->Call("TerminarLote", none);
  EXPECT_EQ(Rows(), 1);
  ExpectError(err::kInvalidCall, [&] { import->Call("TerminarLote", none); });

  const std::string file = (dir / "f.txt").string();
  ASSERT_TRUE(generated::WriteFile(file, 2014, 14));
  import->Let("Declaracion", Value("7"));
  import->Let("Ejercicio", Value(std::int32_t{2014}));
  import->Let("Periodo", Value(std::int16_t{12}));
  import->Let("Periodicidad", Value(std::int16_t{1}));
  import->Let("EjercicioMin", Value(std::int32_t{2009}));
  import->Let("EjercicioMax", Value(std::int32_t{2014}));
  std::vector<Value> args{Value(file)};
  const Value r = import->Call("ImportarFichero", args);
  EXPECT_EQ(r(0).toLong(), 15);
  EXPECT_EQ(r(3).toLong(), 14);
  EXPECT_TRUE(r(7).isNull());
  EXPECT_EQ(Rows(), 15);
  EXPECT_TRUE(OtherProcessCanWrite(userPath, referencePath));
}

TEST_P(BatchScope, NoLockLeftAfterPublicCallsEvenOnTheirErrorPaths) {
  auto declarado = CreateObject("kolvar.cDeclarado");
  declarado->Let("mdbmod", Value(userPath));
  declarado->Let("mdblec", Value(referencePath));
  Value record = Value::Array({{0, 37}});
  record(0) = std::int32_t{7};
  record(8) = "E";
  std::vector<Value> args{record, Value(false)};
  declarado->Call("GuardarDeclarado", args);  // leaves the user database open
  EXPECT_TRUE(OtherProcessCanWrite(userPath, referencePath));
  args = {Value("20140101"), Value("FR")};
  declarado->Call("comprobarFechaDeIngreso", args);
  EXPECT_TRUE(OtherProcessCanWrite(userPath, referencePath));
  ExpectError(err::kSyntax, [&] { Insert("X'"); });  // fails before its Cerrar
  EXPECT_TRUE(OtherProcessCanWrite(userPath, referencePath));
  EXPECT_EQ(Rows(), 1);
}

}  // namespace
}  // namespace kolvar::testing
