// The user database copied with cp between sessions of work and copied back:
// the .db file alone holds every finished call, and a side file left by
// another copy of the file is never applied to it.
// Files only: a server's database is not copied as a file.
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "dbaccess/sqlite_engine.h"
#include "declarants/declarant_service.h"
#include "reference/datos_generales.h"
#include "support/child_process.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

namespace fs = std::filesystem;

// A file layer that ends the process right after the first page of the
// database file has been written, as a crash in the middle of a commit would.
sqlite3_io_methods dyingMethods;
int (*realWrite)(sqlite3_file*, const void*, int, sqlite3_int64);
int (*realOpen)(sqlite3_vfs*, const char*, sqlite3_file*, int, int*);
int WriteThenDie(sqlite3_file* f, const void* data, int n, sqlite3_int64 offset) {
  const int rc = realWrite(f, data, n, offset);
  if (offset == 0) _exit(0);
  return rc;
}
int OpenDying(sqlite3_vfs* vfs, const char* name, sqlite3_file* f, int flags, int* out) {
  const int rc = realOpen(vfs, name, f, flags, out);
  if (rc == SQLITE_OK && (flags & SQLITE_OPEN_MAIN_DB)) {
    dyingMethods = *f->pMethods;
    realWrite = f->pMethods->xWrite;
    dyingMethods.xWrite = WriteThenDie;
    f->pMethods = &dyingMethods;
  }
  return rc;
}
const char* DyingVfs() {
  static sqlite3_vfs vfs = [] {
    sqlite3_vfs v = *sqlite3_vfs_find(nullptr);
    realOpen = v.xOpen;
    v.xOpen = OpenDying;
    v.zName = "dies-after-page-one";
    return v;
  }();
  sqlite3_vfs_register(&vfs, 0);
  return vfs.zName;
}

class CopySafety : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    backupPath = (dir / "copia.db").string();
  }
  static Value Buffer(const std::string& nif) {
    Value b = Value::Array({{0, 17}});
    const Value cells[] = {
        0,   nif,   "NOMBRE " + nif, "CL", "Mayor",     5,     "B",         "2",        "3",
        "D", 28001, "Madrid",        "",   "910000000", "Ana", "600000000", "11111111H"};
    for (std::int32_t i = 0; i < 17; ++i) b(i) = cells[i];
    return b;
  }
  // A session of work in its own process: `count` declarants saved, and the
  // process gone without closing anything (the save leaves the file open).
  void Session(int from, int count) {
    const auto [out, status] = RunInChild([&](std::string&) {
      cDeclarante service;
      service.mdbmod(userPath);
      for (int i = from; i < from + count; ++i)
        service.GuardarDeclarante(Buffer(std::to_string(i)));
    });
    ASSERT_EQ(status, 0) << out;
  }
  // How a process dies in the middle of a transaction, leaving a hot journal:
  // Growing: inserts large enough to have written part of them into the file;
  // Rewriting: changes rows in place (the first page of the file untouched),
  //   after committing 300 rows to change;
  // Committing: while its commit writes the file, right after the first page.
  enum class Crash { Growing, Rewriting, Committing };
  void CrashMidTransaction(Crash how) {
    const auto [out, status] = RunInChild([&](std::string&) {
      sqlite3* db = nullptr;
      sqlite3_open_v2(userPath.c_str(), &db, SQLITE_OPEN_READWRITE,
                      how == Crash::Committing ? DyingVfs() : nullptr);
      auto exec = [&](const std::string& sql) {
        sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
      };
      const std::string big(1000, 'x');
      exec("BEGIN");
      for (int i = 0; i < 300; ++i)
        exec("INSERT INTO TDeclarante (dni_cifd, nombred) VALUES ('C', '" + big + "')");
      if (how == Crash::Rewriting) exec("COMMIT");
      exec("PRAGMA cache_size=10");
      if (how == Crash::Rewriting)
        exec("BEGIN; UPDATE TDeclarante SET nombred = upper(nombred) WHERE dni_cifd = 'C'");
      exec("DELETE FROM TDeclarante WHERE CSDE < 20");
      if (how == Crash::Committing) exec("COMMIT");
    });
    ASSERT_EQ(status, 0) << out;
    ASSERT_GT(fs::file_size(userPath + "-journal"), 0u);
  }
  std::int32_t Declarants(const std::string& path) {
    cDatosGenerales datos;
    datos.mdbmod(path);
    return datos.NumeroDeclarantes();
  }
  std::string IntegrityCheck(const std::string& path) {
    auto database = db::ThreadEngine().openDatabase(path);
    std::string verdict;
    sqlite3_exec(
        static_cast<db::sqlite::Database&>(*database).handle(), "PRAGMA integrity_check",
        [](void* out, int, char** values, char**) {
          *static_cast<std::string*>(out) += values[0];
          return 0;
        },
        &verdict, nullptr);
    database->close();
    return verdict;
  }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool SideFiles(const std::string& path) {
    return fs::exists(path + "-journal") || fs::exists(path + "-wal") || fs::exists(path + "-shm");
  }
  std::string backupPath;
};

