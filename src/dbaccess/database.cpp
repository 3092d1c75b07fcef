#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <memory>

#include "dbaccess/like_pattern.h"
#include "dbaccess/side_file_guard.h"
#include "dbaccess/sql_dialect.h"
#include "dbaccess/sql_literal.h"
#include "dbaccess/sqlite_engine.h"
#include "kolvar/error.h"

namespace kolvar::db::sqlite {

namespace {

constexpr int kBusyWaitMs = 2000;

// Without memory statistics the engine takes no lock to count each of its
// allocations, a sixth of the work of opening a file. The setting belongs to
// the whole process and only takes before the engine starts, so it is made
// once, when the library is loaded; a host that has already started the
// engine keeps its own setting (the call is then refused and changes nothing).
[[maybe_unused]] const bool kNoMemoryStatistics =
    sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0) == SQLITE_OK;

void RaiseIfMissing(const std::string& path) {
  std::error_code ec;
  const std::filesystem::path p(path);
  if (std::filesystem::is_regular_file(p, ec)) return;
  const auto parent = p.has_parent_path() ? p.parent_path() : std::filesystem::path(".");
  if (path.empty() || !std::filesystem::is_directory(parent, ec))
    Raise(err::kPathNotValid, "'" + path + "' no es una ruta de acceso válida.");
  Raise(err::kFileNotFound, "No se encuentra el archivo '" + path + "'.");
}

bool FolderWritable(const std::string& path) {
  const std::filesystem::path p(path);
  const auto parent = p.has_parent_path() ? p.parent_path() : std::filesystem::path(".");
  return access(parent.c_str(), W_OK) == 0;
}

// The path as a URI that opens the file without locking or side files.
std::string ImmutableUri(const std::string& path) {
  static const char* hex = "0123456789ABCDEF";
  std::string uri = "file:";
  for (unsigned char c : path) {
    if (std::isalnum(c) || c == '/' || c == '.' || c == '_' || c == '-' || c == '~') {
      uri += static_cast<char>(c);
    } else {
      uri += '%';
      uri += hex[c >> 4];
      uri += hex[c & 15];
    }
  }
  return uri + "?immutable=1";
}

bool HasMoreThanBlanks(const char* tail) {
  for (; tail && *tail; ++tail)
    if (*tail != ' ' && *tail != '\t' && *tail != '\r' && *tail != '\n' && *tail != ';')
      return true;
  return false;
}

}  // namespace

Database::Database(const std::string& path, bool readOnly) : path_(path), readOnly_(readOnly) {
  // The names the engine reads as something other than a file are checked
  // first; any other missing file is told from the failed opening.
  if (path.empty() || path == ":memory:" || path.starts_with("file:")) RaiseIfMissing(path);
  int flags = SQLITE_OPEN_NOMUTEX | (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE);
  std::string name = path;
  if (readOnly && !FolderWritable(path)) {
    // Nobody here can leave a journal beside it, so it is read without locks.
    flags |= SQLITE_OPEN_URI;
    name = ImmutableUri(path);
    immutable_ = true;
  }
  sqlite3* db = nullptr;
  const int rc = sqlite3_open_v2(name.c_str(), &db, flags, GuardedVfsName());
  if (rc != SQLITE_OK) {
    const std::string message = db ? sqlite3_errmsg(db) : "open";
    sqlite3_close(db);
    RaiseIfMissing(path);
    RaiseEngineError(rc, message);
  }
  db_ = db;
  sqlite3_busy_timeout(db_, kBusyWaitMs);
  sqlite3_extended_result_codes(db_, 0);
  RegisterLike(db_);
  checks_.attach(db_);
  // Reading the schema tells a database file from any other file: preparing
  // a statement on it reads it, and the first statement of the unit finds it
  // read.
  //
  // Journal and sync: a rollback journal deleted at every commit, so the .db
  // file alone holds every finished call and can be copied (see
  // side_file_guard.h), and no sync of the file at commit. A commit is in the
  // file, handed to the system, before it returns, so it survives a crash of
  // the program; a crash in the middle of one leaves the journal that undoes
  // it. A sync on every commit would also cover a crash of the machine, at
  // about a hundred times the cost of a commit (bench/connection_bench). A
  // journal kept between commits (truncated or zeroed instead of deleted)
  // saves no work here: every transaction begun without a lock, as each unit
  // of work begins, would then open the journal to see whether it must be
  // played back.
  sqlite3_stmt* schema = nullptr;
  int check = sqlite3_prepare_v2(db_, "SELECT 1 FROM sqlite_master", -1, &schema, nullptr);
  sqlite3_finalize(schema);
  char* message = nullptr;
  if (check == SQLITE_OK)
    check = sqlite3_exec(db_, "PRAGMA synchronous=OFF", nullptr, nullptr, &message);
  if (check != SQLITE_OK) {
    const std::string text = message ? message : sqlite3_errmsg(db_);
    sqlite3_free(message);
    sqlite3_close(db_);
    db_ = nullptr;
    RaiseIfMissing(path);
    RaiseEngineError(check, text);
  }
  // A file made with a write-ahead log is turned to a rollback journal that
  // is deleted at every commit; while another program holds it open it stays
  // as it is until a later opening.
  if (!readOnly) sqlite3_exec(db_, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
}

// Whatever is pending: nothing outlives the object.
Database::~Database() {
  if (db_) closeFile();
}

sqlite3* Database::handle() const {
  if (!db_ || closePending_) Raise(err::kObjectInvalid);
  return db_;
}

sqlite3_stmt* Database::prepare(std::string_view text) {
  return prepareOn(handle(), text);
}

sqlite3_stmt* Database::prepareOn(sqlite3* db, std::string_view text) {
  const std::string sql = AdaptDialect(text);
  sqlite3_stmt* stmt = nullptr;
  const char* tail = nullptr;
  const int rc =
      sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()) + 1, &stmt, &tail);
  if (rc != SQLITE_OK) RaiseEngineError(rc, sqlite3_errmsg(db));
  if (HasMoreThanBlanks(tail)) {
    sqlite3_finalize(stmt);
    Raise(err::kInvalidOperation, "Hay caracteres después del final de la instrucción SQL.");
  }
  if (!stmt) Raise(err::kSyntax, "La instrucción SQL está vacía.");
  return stmt;
}

