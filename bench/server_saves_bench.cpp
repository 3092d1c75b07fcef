// Records saved per second by 1, 4 and 8 processes writing into one user
// database at once, on an SQLite file and on PostgreSQL: each process saves
// new records of books E, R, I and U into a declaration of its own through
// GuardarDeclarado, one public call each. Beside each run, the anchor: the
// same processes doing the same writes on the raw engine (the record's row
// and its detail row in one transaction, prepared statements, one connection
// kept open). A save the engine refused (3050: busy beyond the wait, or a
// conflict tried again too often) is counted and not retried; the library's
// own retries of lost conflicts are counted too.
//   server_saves_bench [seconds per run]          (default 10)
// The server is the one KOLVAR_TEST_PG names, or a throwaway cluster.
#include <fcntl.h>
#include <libpq-fe.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench_run.h"
#include "bench_server.h"
#include "dbaccess/conflict_retry.h"
#include "dbaccess/pg/pg_connection.h"
#include "declared/sample_records.h"
#include "kolvar/kolvar.h"

extern char** environ;

namespace {

using kolvar::bench::Clock;
namespace fs = std::filesystem;
using kolvar::Value;

constexpr const char* kBooks[] = {"E", "R", "I", "U"};
constexpr const char* kDetailOfBook[] = {"tdpfe", "tdpfr", "tdpbi", "tdpdoi"};

struct Tally {
  long long saves = 0;
  long long refused = 0;  // 3050 raised to the caller
  long long retries = 0;  // units of work the library tried again
  double seconds = 0;
};

// One process's work through the public call, until the time is up.
Tally SaveThroughLibrary(const std::string& user, std::int32_t declaration, double seconds) {
  auto svc = kolvar::CreateObject("kolvar.cDeclarado");
  svc->Let("mdbmod", Value(user));
  svc->Let("EjercicioDestino", Value(std::int16_t{2014}));
  Tally t;
  const auto start = Clock::now();
  const auto until = start + std::chrono::duration<double>(seconds);
  for (int n = 0; Clock::now() < until; ++n) {
    Value b = kolvar::testing::SampleRecord(declaration, kBooks[n % 4]);
    b(17) = "P" + std::to_string(declaration) + "-" + std::to_string(n);
    std::vector<Value> args{b, false};
    try {
      svc->Call("GuardarDeclarado", args);
      ++t.saves;
    } catch (const kolvar::Error& e) {
      if (e.number() != kolvar::err::kLocked) throw;
      ++t.refused;
    }
  }
  t.seconds = kolvar::bench::Since(start);
  t.retries = kolvar::ConflictRetriesSoFar();
  return t;
}

std::string RecordInsert(char mark) {
  std::string sql =
      "INSERT INTO tOperadores (CSCI, NIF, NOMBRE, PAIS, CNIPR, CDTL, FDE, FDO, BIMP, CUOTA, "
      "IMPTF, IDFACTURA) VALUES (";
  for (int i = 1; i <= 12; ++i)
    sql += (i > 1 ? ", " : "") + (mark == '$' ? "$" + std::to_string(i) : std::string("?"));
  return sql + ")";
}

std::vector<std::string> RecordValues(std::int32_t declaration, int n) {
  return {std::to_string(declaration),
          "12345678Z",
          "Fulano S.L.",
          "ES",
          "1",
          kBooks[n % 4],
          "20140115",
          "20140110",
          "1000.5",
          "210.1",
          "1210.6",
          "P" + std::to_string(declaration) + "-" + std::to_string(n)};
}

// The same writes on SQLite: the library's journal and sync settings and wait.
Tally SaveRawSqlite(const std::string& user, std::int32_t declaration, double seconds) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(user.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_busy_timeout(db, 2000);
  sqlite3_exec(db, "PRAGMA synchronous=OFF; PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
  sqlite3_stmt* record = nullptr;
  sqlite3_prepare_v2(db, RecordInsert('?').c_str(), -1, &record, nullptr);
  sqlite3_stmt* details[4] = {};
  for (int k = 0; k < 4; ++k)
    sqlite3_prepare_v2(
        db,
        (std::string("INSERT INTO ") + kDetailOfBook[k] + " (CSCI, CSDO) VALUES (?, ?)").c_str(),
        -1, &details[k], nullptr);
  Tally t;
  const auto start = Clock::now();
  const auto until = start + std::chrono::duration<double>(seconds);
  for (int n = 0; Clock::now() < until; ++n) {
    if (sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr) != SQLITE_OK) {
      ++t.refused;
      continue;
    }
    const auto values = RecordValues(declaration, n);
    for (int i = 0; i < 12; ++i)
      sqlite3_bind_text(record, i + 1, values[i].c_str(), -1, SQLITE_TRANSIENT);
    bool ok = sqlite3_step(record) == SQLITE_DONE;
    sqlite3_reset(record);
    sqlite3_stmt* detail = details[n % 4];
    sqlite3_bind_int(detail, 1, declaration);
    sqlite3_bind_int64(detail, 2, sqlite3_last_insert_rowid(db));
    ok = ok && sqlite3_step(detail) == SQLITE_DONE;
    sqlite3_reset(detail);
    if (ok && sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK) {
      ++t.saves;
    } else {
      sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
      ++t.refused;
    }
  }
  t.seconds = kolvar::bench::Since(start);
  for (sqlite3_stmt* s : details) sqlite3_finalize(s);
  sqlite3_finalize(record);
  sqlite3_close(db);
  return t;
}

bool Ok(PGresult* r) {
  const auto status = PQresultStatus(r);
  const bool ok = status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
  return ok;
}

// The same writes on the server, in serializable transactions as the library's.
Tally SaveRawServer(const std::string& user, std::int32_t declaration, double seconds) {
  kolvar::bench::ServerSession session(user);
  PGconn* conn = session.handle();
  PQclear(PQprepare(conn, "record", (RecordInsert('$') + " RETURNING csdo").c_str(), 0, nullptr));
  for (int k = 0; k < 4; ++k)
    PQclear(PQprepare(conn, kDetailOfBook[k],
                      (std::string("INSERT INTO ") + kDetailOfBook[k] +
                       " (csci, csdo) VALUES ($1::integer, $2::integer)")
                          .c_str(),
                      0, nullptr));
  Tally t;
  const auto start = Clock::now();
  const auto until = start + std::chrono::duration<double>(seconds);
  for (int n = 0; Clock::now() < until; ++n) {
    PQclear(PQexec(conn, "BEGIN ISOLATION LEVEL SERIALIZABLE"));
    const auto values = RecordValues(declaration, n);
    const char* params[12];
    for (int i = 0; i < 12; ++i) params[i] = values[i].c_str();
    PGresult* r = PQexecPrepared(conn, "record", 12, params, nullptr, nullptr, 0);
    bool ok = Ok(r) && PQntuples(r) == 1;
    const std::string key = ok ? PQgetvalue(r, 0, 0) : "";
    PQclear(r);
    if (ok) {
      const std::string csci = std::to_string(declaration);
      const char* detail[] = {csci.c_str(), key.c_str()};
      r = PQexecPrepared(conn, kDetailOfBook[n % 4], 2, detail, nullptr, nullptr, 0);
      ok = Ok(r);
      PQclear(r);
    }
    if (ok) {
      r = PQexec(conn, "COMMIT");
      ok = Ok(r);
      PQclear(r);
    } else {
      PQclear(PQexec(conn, "ROLLBACK"));
    }
    ++(ok ? t.saves : t.refused);
  }
  t.seconds = kolvar::bench::Since(start);
  return t;
}

// The child's side: one process's work, its tally written to `report`.
int Child(char** argv) {
  const std::string mode = argv[2], user = argv[3];
  const std::int32_t declaration = std::atoi(argv[4]);
  const double seconds = std::atof(argv[5]);
  const bool server = kolvar::db::pg::IsServerAddress(user);
  Tally t;
  if (mode == "library")
    t = SaveThroughLibrary(user, declaration, seconds);
  else
    t = server ? SaveRawServer(user, declaration, seconds)
               : SaveRawSqlite(user, declaration, seconds);
  std::ofstream(argv[6]) << t.saves << ' ' << t.refused << ' ' << t.retries << ' ' << t.seconds
                         << '\n';
  return 0;
}

// `processes` children at once; their tallies summed (rates per process summed).
struct Run {
  double perSecond = 0;
  long long saves = 0, refused = 0, retries = 0;
};

Run Spawn(const char* self, const std::string& mode, const std::string& user, int processes,
          double seconds, const fs::path& dir) {
  std::vector<pid_t> children;
  std::vector<std::string> reports;
  for (int p = 0; p < processes; ++p) {
    reports.push_back((dir / ("report" + std::to_string(p))).string());
    const std::string args[] = {
        self,          "--child", mode, user, std::to_string(101 + p), std::to_string(seconds),
        reports.back()};
    std::vector<char*> argv;
    for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, self, nullptr, nullptr, argv.data(), environ) == 0)
      children.push_back(pid);
  }
  Run run;
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
      std::printf("  a writing process failed (status %d)\n", status);
  }
  for (const auto& report : reports) {
    std::ifstream in(report);
    Tally t;
    if (!(in >> t.saves >> t.refused >> t.retries >> t.seconds) || t.seconds <= 0) continue;
    run.perSecond += t.saves / t.seconds;
    run.saves += t.saves;
    run.refused += t.refused;
    run.retries += t.retries;
    fs::remove(report);
  }
  return run;
}

