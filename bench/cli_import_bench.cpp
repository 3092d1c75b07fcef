// `kolvar import` of a generated file against the library's own import of
// the same file into a declaration, and raw SQLite storing the same records
// (one prepared insert per record, one transaction) as the anchor.
#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#if __has_include("kolvar/batch.h")
#include "kolvar/batch.h"
#define KOLVAR_WHOLE_FILE_IMPORT 1
#endif
#include "bench_run.h"
#include "generator.h"
#include "kolvar/kolvar.h"
#include "library.h"
#include "text_file.h"

namespace {

using kolvar::bench::Clock;
using kolvar::bench::Since;
namespace fs = std::filesystem;
using namespace kolvar::cli;

Library Fresh(const fs::path& dir) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  Paths p{(dir / "kolvar-usuario.db").string(), (dir / "kolvar-referencia.db").string()};
  kolvar::CreateUserDatabase(p.user);
  kolvar::CreateReferenceDatabase(p.reference);
  return Library(p);
}

// The library alone: the declarant and declaration made through the public
// classes, then the file's two passes.
double LibraryImport(const fs::path& dir, const std::string& file, const GeneratedFile& g) {
  Library lib = Fresh(dir);
  const auto start = Clock::now();
  Declaration d = g.declaration;
  d.declarant = lib.SaveDeclarant(g.declarant);
  d.key = lib.SaveDeclaration(d);
#ifdef KOLVAR_WHOLE_FILE_IMPORT
  kolvar::ImportTarget t{lib.paths().user, lib.paths().reference, d.key, d.year, d.period, 1};
  const auto r = kolvar::ImportFile(file, t);
  if (r.stored != static_cast<std::int64_t>(g.lines.size() - 1))
    std::printf("library stored %lld\n", static_cast<long long>(r.stored));
#else
  auto import = kolvar::CreateObject("kolvar.cImportacion");
  import->Let("mdblec", kolvar::Value(lib.paths().reference));
  import->Let("mdbmod", kolvar::Value(lib.paths().user));
  import->Let("Declaracion", kolvar::Value(std::to_string(d.key)));
  import->Let("Ejercicio", kolvar::Value(d.year));
  import->Let("Periodo", kolvar::Value(d.period));
  import->Let("Periodicidad", kolvar::Value(std::int16_t{1}));
  import->Let("EjercicioMin", kolvar::Value(std::int32_t{2008}));
  import->Let("EjercicioMax", kolvar::Value(std::int32_t{2099}));
  const FileLines lines = ReadForm340File(file);
  for (const char* method : {"ValDeclaracion", "importDeclarado"})
    for (const std::string& line : lines.lines) {
      std::vector<kolvar::Value> args{kolvar::Value(line), kolvar::Value(),
                                      kolvar::Value(std::int32_t{0})};
      import->Call(method, args);
    }
#endif
  return Since(start);
}

double ProgramImport(const fs::path& dir, const std::string& file) {
  Fresh(dir);
  const std::string command =
      std::string(KOLVAR_PROGRAM) + " --data " + dir.string() + " import " + file + " >/dev/null";
  const auto start = Clock::now();
  if (std::system(command.c_str()) != 0) std::printf("kolvar import failed\n");
  return Since(start);
}

// Raw SQLite: the same records as rows of one table with their detail
// columns, one prepared insert each, one transaction.
double RawSqlite(const fs::path& dir, const GeneratedFile& g) {
  fs::remove_all(dir);
  fs::create_directories(dir);
  sqlite3* db = nullptr;
  sqlite3_open((dir / "raw.db").string().c_str(), &db);
  std::string columns, marks;
  for (int c = 0; c < kGridColumns; ++c) {
    columns += (c ? ",c" : "c") + std::to_string(c);
    marks += c ? ",?" : "?";
  }
  sqlite3_exec(db, ("CREATE TABLE t(" + columns + ")").c_str(), nullptr, nullptr, nullptr);
  const auto start = Clock::now();
  sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
  sqlite3_stmt* insert = nullptr;
  sqlite3_prepare_v2(db, ("INSERT INTO t VALUES(" + marks + ")").c_str(), -1, &insert, nullptr);
  for (int r = 1; r <= g.grid.ubound(2); ++r) {
    for (int c = 0; c < kGridColumns; ++c) {
      const std::string v = g.grid(c, r).isEmpty() ? "" : g.grid(c, r).toString();
      sqlite3_bind_text(insert, c + 1, v.c_str(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    }
    sqlite3_step(insert);
    sqlite3_reset(insert);
  }
  sqlite3_finalize(insert);
  sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
  const double seconds = Since(start);
  sqlite3_close(db);
  return seconds;
}

}  // namespace

int main(int argc, char** argv) {
  GeneratorOptions o;
  o.records = kolvar::bench::SizeArgument(argc, argv, 100000L, "declared records");
  const fs::path dir = fs::temp_directory_path() / "kolvar-cli-import-bench";
  fs::remove_all(dir);
  fs::create_directories(dir);
  const std::string file = (dir / "muestra.txt").string();
  const GeneratedFile g = Generate(o);
  WriteForm340File(file, g.lines, Encoding::Latin1);

  const double raw = RawSqlite(dir / "raw", g);
  const double library = LibraryImport(dir / "library", file, g);
  const double program = ProgramImport(dir / "program", file);
  std::printf("%ld declared records, %s\n", o.records,
#ifdef KOLVAR_WHOLE_FILE_IMPORT
              "the library's whole-file import"
#else
              "the library's line-by-line passes"
#endif
  );
  std::printf("raw SQLite inserts (anchor): %8.2f s\n", raw);
  std::printf("library import:              %8.2f s  (%.1f x raw SQLite)\n", library,
              library / raw);
  std::printf("kolvar import:               %8.2f s  (%.2f x the library's import, %.1f x raw)\n",
              program, program / library, program / raw);
  kolvar::bench::PrintLoadAverage("end");
  fs::remove_all(dir);
  return program <= 1.5 * library ? 0 : 1;
}
