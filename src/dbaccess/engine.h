// The engine boundary: engine, workspace, database, result set and table
// definition over SQLite. No other code of the library touches SQLite.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbaccess/schema.h"
#include "dbaccess/write_checks.h"
#include "kolvar/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kolvar::db {

class Database;

// A scrollable, read-only cursor over one SELECT. The statement is stepped on
// demand; MoveFirst runs it again, so no result is held in memory beyond the
// current row.
class Recordset {
 public:
  Recordset(Database& owner, sqlite3_stmt* stmt);
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  bool eof() const;
  // Rows visited so far: 0 when empty, at least 1 otherwise; all after MoveLast.
  std::int32_t recordCount() const;
  std::int32_t absolutePosition() const;  // -1 at end
  void moveNext();
  void moveFirst();
  void moveLast();
  void close();
  bool isOpen() const { return stmt_ != nullptr; }

  int fieldCount() const;
  const std::string& fieldName(int index) const;  // error 3265 outside 0..count-1
  int fieldIndex(std::string_view name) const;    // without regard to case; 3265 when absent
  Value field(int index) const;                   // 3021 without a current row
  Value field(std::string_view name) const { return field(fieldIndex(name)); }

 private:
  void requireOpen() const;
  bool step();  // true on a row
  Value readColumn(int index) const;

  Database* owner_;
  sqlite3_stmt* stmt_;
  std::vector<std::string> names_;
  std::vector<std::string> lowerNames_;
  std::vector<std::optional<ColumnType>> types_;
  std::int32_t position_ = 0;  // index of the current row
  std::int32_t visited_ = 0;   // rows seen so far
  bool eof_ = false;
  bool onStatementRow_ = false;  // current row is readable from the statement
  std::vector<Value> snapshot_;  // current row after the statement ran past it
};

struct FieldDef {
  std::string name;
  ColumnType type = ColumnType::Text;
  int size = 0;
  std::optional<std::string> defaultValue;
  bool required = false;
  bool allowZeroLength = true;
};

class TableDef {
 public:
  TableDef(Database& db, std::string name) : db_(&db), name_(std::move(name)) {}
  const std::string& name() const { return name_; }
  std::vector<std::string> fieldNames() const;  // in the table's order
  FieldDef createField(std::string name, ColumnType type, int size = 0) const;
  void append(const FieldDef& field);  // adds the column to the table
  void refresh() {}                    // field names are always read afresh

 private:
  Database* db_;
  std::string name_;
};

class Database {
 public:
  Database(const std::string& path, bool readOnly);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::string& path() const { return path_; }
  bool isOpen() const { return db_ != nullptr && !closePending_; }
  // An INSERT, UPDATE or DELETE (or a schema statement); `options` is accepted
  // and ignored.
  void execute(std::string_view sql, int options = 0);
  std::shared_ptr<Recordset> openRecordset(std::string_view sql);
  // Result sets still open on this database.
  std::vector<std::shared_ptr<Recordset>> recordsets();
  TableDef tableDef(std::string_view table);
  // Closes the open result sets first. Inside a unit of work (Transaction) the
  // file stays open until the unit ends; the database is unusable meanwhile.
  void close();

  sqlite3* handle() const;  // error 3420 once closed

  // The key (rowid) of the row the last INSERT on this connection wrote.
  std::int64_t lastInsertKey() const;
  // Open units of work (dbaccess/transaction.h); 0 outside any.
  int unitDepth() const { return depth_; }
  // Makes a database closed inside a unit of work usable again.
  void reopen() { closePending_ = false; }

 private:
  friend class Transaction;
  void closeFile() noexcept;
  // Raises when the engine ended the open unit's transaction by itself (after
  // a failed write of the disk or a lock), so nothing runs outside it.
  void requireLiveUnit() const;

  sqlite3_stmt* prepare(std::string_view sql);
  void run(const char* sql);
  void abandonStatement() noexcept;
  std::string path_;
  sqlite3* db_ = nullptr;
  WriteChecks checks_;
  std::vector<std::weak_ptr<Recordset>> recordsets_;
  int depth_ = 0;
  bool closePending_ = false;
};

class Workspace {
 public:
  std::shared_ptr<Database> openDatabase(const std::string& path, bool exclusive = false,
                                         bool readOnly = false, std::string_view connect = "");
  void close();

 private:
  std::vector<std::weak_ptr<Database>> databases_;
};

class DBEngine {
 public:
  std::shared_ptr<Workspace> createWorkspace(std::string_view name, std::string_view user,
                                             std::string_view password, int type);
  std::shared_ptr<Database> openDatabase(const std::string& path, bool exclusive = false,
                                         bool readOnly = false, std::string_view connect = "");
};

// The engine object of the calling thread, created on first use.
DBEngine& ThreadEngine();

// Raises the engine error for an SQLite result code and message.
[[noreturn]] void RaiseEngineError(int code, std::string_view message);

}  // namespace kolvar::db