void Database::run(const char* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : "";
    sqlite3_free(message);
    RaiseEngineError(sqlite3_errcode(db_), text);
  }
}

// Undoes the failed statement; outside a unit of work it also leaves the
// connection outside any transaction, whatever fails on the way.
void Database::abandonStatement() noexcept {
  sqlite3_exec(db_, "ROLLBACK TO kolvar_statement; RELEASE kolvar_statement", nullptr, nullptr,
               nullptr);
  if (depth_ == 0 && !sqlite3_get_autocommit(db_))
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

sqlite3_stmt* Database::acquire(std::string_view sql) {
  handle();
  return statements_.acquire(sql, [this](std::string_view t) { return prepare(t); });
}

void Database::release(sqlite3_stmt* stmt) noexcept {
  statements_.release(stmt);
}

// Also while a unit of work keeps a closed database for its own end.
void Database::runCached(const char* sql) {
  if (!db_) Raise(err::kObjectInvalid);
  sqlite3_stmt* stmt =
      statements_.acquire(sql, [this](std::string_view t) { return prepareOn(db_, t); });
  const int rc = sqlite3_step(stmt);
  const std::string message = rc == SQLITE_DONE ? "" : sqlite3_errmsg(db_);
  release(stmt);
  if (rc != SQLITE_DONE) RaiseEngineError(rc, message);
}

void Database::execute(std::string_view sql, int) {
  execute(sql, std::vector<Value>{});
}

namespace {

enum class Kind { Null, Whole, Float, Text };

// How the engine takes the value: as a literal, an empty value and a date
// are their texts; as stored, NULL and the date's number.
Kind KindOf(const Value& v, BoundAs as) {
  switch (v.type()) {
    case VarType::Null:
      return Kind::Null;
    case VarType::Empty:
      return as == BoundAs::Stored ? Kind::Null : Kind::Text;
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
    case VarType::Boolean:
      return Kind::Whole;
    case VarType::Single:
    case VarType::Double:
      return Kind::Float;
    case VarType::Date:
      return as == BoundAs::Stored ? Kind::Float : Kind::Text;
    default:
      return Kind::Text;
  }
}

}  // namespace

void BindValues(sqlite3_stmt* stmt, const std::vector<Value>& values, BoundAs as) {
  if (!values.empty() && static_cast<int>(values.size()) != sqlite3_bind_parameter_count(stmt))
    Raise(err::kInvalidCall,
          "El número de valores no coincide con los parámetros de la instrucción.");
  int i = 0;
  for (const Value& v : values) {
    ++i;
    switch (KindOf(v, as)) {
      case Kind::Null:
        sqlite3_bind_null(stmt, i);
        break;
      case Kind::Whole:
        sqlite3_bind_int64(stmt, i, v.toLong());
        break;
      case Kind::Float:
        sqlite3_bind_double(stmt, i, v.toDouble());
        break;
      case Kind::Text: {
        const std::string text = v.toString();
        if (as == BoundAs::Literals) SqlText(text);  // refused where its literal would be
        sqlite3_bind_text(stmt, i, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
      }
    }
  }
}

// A statement and the checks of the rows it writes form one unit: a row that
// fails them undoes the whole statement, also inside a unit of work. The
// transactions are the units' own: their statements are refused here. A text
// that does not parse is a syntax error whatever its first word.
void Database::execute(std::string_view sql, const std::vector<Value>& params) {
  std::unique_ptr<sqlite3_stmt, Releaser> stmt(acquire(sql), Releaser{this});
  if (IsSelect(sql))
    Raise(err::kInvalidOperation, "No se puede ejecutar una consulta de selección.");
  if (IsTransactionControl(sql))
    Raise(err::kInvalidOperation, "Las transacciones no se controlan con instrucciones SQL.");
  BindValues(stmt.get(), params, BoundAs::Literals);
  checks_.ready(db_);
  const std::string verb = FirstWord(sql);
  const bool writes = !sqlite3_stmt_readonly(stmt.get());
  if (writes) requireLiveUnit();
  // A delete writes no row that the checks could refuse: the engine undoes a
  // failed one by itself, so it needs no savepoint of its own.
  const bool own = writes && verb != "DELETE" && wholeFrom_ < 0;
  if (own) runCached("SAVEPOINT kolvar_statement");
  checks_.take();
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
  }
  const std::string message = rc == SQLITE_DONE ? "" : sqlite3_errmsg(db_);
  stmt.reset();
  std::optional<Error> violation = checks_.take();
  if (rc != SQLITE_DONE || violation) {
    if (own) abandonStatement();
    if (writes && !own && verb != "DELETE") doom();
    if (violation) throw *violation;
    RaiseEngineError(rc, message);
  }
  if (own) {
    try {
      runCached("RELEASE kolvar_statement");
    } catch (const Error&) {
      abandonStatement();
      throw;
    }
  }
  if (verb != "INSERT" && verb != "UPDATE" && verb != "DELETE")
    checks_.forget();  // the schema may have changed
}

std::shared_ptr<db::Recordset> Database::openRecordset(std::string_view sql) {
  sqlite3_stmt* stmt = acquire(sql);
  if (!IsSelect(sql)) {
    release(stmt);
    Raise(err::kInvalidOperation,
          "Sólo se puede abrir un conjunto de registros de una consulta de selección.");
  }
  auto rs = std::make_shared<Recordset>(*this, stmt);
  std::erase_if(recordsets_, [](const auto& w) {
    auto p = w.lock();
    return !p || !p->isOpen();
  });
  recordsets_.push_back(rs);
  return rs;
}

std::vector<std::shared_ptr<db::Recordset>> Database::recordsets() {
  std::vector<std::shared_ptr<db::Recordset>> out;
  for (const auto& w : recordsets_)
    if (auto p = w.lock(); p && p->isOpen()) out.push_back(std::move(p));
  return out;
}

TableDef Database::tableDef(std::string_view table) {
  sqlite3* db = handle();
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db,
                     "SELECT name FROM sqlite_master WHERE type='table' AND name=? COLLATE NOCASE",
                     -1, &stmt, nullptr);
  sqlite3_bind_text(stmt, 1, table.data(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
  std::string name;
  if (sqlite3_step(stmt) == SQLITE_ROW)
    name = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  sqlite3_finalize(stmt);
  if (name.empty())
    Raise(err::kItemNotFound, "No se encuentra la tabla '" + std::string(table) + "'.");
  return TableDef(*this, name);
}

// A file read without locks may have changed unseen: it is opened afresh.
bool Database::resume(const std::string& name, bool readOnly) {
  if (!db_ || closePending_ || pinned_ || depth_ > 0 || immutable_ || doomedAbove_ > 0 ||
      wholeFrom_ >= 0)
    return false;
  if (name != path_ || readOnly != readOnly_ || !sqlite3_get_autocommit(db_)) return false;
  for (auto& rs : recordsets()) rs->close();
  recordsets_.clear();
  for (sqlite3_stmt* s = sqlite3_next_stmt(db_, nullptr); s; s = sqlite3_next_stmt(db_, s))
    if (sqlite3_stmt_busy(s)) return false;
  // Renamed, replaced or deleted since it was opened: the name now means
  // another file, or none.
  int moved = 1;
  if (sqlite3_file_control(db_, "main", SQLITE_FCNTL_HAS_MOVED, &moved) != SQLITE_OK || moved)
    return false;
  // What another connection changed meanwhile, the engine reads again at the
  // next transaction, its schema included; the column checks follow it.
  sqlite3_set_last_insert_rowid(db_, 0);
  checks_.recheck();
  return true;
}

void Database::leaveWriteAheadLog() noexcept {
  if (readOnly_) return;
  sqlite3_stmt* mode = nullptr;
  try {
    mode = statements_.acquire("PRAGMA journal_mode",
                               [this](std::string_view t) { return prepareOn(db_, t); });
  } catch (...) {
    return;
  }
  const bool log =
      sqlite3_step(mode) == SQLITE_ROW &&
      sqlite3_stricmp(reinterpret_cast<const char*>(sqlite3_column_text(mode, 0)), "wal") == 0;
  release(mode);
  if (log) sqlite3_exec(db_, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
}

void Database::pin(bool pinned) {
  pinned_ = pinned;
  if (!pinned_ && closePending_ && depth_ == 0) closeFile();
}

void Database::close() {
  if (!db_ || closePending_) return;
  for (auto& rs : recordsets()) rs->close();
  recordsets_.clear();
  if (depth_ > 0 || pinned_) {
    closePending_ = true;
    return;
  }
  closeFile();
}

void Database::closeFile() noexcept {
  for (auto& rs : recordsets()) rs->close();
  recordsets_.clear();
  statements_.clear();
  sqlite3_close_v2(db_);
  db_ = nullptr;
  closePending_ = false;
}

}  // namespace kolvar::db::sqlite
