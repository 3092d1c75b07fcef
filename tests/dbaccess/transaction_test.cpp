// Units of work: all or nothing, nested scopes joining the open one, the write
// lock taken at the start, and the key of the row this connection inserted.
#include "dbaccess/transaction.h"

#include <sqlite3.h>

#include <algorithm>

#include "dbaccess/conexion.h"
#include "dbaccess/unit_of_work.h"
#include "integrity/database_dump.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class TransactionFixture : public DatabaseTest {
 protected:
  void Open() {
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(userPath);
  }
  void Insert(const std::string& name) {
    Conexion().execute("INSERT INTO TDeclarante (nombred) VALUES ('" + name + "')");
  }
  std::string Names() {
    std::string rows = RowsUser("SELECT nombred FROM TDeclarante ORDER BY CSDE");
    std::replace(rows.begin(), rows.end(), '\n', ',');
    if (!rows.empty()) rows.pop_back();
    return rows;
  }
};

class TransactionTest : public PerEngine<TransactionFixture> {};
KOLVAR_PER_ENGINE(TransactionTest);

TEST_P(TransactionTest, InnerUnitsJoinTheOpenOneAndAFailureUndoesOnlyItself) {
  Open();
  {
    db::Transaction outer = WriteUnit();
    Insert("a");
    try {
      // A service inside the unit opens the same file again and closes it.
      WritingOnDatabase(bd340mod, userPath, [&] {
        Insert("b");
        Raise(err::kTypeMismatch);
      });
    } catch (const Error&) {
    }
    WritingOnDatabase(bd340mod, userPath, [&] { Insert("c"); });
    ExpectError(err::kObjectInvalid, [&] { Insert("closed"); });  // the inner Cerrar holds
    Open();
    Insert("d");
    // Nothing is in the database before the outermost commit.
    EXPECT_EQ(DumpRows(userPath, "SELECT count(*) FROM TDeclarante"), "0\n");
    outer.commit();
  }
  EXPECT_EQ(Names(), "a,c,d");
  Open();
  {
    db::Transaction left = WriteUnit();
    Insert("e");
  }             // left without commit
  Insert("f");  // the connection is outside any transaction again
  Conexion().Cerrar();
  EXPECT_EQ(Names(), "a,c,d,f");
}

TEST_P(TransactionTest, TheKeyIsTheOneThisUnitGotAndStatementsCannotEndUnits) {
  ASSERT_EQ(ExecOutside(userPath, "INSERT INTO TDeclarante (nombred) VALUES ('other')"), "");
  Open();
  {
    db::Transaction unit = WriteUnit();
    Insert("mine");
    const std::int32_t mine = Conexion().lastInsertKey();
    // A row another writer adds later does not move the key this unit got.
    unit.commit();
    ASSERT_EQ(ExecOutside(userPath, "INSERT INTO TDeclarante (nombred) VALUES ('later')"), "");
    EXPECT_EQ(Conexion().lastInsertKey(), mine);
    EXPECT_EQ(ScalarUser("SELECT nombred FROM TDeclarante WHERE CSDE = " + std::to_string(mine))
                  .toString(),
              "mine");
  }
  Open();
  for (const char* control : {"BEGIN", " commit", "ROLLBACK", "SAVEPOINT x"})
    ExpectError(err::kInvalidOperation, [&] { Conexion().execute(control); });
  Conexion().Cerrar();
  EXPECT_EQ(Names(), "other,mine,later");
}

// A file's write lock: taken when the unit starts, so a second writer waits.
class FileTransactionTest : public TransactionFixture {};

TEST_F(FileTransactionTest, TheWriteLockIsTakenAtTheStartAndWaitsForTheOtherWriter) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(userPath.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  Open();
  ExpectError(err::kLocked, [&] { db::Transaction unit = WriteUnit(); });
  sqlite3_exec(other, "INSERT INTO TDeclarante (nombred) VALUES ('other'); COMMIT", nullptr,
               nullptr, nullptr);
  sqlite3_close(other);
  {
    db::Transaction unit = WriteUnit();
    Insert("mine");
    unit.commit();
  }
  Conexion().Cerrar();
  EXPECT_EQ(Names(), "other,mine");
}

}  // namespace
}  // namespace kolvar::testing
