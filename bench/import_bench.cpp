// Writing through the public classes beside raw SQLite doing the same writes:
// one unit of work (GuardarDeclarado: a record and its detail row), and a
// whole import (the validation pass and the import pass over a file of
// issued-invoice records, each stored as one unit of work). Only the public
// surface is used, so the same program measures an older build of the library
// when it is given on LD_LIBRARY_PATH.
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_run.h"
#include "kolvar/kolvar.h"

namespace {

using kolvar::bench::Clock;
using kolvar::bench::CpuSeconds;
using kolvar::bench::Since;

struct Timing {
  double wall, cpu;
};

std::string Put(std::string line, std::size_t start, const std::string& text) {
  line.replace(start - 1, text.size(), text);
  return line;
}

std::string DeclarantLine() {
  std::string l(500, ' ');
  l = Put(l, 1, "1340201412345678ZEMPRESA");
  l = Put(l, 58, "C912345678");
  l = Put(l, 108, "3402014030002");
  l = Put(l, 123, "0000000000000");
  l = Put(l, 136, "03000000001 00000000000000012 00000000000000002 00000000000000014");
  return l;
}

// An issued invoice of 2014 under the cash basis that passes every rule.
std::string RecordLine(int i) {
  std::string l(500, ' ');
  l = Put(l, 1, "2340201412345678Z12345678Z");
  l = Put(l, 36, "CLIENTE " + std::to_string(i));
  l = Put(l, 78, "1");
  l = Put(l, 99, "E120140115201401150");
  l = Put(l, 118,
          "2100 0000000010000 0000000002100 0000000012100 0000000000000F" + std::to_string(i));
  l = Put(l, 236, "0000000101");
  l = Put(l, 366, "00000 0000000000000");
  l = Put(l, 385, "0" + std::string(25, ' ') + std::string(34, '0'));
  l = Put(l, 445, "20140115 000000010000CES7620770024003102575766");
  return l;
}

Timing Pass(const std::shared_ptr<kolvar::Object>& import, const char* method,
            const std::vector<std::string>& lines, int& failed) {
  const double cpu = CpuSeconds();
  const auto start = Clock::now();
  for (const std::string& line : lines) {
    std::vector<kolvar::Value> args{kolvar::Value(line), kolvar::Value(),
                                    kolvar::Value(std::int32_t{1})};
    import->Call(method, args);
    if (import->Get("Resultado").toLong() != 0) {
      if (failed++ == 0)
        std::printf("first line with findings (%s): code %s\n", method,
                    args[1].isArray() ? args[1](0, 0).toString().c_str() : "?");
    }
  }
  return {Since(start), CpuSeconds() - cpu};
}

// What one save writes, in raw SQLite: the record, its key, the detail rows of
// the key cleared in the four tables and the detail row of its book, as one
// transaction, on one open file with its own journal and, like the library,
// without a sync at commit.
class RawSaver {
 public:
  explicit RawSaver(const std::string& path) : path_(path) { Open(); }
  ~RawSaver() { Close(); }
  void Save(int i) {
    Exec("BEGIN IMMEDIATE");
    const std::string name = "CLIENTE " + std::to_string(i), id = "F" + std::to_string(i);
    sqlite3_bind_text(record_, 1, name.c_str(), -1, SQLITE_TRANSIENT);
    sqlite3_bind_text(record_, 2, id.c_str(), -1, SQLITE_TRANSIENT);
    Step(record_);
    const sqlite3_int64 key = sqlite3_last_insert_rowid(db_);
    for (sqlite3_stmt* clear : clear_) {
      sqlite3_bind_int64(clear, 1, key);
      Step(clear);
    }
    sqlite3_bind_int64(detail_, 1, key);
    Step(detail_);
    Exec("COMMIT");
  }

 private:
  void Open() {
    sqlite3_open_v2(path_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(db_, 2000);
    Exec("PRAGMA synchronous=OFF");  // as the library: no sync at commit
    record_ = Prepare(
        "INSERT INTO tOperadores (CSCI,NIF,NREP,NOMBRE,PAIS,CNIPR,NIFDPR,CDTL,CDO,FDE,FDO,"
        "TIPOIMP,BIMP,CUOTA,IMPTF,BASEIMPCOSTE,IDFACTURA,NODEREG) VALUES (1,'12345678Z','',?,"
        "'ES',1,'','E','Z',20140115,20140115,21,100,21,121,0,?,'')");
    for (const char* table : {"tdpdoi", "tdpbi", "tdpfe", "tdpfr"})
      clear_.push_back(
          Prepare(std::string("DELETE FROM ") + table + " WHERE CSDO = ? and CSCI = 1"));
    detail_ = Prepare(
        "INSERT INTO tdpfe (CSCI,CSDO,NOFAC,NOREG,IIA,IFR,TRE,CRE,SDI,REFCAT,IPM,EJERMET,IPPTDI,"
        "MC,MC_CC,FMC,IC,MAR) VALUES (1,?,1,1,'','',0,0,0,'',0,0,0,'C','ES76',20140115,100,'')");
  }
  void Close() {
    if (!db_) return;
    for (sqlite3_stmt* stmt : clear_) sqlite3_finalize(stmt);
    clear_.clear();
    sqlite3_finalize(record_);
    sqlite3_finalize(detail_);
    sqlite3_close(db_);
    db_ = nullptr;
  }
  sqlite3_stmt* Prepare(const std::string& sql) {
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db_, sql.c_str(), -1, &stmt, nullptr);
    return stmt;
  }
  void Step(sqlite3_stmt* stmt) {
    if (sqlite3_step(stmt) != SQLITE_DONE) std::printf("raw: %s\n", sqlite3_errmsg(db_));
    sqlite3_reset(stmt);
  }
  void Exec(const char* sql) { sqlite3_exec(db_, sql, nullptr, nullptr, nullptr); }

