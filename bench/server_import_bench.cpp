// Whole-file import into a user database on the server: a generated file of
// mixed books (a third with foreign parties) imported through ImportFile into
// PostgreSQL and into an SQLite file, beside a raw COPY of the same rows into
// the same (empty, indexed) tables on the server in one transaction, which is
// the server's storage anchor.
//   server_import_bench [records]          (default 1000000)
// The server is the one KOLVAR_TEST_PG names, or a throwaway cluster.
#include <libpq-fe.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_run.h"
#include "bench_server.h"
#include "form340_lines.h"
#include "kolvar/kolvar.h"

namespace {

using kolvar::bench::Clock;
using kolvar::bench::CpuSeconds;
using kolvar::bench::Since;
namespace fs = std::filesystem;

constexpr const char* kTables[] = {"toperadores", "tdpfe", "tdpfr", "tdpbi", "tdpdoi"};

struct Timed {
  double whole = 0;
  double validation = 0;  // the first pass alone
  double cpu = 0;         // of this process
  long long stored = 0;
};

Timed Import(const std::string& file, const std::string& user, const std::string& reference) {
  Timed t;
  const double cpu = CpuSeconds();
  const auto start = Clock::now();
  const kolvar::ImportResult r = kolvar::ImportFile(file, {user, reference, 1, 2014, 12, 1}, {},
                                                    [&](const kolvar::ImportProgress& p) {
                                                      if (p.pass == 1) t.validation = Since(start);
                                                      return true;
                                                    });
  t.whole = Since(start);
  t.cpu = CpuSeconds() - cpu;
  t.stored = r.stored;
  return t;
}

// Every row of a table in COPY's text form.
std::string CopyOut(PGconn* conn, const std::string& table) {
  PGresult* r = PQexec(conn, ("COPY " + table + " TO STDOUT").c_str());
  const bool ok = PQresultStatus(r) == PGRES_COPY_OUT;
  PQclear(r);
  std::string out;
  if (!ok) return out;
  char* buffer = nullptr;
  for (int n; (n = PQgetCopyData(conn, &buffer, 0)) > 0; PQfreemem(buffer)) out.append(buffer, n);
  PQclear(PQgetResult(conn));
  return out;
}

// The rows into the tables in one transaction; seconds it took.
double CopyIn(PGconn* conn, const std::vector<std::string>& rows) {
  const auto start = Clock::now();
  PQclear(PQexec(conn, "BEGIN"));
  for (std::size_t t = 0; t < rows.size(); ++t) {
    PGresult* r = PQexec(conn, ("COPY " + std::string(kTables[t]) + " FROM STDIN").c_str());
    PQclear(r);
    constexpr std::size_t kChunk = 1 << 16;
    for (std::size_t at = 0; at < rows[t].size(); at += kChunk)
      PQputCopyData(conn, rows[t].data() + at,
                    static_cast<int>(std::min(kChunk, rows[t].size() - at)));
    PQputCopyEnd(conn, nullptr);
    while (PGresult* done = PQgetResult(conn)) {
      if (PQresultStatus(done) != PGRES_COMMAND_OK)
        std::printf("copy %s: %s", kTables[t], PQresultErrorMessage(done));
      PQclear(done);
    }
  }
  PQclear(PQexec(conn, "COMMIT"));
  return Since(start);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  const long long records = kolvar::bench::SizeArgument(argc, argv, 1000000LL, "declared records");
  const kolvar::bench::BenchServer server;
  const std::string tag = std::to_string(getpid());
  const fs::path dir = fs::temp_directory_path() / ("kolvar-server-import-bench-" + tag);
  fs::create_directories(dir);
  const std::string file = (dir / "f.txt").string(), user = (dir / "u.db").string(),
                    reference = (dir / "r.db").string();
  kolvar::generated::WriteFile(file, 2014, records);
  kolvar::CreateReferenceDatabase(reference);
  std::printf("file: %lld declared records of books E F R S I J U, a third foreign, %.0f MB\n",
              records, static_cast<double>(fs::file_size(file)) / 1e6);
  std::printf("%s\n", server.Settings().c_str());

  kolvar::CreateUserDatabase(user);
  const Timed embedded = Import(file, user, reference);
  std::printf(
      "SQLite file, whole-file import: %.2f s, %.0f records/s (validation pass %.2f s), "
      "%lld stored\n",
      embedded.whole, records / embedded.whole, embedded.validation, embedded.stored);

  const std::string imported = "kb_import_" + tag, copied = "kb_copy_" + tag;
  const std::string onServer = server.NewSchema(imported);
  kolvar::CreateUserDatabase(onServer);
  const Timed pg = Import(file, onServer, reference);
  const double serverCpu = kolvar::bench::ServerSession(onServer).LibraryBackendsCpu();
  std::printf(
      "PostgreSQL, whole-file import: %.2f s, %.0f records/s (validation pass %.2f s, "
      "storing pass %.2f s), %lld stored\n",
      pg.whole, records / pg.whole, pg.validation, pg.whole - pg.validation, pg.stored);
  std::printf(
      "  processor time: SQLite import %.2f s; PostgreSQL import %.2f s in this process, "
      "%.2f s in the server's backend (-1: not readable)\n",
      embedded.cpu, pg.cpu, serverCpu);

  const std::string copyTarget = server.NewSchema(copied);
  kolvar::CreateUserDatabase(copyTarget);
  double copySeconds = 0;
  long long copiedRecords = 0;
  {
    kolvar::bench::ServerSession from(onServer);
    std::vector<std::string> rows;
    for (const char* table : kTables) rows.push_back(CopyOut(from.handle(), table));
    kolvar::bench::ServerSession to(copyTarget);
    copySeconds = CopyIn(to.handle(), rows);
    copiedRecords = std::stoll(to.Query("SELECT count(*) FROM toperadores"));
  }

  std::printf(
      "anchor, raw COPY of the same rows into the same tables, one transaction: %.2f s, "
      "%.0f records/s, %lld copied\n",
      copySeconds, records / copySeconds, copiedRecords);
  std::printf("ratio PostgreSQL import/raw COPY: %.1f (storing pass alone %.1f)\n",
              pg.whole / copySeconds, (pg.whole - pg.validation) / copySeconds);
  std::printf("ratio PostgreSQL import/SQLite import: %.2f\n", pg.whole / embedded.whole);

  kolvar::bench::PrintLoadAverage("end");
  server.DropSchema(imported);
  server.DropSchema(copied);
  fs::remove_all(dir);
  const bool whole = embedded.stored == records && pg.stored == records && copiedRecords == records;
  return whole ? 0 : 1;
}
