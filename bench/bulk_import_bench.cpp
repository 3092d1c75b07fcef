// Whole-file import: a generated file of mixed books (a third with foreign
// parties), its validation pass alone and the whole import, beside a raw
// prepared INSERT of the same rows into the same tables in one transaction;
// and the peak memory of an import of the file and of a quarter of it, each
// in a process of its own.
//   bulk_import_bench [records]          (default 1000000)
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench_run.h"
#include "form340_lines.h"
#include "kolvar/kolvar.h"

namespace {

using kolvar::bench::Clock;
using kolvar::bench::Since;
namespace fs = std::filesystem;

kolvar::ImportTarget Target(const std::string& user, const std::string& reference) {
  return {user, reference, 1, 2014, 12, 1};
}

// The rows of the tables, read from `from`, inserted into `to` by one
// prepared INSERT per table and row, in one transaction. Seconds of the insert.
double RawInsert(const std::string& from, const std::string& to) {
  sqlite3* src = nullptr;
  sqlite3* dst = nullptr;
  sqlite3_open(from.c_str(), &src);
  sqlite3_open(to.c_str(), &dst);
  const auto start = Clock::now();
  sqlite3_exec(dst, "BEGIN", nullptr, nullptr, nullptr);
  for (const char* table : {"tOperadores", "tdpfe", "tdpfr", "tdpbi", "tdpdoi"}) {
    sqlite3_stmt* read = nullptr;
    sqlite3_prepare_v2(src, (std::string("SELECT * FROM ") + table).c_str(), -1, &read, nullptr);
    const int n = sqlite3_column_count(read);
    std::string sql = std::string("INSERT INTO ") + table + " VALUES (";
    for (int i = 0; i < n; ++i) sql += i ? ",?" : "?";
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(dst, (sql + ")").c_str(), -1, &insert, nullptr);
    while (sqlite3_step(read) == SQLITE_ROW) {
      for (int i = 0; i < n; ++i) sqlite3_bind_value(insert, i + 1, sqlite3_column_value(read, i));
      if (sqlite3_step(insert) != SQLITE_DONE) std::printf("raw insert: %s\n", sqlite3_errmsg(dst));
      sqlite3_reset(insert);
    }
    sqlite3_finalize(read);
    sqlite3_finalize(insert);
  }
  sqlite3_exec(dst, "COMMIT", nullptr, nullptr, nullptr);
  const double s = Since(start);
  sqlite3_close(src);
  sqlite3_close(dst);
  return s;
}

// Peak resident memory in KiB of a child process importing `records` records.
long PeakOfImport(const char* self, const fs::path& dir, long long records) {
  const pid_t pid = fork();
  if (pid == 0) {
    execl(self, self, "--import-only", std::to_string(records).c_str(), dir.c_str(),
          static_cast<char*>(nullptr));
    _exit(3);
  }
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? usage.ru_maxrss : -1;
}

// The child of PeakOfImport: a fresh file and databases, one import.
int ImportOnly(long long records, const fs::path& dir) {
  const fs::path sub = dir / ("mem" + std::to_string(records));
  fs::create_directories(sub);
  const std::string file = (sub / "f.txt").string(), user = (sub / "u.db").string(),
                    reference = (sub / "r.db").string();
  kolvar::generated::WriteFile(file, 2014, records);
  kolvar::CreateUserDatabase(user);
  kolvar::CreateReferenceDatabase(reference);
  const kolvar::ImportResult r = kolvar::ImportFile(file, Target(user, reference));
  fs::remove_all(sub);
  return r.stored == records ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--import-only") == 0)
    return ImportOnly(std::stoll(argv[2]), argv[3]);
  const long long records = kolvar::bench::SizeArgument(argc, argv, 1000000LL, "declared records");
  const fs::path dir =
      fs::temp_directory_path() / ("kolvar-bulk-bench-" + std::to_string(getpid()));
  fs::create_directories(dir);
  const std::string file = (dir / "f.txt").string(), user = (dir / "u.db").string(),
                    reference = (dir / "r.db").string(), raw = (dir / "raw.db").string();
  kolvar::generated::WriteFile(file, 2014, records);
  kolvar::CreateUserDatabase(user);
  kolvar::CreateUserDatabase(raw);
  kolvar::CreateReferenceDatabase(reference);
  const double mb = static_cast<double>(fs::file_size(file)) / 1e6;
  std::printf("file: %lld declared records of books E F R S I J U, a third foreign, %.0f MB\n",
              records, mb);

  kolvar::ImportOptions validateOnly;
  validateOnly.validateOnly = true;
  auto start = Clock::now();
  kolvar::ImportResult r = kolvar::ImportFile(file, Target(user, reference), validateOnly);
  const double validation = Since(start);
  std::printf("validation pass alone: %.2f s, %.0f lines/s (%lld findings)\n", validation,
              r.lines / validation, static_cast<long long>(r.findingCount));

  start = Clock::now();
  r = kolvar::ImportFile(file, Target(user, reference));
  const double whole = Since(start);
  const double rawSeconds = RawInsert(user, raw);
  std::printf(
      "whole-file import (both passes, one transaction): %.2f s, %.0f records/s, %lld stored\n",
      whole, records / whole, static_cast<long long>(r.stored));
  std::printf(
      "anchor, raw prepared INSERT of the same rows in one transaction: %.2f s, %.0f records/s\n",
      rawSeconds, records / rawSeconds);
  std::printf("ratio import/raw: %.1f\n", whole / rawSeconds);

  const long quarter = PeakOfImport(argv[0], dir, records / 4);
  const long full = PeakOfImport(argv[0], dir, records);
  std::printf("peak memory: %lld records %ld KiB, %lld records %ld KiB, ratio %.2f\n", records,
              full, records / 4, quarter, quarter > 0 ? static_cast<double>(full) / quarter : 0.0);
  kolvar::bench::PrintLoadAverage("end");
  fs::remove_all(dir);
  return r.stored == records ? 0 : 1;
}
