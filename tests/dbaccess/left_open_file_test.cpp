// A file that a unit of work leaves open (the save methods do not close it)
// is taken up again by the next unit on the same path: it holds no lock in
// between, it sees what others wrote, and it is never a file that the path
// no longer names.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

#include "dbaccess/conexion.h"
#include "dbaccess/schema.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class LeftOpenFile : public DatabaseTest {
 protected:
  // A unit of work that ends without closing, as the save methods do.
  void WriteLeavingOpen(const std::string& path, const std::string& sql) {
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(path);
    Conexion().execute(sql);
  }
  // Takes a write lock with no wait: fails when anyone holds a lock on the file.
  static bool CanLockExclusively(const std::string& path) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    const bool locked = sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    return locked;
  }
  static void ExecElsewhere(const std::string& path, const std::string& sql) {
    auto other = db::OpenDatabase(path);
    other->execute(sql);
    other->close();
  }
};

TEST_F(LeftOpenFile, IsTakenUpAgainWithoutLockInBetweenAndSeesOtherWriters) {
  WriteLeavingOpen(userPath, "INSERT INTO TDeclarante (dni_cifd) VALUES ('A')");
  const auto left = Conexion().database();
  EXPECT_TRUE(CanLockExclusively(userPath));
  ExecElsewhere(userPath, "UPDATE tgeneral SET Idioma = 'B'");
  ExecElsewhere(userPath, "INSERT INTO TDeclarante (dni_cifd) VALUES ('X')");

  Conexion().mdb(bd340mod);
  Conexion().InicializaBD(userPath);
  EXPECT_EQ(Conexion().database(), left);  // taken up, not opened again
  auto rs = Conexion().openRecordset("SELECT Idioma FROM tgeneral");
  EXPECT_EQ(rs->field(0).toString(), "B");
  EXPECT_EQ(Conexion().lastInsertKey(), 0);  // nothing inserted in this unit yet
  Conexion().execute("INSERT INTO TDeclarante (dni_cifd) VALUES ('Y')");
  EXPECT_EQ(Conexion().lastInsertKey(), 3);    // after the other writer's row
  EXPECT_FALSE(CanLockExclusively(userPath));  // the result set reads
  Conexion().Cerrar();
  ExpectError(err::kObjectInvalid, [&] { rs->field(0); });
  EXPECT_TRUE(CanLockExclusively(userPath));
}

TEST_F(LeftOpenFile, IsOpenedAfreshWhenThePathNamesAnotherFileOrNone) {
  const std::string copy = OtherUserDatabase("copia");
  WriteLeavingOpen(userPath, "UPDATE tgeneral SET Idioma = 'A'");
  const auto left = Conexion().database();
  std::filesystem::rename(copy, userPath);  // a copy put in its place

  WriteLeavingOpen(userPath, "UPDATE tgeneral SET ActOnline = 7");
  EXPECT_NE(Conexion().database(), left);
  EXPECT_EQ(RowsUser("SELECT Idioma, ActOnline FROM tgeneral"), "C|7\n");

  WriteLeavingOpen(userPath, "UPDATE tgeneral SET ActOnline = 8");
  std::filesystem::remove(userPath);
  Conexion().mdb(bd340mod);
  ExpectError(err::kFileNotFound, [&] { Conexion().InicializaBD(userPath); });
}

TEST_F(LeftOpenFile, StatementsAndColumnChecksFollowASchemaChangedByAnotherConnection) {
  const std::string earlier = OtherUserDatabase("anterior", UserLayout::Earlier);
  WriteLeavingOpen(earlier, "INSERT INTO tdpfe (CSCI, CSDO, NOFAC) VALUES (1, 1, 1)");
  const auto left = Conexion().database();
  Conexion().openRecordset("SELECT * FROM tdpfe")->close();  // its statement is kept
  const db::Column* refcat = db::FindColumn("tdpfe", "REFCAT");
  ASSERT_NE(refcat, nullptr);
  ExecElsewhere(earlier, "ALTER TABLE tdpfe ADD COLUMN " + db::ColumnDefinition(*refcat));

  Conexion().mdb(bd340mod);
  Conexion().InicializaBD(earlier);
  ASSERT_EQ(Conexion().database(), left);
  auto all = Conexion().openRecordset("SELECT * FROM tdpfe");
  EXPECT_EQ(all->fieldName(all->fieldCount() - 1), "REFCAT");
  EXPECT_TRUE(all->field("REFCAT").isNull());
  all->close();
  const std::string insert = "INSERT INTO tdpfe (CSCI, CSDO, NOFAC, REFCAT) VALUES (1, 2, 1, '";
  ExpectError(err::kTextTooLong, [&] { Conexion().execute(insert + std::string(26, 'R') + "')"); });
  Conexion().execute(insert + std::string(25, 'R') + "')");
  Conexion().Cerrar();
}

}  // namespace
}  // namespace kolvar::testing
