// The embedded engine behind the boundary: database files over SQLite. No
// other code of the library touches SQLite.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbaccess/engine.h"
#include "dbaccess/schema.h"
#include "dbaccess/statement_cache.h"
#include "dbaccess/write_checks.h"
#include "kolvar/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kolvar::db {

// Raises the engine error for an SQLite result code and message.
[[noreturn]] void RaiseEngineError(int code, std::string_view message);

namespace sqlite {

class Database;

// The statement is stepped on demand; MoveFirst runs it again, so no result
// is held in memory beyond the current row.
class Recordset : public db::Recordset {
 public:
  Recordset(Database& owner, sqlite3_stmt* stmt);
  ~Recordset() override;

  bool eof() const override;
  std::int32_t recordCount() const override;
  std::int32_t absolutePosition() const override;
  void moveNext() override;
  void moveFirst() override;
  void moveLast() override;
  void close() override;
  bool isOpen() const override { return stmt_ != nullptr; }

  int fieldCount() const override;
  const std::string& fieldName(int index) const override;
  int fieldIndex(std::string_view name) const override;
  Value field(int index) const override;
  using db::Recordset::field;

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

class Database : public db::Database {
 public:
  Database(const std::string& path, bool readOnly);
  ~Database() override;

  const std::string& path() const override { return path_; }
  bool isOpen() const override { return db_ != nullptr && !closePending_; }
  void execute(std::string_view sql, int options = 0) override;
  void execute(std::string_view sql, const std::vector<Value>& params) override;
  std::shared_ptr<db::Recordset> openRecordset(std::string_view sql) override;
  std::vector<std::shared_ptr<db::Recordset>> recordsets() override;
  db::TableDef tableDef(std::string_view table) override;
  void close() override;

  sqlite3* handle() const;  // error 3420 once closed

  std::int64_t lastInsertKey() const override;
  int unitDepth() const override { return depth_; }
  void reopen() override { closePending_ = false; }
  void pin(bool pinned) override;

  void insertRows(const Table& table, const std::vector<std::vector<Value>>& rows) override;
  std::int64_t counterMark(const Table& table) override;
  void raiseCounterMark(const Table& table, std::int64_t mark) override;

 protected:
  void beginUnit(int level) override;
  void commitUnit(int level) override;
  void undoUnit(int level) noexcept override;
  std::vector<std::string> columnNames(const std::string& table) override;
  void appendColumn(const std::string& table, const FieldDef& field) override;

 private:
  void closeFile() noexcept;
  // Raises when the engine ended the open unit's transaction by itself (after
  // a failed write of the disk or a lock), so nothing runs outside it.
  void requireLiveUnit() const;

  sqlite3_stmt* prepare(std::string_view sql);
  // A prepared statement of the text, kept for the next run of the same text
  // while the file is open, and its return.
  sqlite3_stmt* acquire(std::string_view sql);
  void release(sqlite3_stmt* stmt) noexcept;
  struct Releaser {
    Database* db;
    void operator()(sqlite3_stmt* stmt) const noexcept { db->release(stmt); }
  };
  // Runs a statement of the library's own text, prepared once.
  void runCached(const char* sql);
  void run(const char* sql);
  void abandonStatement() noexcept;
  std::string path_;
  sqlite3* db_ = nullptr;
  WriteChecks checks_;
  std::vector<std::weak_ptr<Recordset>> recordsets_;
  int depth_ = 0;
  bool closePending_ = false;
  bool pinned_ = false;
  StatementCache statements_;
};

}  // namespace sqlite
}  // namespace kolvar::db
