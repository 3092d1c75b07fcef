// Listings and sums of a large declaration through the public classes: a
// 50-line listing page at the end of a book, the summary, the counts and the
// totals, each beside raw SQLite doing the same reads.
//   listing_bench [records]          (default 100000, all in book E)
#include <sqlite3.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "bench_run.h"
#include "kolvar/kolvar.h"

namespace {

using kolvar::bench::Clock;
namespace fs = std::filesystem;

// Mean milliseconds of `f` over `runs` runs.
template <class F>
double Millis(int runs, F&& f) {
  const auto start = Clock::now();
  for (int i = 0; i < runs; ++i) f();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / runs;
}

void Fill(const std::string& path, long long records) {
  sqlite3* db = nullptr;
  sqlite3_open(path.c_str(), &db);
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* ins = nullptr;
  sqlite3_prepare_v2(db,
                     "INSERT INTO tOperadores (CSCI,NIF,NREP,NOMBRE,PAIS,CNIPR,NIFDPR,CDTL,CDO,FDE,"
                     "FDO,TIPOIMP,BIMP,CUOTA,IMPTF,BASEIMPCOSTE,IDFACTURA,NODEREG) VALUES "
                     "(1,'12345678Z','',?,'',1,'','E','',20140115,20140115,2100,?,?,?,0,?,'')",
                     -1, &ins, nullptr);
  for (long long i = 0; i < records; ++i) {
    const std::string name = "CLIENTE " + std::to_string(i), id = "F" + std::to_string(i);
    sqlite3_bind_text(ins, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_double(ins, 2, 10000 + i % 977);
    sqlite3_bind_double(ins, 3, 2100 + i % 31);
    sqlite3_bind_double(ins, 4, 12100 + i % 977);
    sqlite3_bind_text(ins, 5, id.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_step(ins);
    sqlite3_reset(ins);
  }
  sqlite3_finalize(ins);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  sqlite3_close(db);
}

// Raw SQLite: open, run each statement to its end reading every column, close.
double RawMillis(const std::string& path, std::initializer_list<std::string> statements, int runs) {
  return Millis(runs, [&] {
    sqlite3* db = nullptr;
    sqlite3_open(path.c_str(), &db);
    for (const std::string& sql : statements) {
      sqlite3_stmt* stmt = nullptr;
      sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
      while (sqlite3_step(stmt) == SQLITE_ROW)
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) sqlite3_column_value(stmt, i);
      sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
  });
}

void Report(const char* what, double ms, double raw) {
  kolvar::bench::PrintBesideAnchor(what, ms, raw, "ms");
}

}  // namespace

int main(int argc, char** argv) {
  const long long records =
      kolvar::bench::SizeArgument(argc, argv, 100000LL, "records, all in book E");
  const int runs = 10;
  const fs::path dir = fs::temp_directory_path() / "kolvar-listing-bench";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string user = (dir / "u.db").string(), reference = (dir / "r.db").string();
  kolvar::CreateUserDatabase(user);
  kolvar::CreateReferenceDatabase(reference);
  Fill(user, records);

  auto declaraciones = kolvar::CreateObject("kolvar.cDeclaraciones");
  declaraciones->Let("mdbmod", kolvar::Value(user));
  declaraciones->Let("mdblec", kolvar::Value(reference));
  auto exportacion = kolvar::CreateObject("kolvar.cExportacion");
  exportacion->Let("mdbmod", kolvar::Value(user));
  exportacion->Let("mdblec", kolvar::Value(reference));
  const kolvar::Value key(std::int32_t{1});

  kolvar::Value request = kolvar::Value::Array({{0, 2}, {0, 0}});
  request(0, 0) = "exp";
  request(1, 0) = static_cast<std::int32_t>(records - 50);
  request(2, 0) = static_cast<std::int32_t>(records - 1);
  std::int32_t lines = 0;
  const double page = Millis(runs, [&] {
    std::vector<kolvar::Value> args{key, request, kolvar::Value(false)};
    lines = declaraciones->Call("ImprimirDetalles", args).ubound(2) + 1;
  });
  const std::string book = "SELECT * FROM toperadores where csci = 1 and CDTL = 'E'";
  Report(("listing page of " + std::to_string(lines) + " lines at the book's end").c_str(), page,
         RawMillis(user, {book + " LIMIT 50 OFFSET " + std::to_string(records - 50)}, runs));

  const std::string sums =
      "SELECT count(*), sum(BIMP), sum(CUOTA), sum(IMPTF), sum(BASEIMPCOSTE)"
      " FROM toperadores where csci = 1";
  const double summary = Millis(runs, [&] {
    std::vector<kolvar::Value> args{key};
    declaraciones->Call("ObtenerResumen", args);
  });
  Report("summary (five groups)", summary,
         RawMillis(user,
                   {sums + " and CDTL in ('E','F')", sums + " and CDTL in ('R','S')",
                    sums + " and CDTL in ('I','J')", sums + " and CDTL = 'U'", sums},
                   runs));
  const double totals = Millis(runs, [&] {
    std::vector<kolvar::Value> args{key};
    exportacion->Call("ObtenerTotalesPorDeclaracion", args);
  });
  Report(
      "totals", totals,
      RawMillis(user, {"SELECT sum(BIMP), sum(CUOTA), sum(IMPTF) from toperadores where csci = 1"},
                runs));
  const double counts = Millis(runs, [&] {
    std::vector<kolvar::Value> args{key};
    declaraciones->Call("ObtenerDetalles", args);
  });
  Report("counts per book (eight counts)", counts,
         RawMillis(user, {"SELECT count(*) FROM toperadores where csci = 1"}, runs));
  kolvar::bench::PrintLoadAverage("end");
  fs::remove_all(dir);
  return lines == 50 ? 0 : 1;
}
