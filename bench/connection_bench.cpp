// Cost of one unit of work on the shared connection (reading and writing),
// each beside raw SQLite doing the same work, and the cost of the journal and
// sync settings: commits per second with ours (rollback journal deleted at
// every commit, no sync), with a sync on every commit, and with the former
// write-ahead log.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_run.h"
#include "dbaccess/conexion.h"
#include "dbaccess/general.h"
#include "kolvar/kolvar.h"

namespace {

using kolvar::bench::Clock;
using kolvar::bench::CpuSeconds;
using kolvar::bench::Since;

std::string InsertText(int i) {
  return "INSERT INTO tOperadores "
         "(CSCI,NIF,NREP,NOMBRE,PAIS,CNIPR,NIFDPR,CDTL,CDO,FDE,FDO,TIPOIMP,BIMP,"
         "CUOTA,IMPTF, BASEIMPCOSTE,IDFACTURA,NODEREG )  VALUES ( 1, '12345678Z', '', 'NOMBRE " +
         std::to_string(i) +
         "', 'ES', '1', '', 'E', '', '20140101', '20140101', '21', '100.5', '21.1', '121.6', '0', "
         "'F-" +
         std::to_string(i) + "', '')";
}

void Report(const char* what, int units, double library, double raw) {
  kolvar::bench::PrintBesideAnchor(what, library / units * 1e6, raw / units * 1e6, "us per unit");
}

// Open, one-row select read into a buffer, close. The library and raw SQLite
// take turns, a tenth of the units at a time, and the quickest round of each
// is shown beside the mean: other work on a shared machine slows some rounds,
// seldom the same ones for both.
void ReadingUnit(const std::string& path, int units) {
  using kolvar::Conexion;
  constexpr int kRounds = 10;
  const int perRound = std::max(units / kRounds, 1);
  double library = 0, raw = 0, libraryCpu = 0, quickestLibrary = 1e9, quickestRaw = 1e9;
  for (int round = 0; round < kRounds; ++round) {
    const double cpu = CpuSeconds();
    auto start = Clock::now();
    for (int i = 0; i < perRound; ++i) {
      Conexion().mdb(kolvar::bd340mod);
      Conexion().InicializaBD(path);
      auto rs = Conexion().openRecordset("select Idioma, ActOnline from tgeneral");
      kolvar::General::CargarBuffer(*rs, 0);
      rs->close();
      Conexion().Cerrar();
    }
    const double l = Since(start);
    libraryCpu += CpuSeconds() - cpu;
    start = Clock::now();
    for (int i = 0; i < perRound; ++i) {
      sqlite3* db = nullptr;
      sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
      sqlite3_stmt* stmt = nullptr;
      sqlite3_prepare_v2(db, "select Idioma, ActOnline from tgeneral", -1, &stmt, nullptr);
      sqlite3_step(stmt);
      sqlite3_column_text(stmt, 0);
      sqlite3_column_int(stmt, 1);
      sqlite3_finalize(stmt);
      sqlite3_close(db);
    }
    const double r = Since(start);
    library += l, raw += r;
    quickestLibrary = std::min(quickestLibrary, l), quickestRaw = std::min(quickestRaw, r);
  }
  const int done = perRound * kRounds;
  Report("reading unit of work (open, one-row select, CargarBuffer, close), mean", done, library,
         raw);
  Report("  the same, quickest of 10 rounds", perRound, quickestLibrary, quickestRaw);
  std::printf("  library cpu %.1f us per unit\n", libraryCpu / done * 1e6);
}

// Open, one INSERT committed, close.
void WritingUnit(const std::string& path, const std::string& rawPath, int units) {
  using kolvar::Conexion;
  auto start = Clock::now();
  for (int i = 0; i < units; ++i) {
    Conexion().mdb(kolvar::bd340mod);
    Conexion().InicializaBD(path);
    Conexion().execute(InsertText(i));
    Conexion().Cerrar();
  }
  const double library = Since(start);
  start = Clock::now();
  for (int i = 0; i < units; ++i) {
    sqlite3* db = nullptr;
    sqlite3_open_v2(rawPath.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr);
    sqlite3_exec(db, InsertText(i).c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(db);
  }
  Report("writing unit of work (open, one INSERT committed, close)", units, library, Since(start));
}

// Commits per second of single-row INSERTs on one open raw connection.
double CommitsPerSecond(const std::string& path, const char* settings, int commits) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_exec(db, settings, nullptr, nullptr, nullptr);
  const auto start = Clock::now();
  for (int i = 0; i < commits; ++i)
    sqlite3_exec(db, InsertText(i).c_str(), nullptr, nullptr, nullptr);
  const double s = Since(start);
  sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return commits / s;
}

}  // namespace

int main(int argc, char** argv) {
  const int units = kolvar::bench::SizeArgument(argc, argv, 2000, "units of work");
  const auto dir = std::filesystem::temp_directory_path() / "kolvar-bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string user = (dir / "u.db").string(), raw = (dir / "raw.db").string();
  kolvar::CreateUserDatabase(user);
  kolvar::CreateUserDatabase(raw);

  ReadingUnit(user, units);
  WritingUnit(user, raw, units);

  // Through execute, each statement its own commit, on a connection kept open.
  using kolvar::Conexion;
  Conexion().mdb(kolvar::bd340mod);
  Conexion().InicializaBD(user);
  auto start = Clock::now();
  for (int i = 0; i < units; ++i) Conexion().execute(InsertText(i));
  const double viaExecute = units / Since(start);
  Conexion().Cerrar();

  const double ours = CommitsPerSecond(raw, "PRAGMA synchronous=OFF", units);
  const int synced = std::max(units / 20, 20);
  const double fullSync = CommitsPerSecond(raw, "PRAGMA synchronous=FULL", synced);
  const double normalSync = CommitsPerSecond(raw, "PRAGMA synchronous=NORMAL", synced);
  const double formerLog =
      CommitsPerSecond(raw, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", units);
  std::printf(
      "commits per second, one INSERT each: through execute %.0f; raw SQLite with the same "
      "settings %.0f, ratio %.1f\n",
      viaExecute, ours, ours / viaExecute);
  std::printf(
      "  raw SQLite, rollback journal with a sync on every commit: FULL %.0f, NORMAL %.0f; "
      "former write-ahead log (NORMAL) %.0f\n",
      fullSync, normalSync, formerLog);
  kolvar::bench::PrintLoadAverage("end");
  std::filesystem::remove_all(dir);
  return 0;
}