  std::string path_;
  sqlite3* db_ = nullptr;
  sqlite3_stmt* record_ = nullptr;
  sqlite3_stmt* detail_ = nullptr;
  std::vector<sqlite3_stmt*> clear_;
};

Timing RawSaves(const std::string& path, int count) {
  RawSaver raw(path);
  const double cpu = CpuSeconds();
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) raw.Save(i);
  return {Since(start), CpuSeconds() - cpu};
}

// Mean time of GuardarDeclarado without validation, a new record of book E
// with its detail row each time.
Timing LibrarySaves(const std::string& user, int count) {
  auto svc = kolvar::CreateObject("kolvar.cDeclarado");
  svc->Let("mdbmod", kolvar::Value(user));
  svc->Let("EjercicioDestino", kolvar::Value(std::int16_t{2014}));
  kolvar::Value b = kolvar::Value::Array({{0, 36}});
  const char* cells[] = {"1",        "0",   "12345678Z", "",         "CLIENTE", "ES",  "1",  "",
                         "E",        "Z",   "20140115",  "20140115", "21",      "100", "21", "121",
                         "0",        "F",   "",          "2014",     "3",       "1",   "1",  "",
                         "",         "0",   "0",         "0",        "",        "0",   "0",  "0",
                         "20140115", "100", "C",         "ES76",     ""};
  for (std::int32_t i = 0; i <= 36; ++i) b(i) = cells[i];
  const double cpu = CpuSeconds();
  const auto start = Clock::now();
  for (int i = 0; i < count; ++i) {
    b(4) = "CLIENTE " + std::to_string(i);
    b(17) = "F" + std::to_string(i);
    std::vector<kolvar::Value> args{b, kolvar::Value(false)};
    svc->Call("GuardarDeclarado", args);
  }
  return {Since(start), CpuSeconds() - cpu};
}

}  // namespace

int main(int argc, char** argv) {
  const int records = kolvar::bench::SizeArgument(argc, argv, 20000, "declared records");
  const auto dir = std::filesystem::temp_directory_path() / "kolvar-import-bench";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const std::string user = (dir / "u.db").string(), reference = (dir / "r.db").string();
  kolvar::CreateUserDatabase(user);
  kolvar::CreateReferenceDatabase(reference);

  std::vector<std::string> lines{DeclarantLine()};
  for (int i = 0; i < records; ++i) lines.push_back(RecordLine(i));

  auto import = kolvar::CreateObject("kolvar.cImportacion");
  import->Let("mdblec", kolvar::Value(reference));
  import->Let("mdbmod", kolvar::Value(user));
  import->Let("Declaracion", kolvar::Value("1"));
  import->Let("Ejercicio", kolvar::Value(std::int32_t{2014}));
  import->Let("Periodo", kolvar::Value(std::int16_t{3}));
  import->Let("Periodicidad", kolvar::Value(std::int16_t{1}));
  import->Let("EjercicioMin", kolvar::Value(std::int32_t{2009}));
  import->Let("EjercicioMax", kolvar::Value(std::int32_t{2014}));

  int failed = 0;
  const Timing validate = Pass(import, "ValDeclaracion", lines, failed);
  const Timing store = Pass(import, "importDeclarado", lines, failed);
  const std::string raw = (dir / "raw.db").string();
  kolvar::CreateUserDatabase(raw);
  const Timing rawStore = RawSaves(raw, records);
  const double n = static_cast<double>(lines.size());
  std::printf("%d declared records (+1 declarant line), %d lines with findings\n", records, failed);
  std::printf("validation pass: %.0f lines/s, %.0f us cpu per line\n", n / validate.wall,
              validate.cpu / n * 1e6);
  std::printf(
      "import pass:     %.0f lines/s, %.0f us cpu per line (each record stored with its "
      "detail row)\n",
      n / store.wall, store.cpu / n * 1e6);
  std::printf(
      "raw SQLite, the same rows, one transaction per record on one open file: %.0f "
      "records/s, %.0f us cpu per record; ratio import/raw %.1f wall, %.1f cpu\n",
      records / rawStore.wall, rawStore.cpu / records * 1e6, store.wall / rawStore.wall,
      store.cpu / rawStore.cpu);

  // One unit of work that writes, on its own.
  const int saves = std::max(records / 4, 1);
  const std::string unitUser = (dir / "unit.db").string(), unitRaw = (dir / "unit-raw.db").string();
  kolvar::CreateUserDatabase(unitUser);
  kolvar::CreateUserDatabase(unitRaw);
  const Timing unit = LibrarySaves(unitUser, saves);
  const Timing rawUnit = RawSaves(unitRaw, saves);
  std::printf(
      "GuardarDeclarado (record and detail row, no validation): %.0f us wall, %.0f us cpu "
      "per call\n",
      unit.wall / saves * 1e6, unit.cpu / saves * 1e6);
  std::printf(
      "raw SQLite, the same writes in one transaction on one open file: %.0f us wall, "
      "%.0f us cpu; ratio %.1f wall, %.1f cpu\n",
      rawUnit.wall / saves * 1e6, rawUnit.cpu / saves * 1e6, unit.wall / rawUnit.wall,
      unit.cpu / rawUnit.cpu);
  kolvar::bench::PrintLoadAverage("end");
  std::filesystem::remove_all(dir);
  return failed == 0 ? 0 : 1;
}