TEST_F(CopySafety, CopyTakenWhileTheFileIsOpenOrAnotherWriterHasAJournalHoldsEveryFinishedCall) {
  Session(0, 20);
  // The save leaves the file open; the copy is taken before anything closes it.
  cDeclarante service;
  service.mdbmod(userPath);
  service.GuardarDeclarante(Buffer("abierto"));
  EXPECT_FALSE(SideFiles(userPath));
  fs::copy_file(userPath, backupPath);
  EXPECT_EQ(Declarants(backupPath), 21);

  // Another writer is in the middle of its work: its journal is beside the file.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(userPath.c_str(), &other), SQLITE_OK);
  sqlite3_exec(other, "BEGIN IMMEDIATE; DELETE FROM TDeclarante WHERE CSDE > 5", nullptr, nullptr,
               nullptr);
  ASSERT_TRUE(fs::exists(userPath + "-journal"));
  fs::copy_file(userPath, backupPath, fs::copy_options::overwrite_existing);
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(Declarants(backupPath), 21);
  EXPECT_EQ(IntegrityCheck(backupPath), "ok");
}

TEST_F(CopySafety, RestoredCopyBesideAStaleJournalHoldsExactlyItsRecords) {
  Session(0, 51);
  fs::copy_file(userPath, backupPath);
  Session(51, 50);
  EXPECT_EQ(Declarants(userPath), 101);

  // A crash of this file's own lineage is undone on the next opening, before
  // or after its commit reached the first page of the file.
  for (auto [how, count] :
       {std::pair{Crash::Growing, 101}, {Crash::Committing, 101}, {Crash::Rewriting, 401}}) {
    const std::string beforeCrash = Bytes(userPath);
    CrashMidTransaction(how);
    ASSERT_NE(Bytes(userPath), beforeCrash) << "the crash wrote nothing into the file";
    EXPECT_EQ(Declarants(userPath), count);
    EXPECT_EQ(ScalarUser("SELECT count(*) FROM TDeclarante WHERE unicode(nombred) = 88").toLong(),
              0);  // nothing of the crashed transaction is left
    EXPECT_EQ(IntegrityCheck(userPath), "ok");
    EXPECT_FALSE(SideFiles(userPath));
  }

  // Another crash, then the backup copied back over the file beside its journal.
  for (Crash how : {Crash::Growing, Crash::Rewriting}) {
    CrashMidTransaction(how);
    fs::copy_file(backupPath, userPath, fs::copy_options::overwrite_existing);
    EXPECT_EQ(Declarants(userPath), 51);
    EXPECT_EQ(IntegrityCheck(userPath), "ok");
    EXPECT_FALSE(SideFiles(userPath));
    EXPECT_EQ(Bytes(userPath), Bytes(backupPath));
  }
  Session(200, 1);
  EXPECT_EQ(Declarants(userPath), 52);
  EXPECT_EQ(IntegrityCheck(userPath), "ok");
}

TEST_F(CopySafety, RestoredCopyBesideAStaleWriteAheadLogHoldsExactlyItsRecords) {
  Session(0, 51);
  fs::copy_file(userPath, backupPath);
  // A later state of the file, kept in a write-ahead log that outlives its close.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(userPath.c_str(), &other), SQLITE_OK);
  sqlite3_exec(other, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
  int persist = 1;
  sqlite3_file_control(other, "main", SQLITE_FCNTL_PERSIST_WAL, &persist);
  for (int i = 0; i < 50; ++i)
    sqlite3_exec(other, "INSERT INTO TDeclarante (dni_cifd) VALUES ('W')", nullptr, nullptr,
                 nullptr);
  sqlite3_close(other);
  ASSERT_GT(fs::file_size(userPath + "-wal"), 0u);

  fs::copy_file(backupPath, userPath, fs::copy_options::overwrite_existing);
  EXPECT_EQ(Declarants(userPath), 51);
  EXPECT_EQ(IntegrityCheck(userPath), "ok");
  EXPECT_FALSE(fs::exists(userPath + "-wal"));
  Session(100, 2);
  EXPECT_EQ(Declarants(userPath), 53);
}

TEST_F(CopySafety, AFileMadeWithAWriteAheadLogKeepsItsWorkAndIsTurnedToARollbackJournal) {
  Session(0, 3);
  // Work of the former layout still in its log, as a crash leaves it.
  const auto [out, status] = RunInChild([&](std::string&) {
    sqlite3* db = nullptr;
    sqlite3_open(userPath.c_str(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=0", nullptr, nullptr,
                 nullptr);
    for (int i = 0; i < 4; ++i)
      sqlite3_exec(db, "INSERT INTO TDeclarante (dni_cifd) VALUES ('W')", nullptr, nullptr,
                   nullptr);
  });
  ASSERT_EQ(status, 0) << out;
  ASSERT_GT(fs::file_size(userPath + "-wal"), 0u);
  EXPECT_EQ(Declarants(userPath), 7);
  EXPECT_FALSE(SideFiles(userPath));
  EXPECT_EQ(Bytes(userPath).substr(18, 2), std::string("\x01\x01", 2));  // rollback journal
  EXPECT_EQ(IntegrityCheck(userPath), "ok");
}

}  // namespace
}  // namespace kolvar::testing