long long StoredSqlite(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* s = nullptr;
  sqlite3_prepare_v2(db, "SELECT count(*) FROM tOperadores", -1, &s, nullptr);
  const long long n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
  sqlite3_finalize(s);
  sqlite3_close(db);
  return n;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 7 && std::strcmp(argv[1], "--child") == 0) return Child(argv);
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const double seconds = kolvar::bench::SizeArgument(argc, argv, 10.0, "seconds per run");
  const kolvar::bench::BenchServer server;
  const std::string tag = std::to_string(getpid());
  const fs::path dir = fs::temp_directory_path() / ("kolvar-saves-bench-" + tag);
  fs::create_directories(dir);
  std::printf("%s\n", server.Settings().c_str());
  std::printf("%-10s %9s %11s %12s %9s %9s %13s %12s %7s\n", "engine", "processes", "saves/s",
              "per process", "3050", "retries", "raw saves/s", "raw 3050", "ratio");
  bool whole = true;
  for (const bool onServer : {false, true}) {
    for (const int processes : {1, 4, 8}) {
      Run runs[2];
      long long stored[2] = {};
      for (int k = 0; k < 2; ++k) {
        const std::string schema = "kb_saves_" + tag + "_" + std::to_string(k);
        const std::string user = onServer ? server.NewSchema(schema)
                                          : (dir / ("u" + std::to_string(k) + ".db")).string();
        kolvar::CreateUserDatabase(user);
        runs[k] = Spawn(argv[0], k == 0 ? "library" : "raw", user, processes, seconds, dir);
        if (onServer) {
          stored[k] = std::stoll(
              kolvar::bench::ServerSession(user).Query("SELECT count(*) FROM toperadores"));
          server.DropSchema(schema);
        } else {
          stored[k] = StoredSqlite(user);
          fs::remove(user);
        }
        whole = whole && stored[k] == runs[k].saves;
      }
      std::printf("%-10s %9d %11.0f %12.0f %9lld %9lld %13.0f %12lld %7.1f\n",
                  onServer ? "PostgreSQL" : "SQLite", processes, runs[0].perSecond,
                  runs[0].perSecond / processes, runs[0].refused, runs[0].retries,
                  runs[1].perSecond, runs[1].refused,
                  runs[0].perSecond > 0 ? runs[1].perSecond / runs[0].perSecond : 0.0);
      if (stored[0] != runs[0].saves || stored[1] != runs[1].saves)
        std::printf("  stored %lld and %lld records, reported %lld and %lld\n", stored[0],
                    stored[1], runs[0].saves, runs[1].saves);
    }
  }
  std::printf("ratio: raw saves/s over the library's (how many times faster the bare engine is)\n");
  kolvar::bench::PrintLoadAverage("end");
  fs::remove_all(dir);
  return whole ? 0 : 1;
}
