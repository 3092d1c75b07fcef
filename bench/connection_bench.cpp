// Cost of one unit of work on the shared connection, and of single-row
// INSERTs through execute beside a raw prepared-statement insert of the same
// rows in one transaction.
#include <sqlite3.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "dbaccess/conexion.h"
#include "dbaccess/general.h"
#include "dbaccess/sqlite_engine.h"
#include "kolvar/kolvar.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

// Processor time of this process, user and system, in seconds.
double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_utime.tv_sec + u.ru_stime.tv_sec + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Mean wall and processor time of one unit of work on the database at path.
void UnitOfWork(const char* label, const std::string& path) {
  using kolvar::Conexion;
  const int units = 3000;
  const double cpu = CpuSeconds();
  const auto start = Clock::now();
  for (int i = 0; i < units; ++i) {
    Conexion().mdb(kolvar::bd340mod);
    Conexion().InicializaBD(path);
    auto rs = Conexion().openRecordset("select Idioma, ActOnline from tgeneral");
    kolvar::General::CargarBuffer(*rs, 0);
    rs->close();
    Conexion().Cerrar();
  }
  std::printf(
      "unit of work (open, one-row select, CargarBuffer, close), %s: %.1f us wall, %.1f us cpu\n",
      label, Seconds(start) / units * 1e6, (CpuSeconds() - cpu) / units * 1e6);
}

std::string InsertText(int i) {
  return "INSERT INTO tOperadores "
         "(CSCI,NIF,NREP,NOMBRE,PAIS,CNIPR,NIFDPR,CDTL,CDO,FDE,FDO,TIPOIMP,BIMP,"
         "CUOTA,IMPTF, BASEIMPCOSTE,IDFACTURA,NODEREG )  VALUES ( 1, '12345678Z', '', 'NOMBRE " +
         std::to_string(i) +
         "', 'ES', '1', '', 'E', '', '20140101', '20140101', '21', '100.5', '21.1', '121.6', '0', "
         "'F-" +
         std::to_string(i) + "', '')";
}

double RawInsert(const std::string& path, int rows) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(
      db,
      "INSERT INTO tOperadores (CSCI,NIF,NREP,NOMBRE,PAIS,CNIPR,NIFDPR,CDTL,CDO,FDE,FDO,TIPOIMP,"
      "BIMP,CUOTA,IMPTF,BASEIMPCOSTE,IDFACTURA,NODEREG) VALUES "
      "(1,'12345678Z','',?,'ES',1,'','E','',20140101,20140101,21,100.5,21.1,121.6,0,?,'')",
      -1, &stmt, nullptr);
  const auto start = Clock::now();
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  for (int i = 0; i < rows; ++i) {
    const std::string name = "NOMBRE " + std::to_string(i), id = "F-" + std::to_string(i);
    sqlite3_bind_text(stmt, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(stmt, 2, id.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(stmt);
    sqlite3_reset(stmt);
  }
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  const double s = Seconds(start);
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::stoi(argv[1]) : 100000;
  const auto dir = std::filesystem::temp_directory_path() / "kolvar-bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string user = (dir / "u.db").string(), raw = (dir / "raw.db").string();
  kolvar::CreateUserDatabase(user);
  kolvar::CreateUserDatabase(raw);
  using kolvar::Conexion;

  UnitOfWork("write-ahead log", user);
  // The same with a rollback journal, for comparison of the journal settings.
  const std::string rollback = (dir / "rollback.db").string();
  kolvar::CreateUserDatabase(rollback);
  sqlite3* h = nullptr;
  sqlite3_open(rollback.c_str(), &h);
  sqlite3_exec(h, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
  sqlite3_close(h);
  UnitOfWork("rollback journal", rollback);

  auto start = Clock::now();
  Conexion().mdb(kolvar::bd340mod);
  Conexion().InicializaBD(user);
  start = Clock::now();
  for (int i = 0; i < rows; ++i) Conexion().execute(InsertText(i));
  const double viaExecute = Seconds(start);
  Conexion().Cerrar();
  const double viaRaw = RawInsert(raw, rows);
  std::printf("%d single-row INSERTs through execute (each its own commit): %.2f s, %.0f rows/s\n",
              rows, viaExecute, rows / viaExecute);
  std::printf("%d rows, raw prepared statement in one transaction:        %.2f s, %.0f rows/s\n",
              rows, viaRaw, rows / viaRaw);
  std::printf("ratio raw/execute: %.1f\n", viaExecute / viaRaw);

  // The cost of the durability setting: the same commits with a sync of the
  // file on every commit instead of at checkpoints.
  const int fullRows = rows / 10;
  Conexion().InicializaBD(user);
  Conexion().execute("DELETE FROM tOperadores");
  sqlite3* handle = nullptr;
  {
    auto db = kolvar::db::ThreadEngine().openDatabase(user);
    handle = static_cast<kolvar::db::sqlite::Database&>(*db).handle();
    sqlite3_exec(handle, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    start = Clock::now();
    for (int i = 0; i < fullRows; ++i) db->execute(InsertText(i));
    const double full = Seconds(start);
    std::printf(
        "%d INSERTs with a sync on every commit: %.0f rows/s (default setting above: %.0f "
        "rows/s)\n",
        fullRows, fullRows / full, rows / viaExecute);
    db->close();
  }
  Conexion().Cerrar();
  std::filesystem::remove_all(dir);
  return 0;
}
