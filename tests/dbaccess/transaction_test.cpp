// Units of work: all or nothing, nested scopes joining the open one, the write
// lock taken at the start, and the key of the row this connection inserted.
#include "dbaccess/transaction.h"

#include <sqlite3.h>

#include "dbaccess/conexion.h"
#include "dbaccess/unit_of_work.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class TransactionTest : public DatabaseTest {
 protected:
  void Open() {
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(userPath);
  }
  void Insert(const std::string& name) {
    Conexion().execute("INSERT INTO TDeclarante (nombred) VALUES ('" + name + "')");
  }
  std::string Names() {
    return ScalarUser(
               "SELECT group_concat(nombred, ',') FROM (SELECT nombred FROM TDeclarante "
               "ORDER BY CSDE)")
        .toString();
  }
};

TEST_F(TransactionTest, InnerUnitsJoinTheOpenOneAndAFailureUndoesOnlyItself) {
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
    // Nothing is in the file before the outermost commit.
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(userPath.c_str(), &other), SQLITE_OK);
    sqlite3_stmt* count = nullptr;
    sqlite3_prepare_v2(other, "SELECT count(*) FROM TDeclarante", -1, &count, nullptr);
    ASSERT_EQ(sqlite3_step(count), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(count, 0), 0);
    sqlite3_finalize(count);
    sqlite3_close(other);
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

TEST_F(TransactionTest, TheWriteLockIsTakenAtTheStartAndWaitsForTheOtherWriter) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(userPath.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  Open();
  ExpectError(err::kLocked, [&] { db::Transaction unit = WriteUnit(); });
  sqlite3_exec(other, "INSERT INTO TDeclarante (nombred) VALUES ('other'); COMMIT", nullptr,
               nullptr, nullptr);
  {
    db::Transaction unit = WriteUnit();
    Insert("mine");
    const std::int32_t mine = Conexion().lastInsertKey();
    // A row another writer adds later does not move the key this unit got.
    unit.commit();
    sqlite3_exec(other, "INSERT INTO TDeclarante (nombred) VALUES ('later')", nullptr, nullptr,
                 nullptr);
    EXPECT_EQ(Conexion().lastInsertKey(), mine);
    EXPECT_EQ(ScalarUser("SELECT nombred FROM TDeclarante WHERE CSDE = " + std::to_string(mine))
                  .toString(),
              "mine");
  }
  sqlite3_close(other);
  Open();
  ExpectError(err::kInvalidOperation, [&] { Conexion().execute("BEGIN"); });
  ExpectError(err::kInvalidOperation, [&] { Conexion().execute(" commit"); });
  EXPECT_EQ(Names(), "other,mine,later");
}

}  // namespace
}  // namespace kolvar::testing
