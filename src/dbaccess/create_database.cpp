// Creation of the user and the reference database from the schema
// description; the reference tables are filled from the shipped code tables.
#include <sqlite3.h>

#include <filesystem>
#include <string>

#include "codetables/embedded_tables.h"
#include "core/text.h"
#include "dbaccess/pg/pg_connection.h"
#include "dbaccess/pg/pg_schema.h"
#include "dbaccess/schema.h"
#include "dbaccess/sqlite_engine.h"
#include "kolvar/database.h"
#include "kolvar/error.h"

namespace kolvar {

namespace {

using db::Column;
using db::Table;

// An open SQLite handle for a file being created, removed again on failure.
class NewFile {
 public:
  explicit NewFile(const std::string& path) : path_(path) {
    std::error_code ec;
    const std::filesystem::path p(path);
    const auto parent = p.has_parent_path() ? p.parent_path() : std::filesystem::path(".");
    if (path.empty() || !std::filesystem::is_directory(parent, ec))
      Raise(err::kPathNotValid, "'" + path + "' no es una ruta de acceso válida.");
    if (std::filesystem::exists(p, ec)) Raise(3204, "La base de datos '" + path + "' ya existe.");
    if (sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
      const std::string message = sqlite3_errmsg(db_);
      sqlite3_close(db_);
      db_ = nullptr;
      db::RaiseEngineError(SQLITE_CANTOPEN, message);
    }
  }
  ~NewFile() {
    if (db_) sqlite3_close(db_);
    if (!kept_) {
      std::error_code ec;
      for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        std::filesystem::remove(path_ + suffix, ec);
    }
  }
  void exec(const std::string& sql) {
    char* message = nullptr;
    if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
      const std::string text = message ? message : "";
      sqlite3_free(message);
      db::RaiseEngineError(sqlite3_errcode(db_), text);
    }
  }
  sqlite3* handle() { return db_; }
  void keep() {
    sqlite3_close(db_);
    db_ = nullptr;
    kept_ = true;
  }

 private:
  std::string path_;
  sqlite3* db_ = nullptr;
  bool kept_ = false;
};

void CreateTables(NewFile& file, const std::vector<Table>& tables, bool withTransferGroups) {
  for (const Table& t : tables) {
    std::string sql = "CREATE TABLE \"" + std::string(t.name) + "\" (";
    bool first = true;
    for (const Column& c : t.columns) {
      if (c.group != 0 && !withTransferGroups) continue;
      sql += (first ? "" : ", ") + db::ColumnDefinition(c);
      first = false;
    }
    file.exec(sql + ") STRICT");
    int n = 0;
    for (const auto& index : t.indexes) {
      std::string columns;
      for (auto c : index) columns += (columns.empty() ? "\"" : ", \"") + std::string(c) + "\"";
      file.exec("CREATE INDEX \"ix_" + std::string(t.name) + "_" + std::to_string(++n) +
                "\" ON \"" + std::string(t.name) + "\" (" + columns + ")");
    }
  }
}

std::vector<std::string> SplitTabs(std::string_view line) {
  std::vector<std::string> out;
  std::size_t start = 0;
  while (true) {
    const auto tab = line.find('\t', start);
    out.emplace_back(
        line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return out;
    start = tab + 1;
  }
}

// The table a shipped file fills.
const char* TableOfFile(std::string_view file) {
  if (file == "paises") return "TPaises";
  if (file == "provincias") return "TPROVINCIAS";
  if (file == "siglasvia") return "TSIGLASVIA";
  if (file == "operaciones") return "TOperaciones";
  if (file == "mediocobro") return "TMedioCobro";
  if (file == "tgeneral") return "tgeneral";
  return nullptr;
}

void Fill(NewFile& file, std::string_view table, std::string_view tsv) {
  std::vector<std::string> header;
  sqlite3_stmt* insert = nullptr;
  std::size_t start = 0;
  while (start < tsv.size()) {
    auto end = tsv.find('\n', start);
    if (end == std::string_view::npos) end = tsv.size();
    std::string_view line = tsv.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    auto cells = SplitTabs(line);
    if (header.empty()) {
      header = std::move(cells);
      std::string names, marks;
      for (const auto& h : header) {
        names += (names.empty() ? "\"" : ", \"") + h + "\"";
        marks += marks.empty() ? "?" : ", ?";
      }
      const std::string sql =
          "INSERT INTO \"" + std::string(table) + "\" (" + names + ") VALUES (" + marks + ")";
      if (sqlite3_prepare_v2(file.handle(), sql.c_str(), -1, &insert, nullptr) != SQLITE_OK)
        db::RaiseEngineError(sqlite3_errcode(file.handle()), sqlite3_errmsg(file.handle()));
      continue;
    }
    cells.resize(header.size());
    for (std::size_t i = 0; i < cells.size(); ++i)
      sqlite3_bind_text(insert, static_cast<int>(i + 1), cells[i].c_str(), -1, SQLITE_TRANSIENT);
    const int rc = sqlite3_step(insert);
    sqlite3_reset(insert);
    if (rc != SQLITE_DONE) {
      const std::string message = sqlite3_errmsg(file.handle());
      sqlite3_finalize(insert);
      db::RaiseEngineError(rc, message);
    }
  }
  sqlite3_finalize(insert);
}

}  // namespace

bool IsServerDatabase(std::string_view name) {
  return db::pg::IsServerAddress(name);
}

void CreateUserDatabase(const std::string& path, UserLayout layout) {
  if (db::pg::IsServerAddress(path)) return db::pg::CreateUserTables(path, layout);
  NewFile file(path);
  file.exec("BEGIN");
  CreateTables(file, db::Schema(db::Store::User), layout == UserLayout::Current);
  file.exec("INSERT INTO tgeneral (Idioma, ActOnline) VALUES ('C', 0)");
  file.exec("COMMIT");
  file.keep();
}

void CreateReferenceDatabase(const std::string& path) {
  NewFile file(path);
  file.exec("BEGIN");
  CreateTables(file, db::Schema(db::Store::Reference), true);
  for (const EmbeddedTable& t : EmbeddedTables())
    if (const char* table = TableOfFile(t.name)) Fill(file, table, t.tsv);
  file.exec("COMMIT");
  file.keep();
}

}  // namespace kolvar
