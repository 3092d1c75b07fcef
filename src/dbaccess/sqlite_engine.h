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
#include "dbaccess/sqlite_recordset.h"
#include "dbaccess/statement_cache.h"
#include "dbaccess/write_checks.h"
#include "kolvar/value.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kolvar::db::sqlite {

// Values bound to a statement's parameters in order; a count other than the
// parameters' is error 3001. As literals, each converts into its column as
// its quoted literal would, and a text its literal would refuse is refused
// (3075). As stored, each is a cell's own value put back whole.
enum class BoundAs { Literals, Stored };
void BindValues(sqlite3_stmt* stmt, const std::vector<Value>& values, BoundAs as);

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
  bool resume(const std::string& name, bool readOnly) override;
  void pin(bool pinned) override;
  void undoOnlyAsAWhole(bool on) override { wholeFrom_ = on && depth_ > 0 ? depth_ : -1; }

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
  friend class Recordset;  // gives its statement back to the cache
  void closeFile() noexcept;
  // Raises when the engine ended the open unit's transaction by itself (after
  // a failed write of the disk or a lock), so nothing runs outside it.
  void requireLiveUnit() const;

  sqlite3_stmt* prepare(std::string_view sql);  // 3420 once closed
  sqlite3_stmt* prepareOn(sqlite3* db, std::string_view sql);
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
  // After a commit: a file that another program turned to a write-ahead log
  // is turned back, so that the .db file alone holds the commit.
  void leaveWriteAheadLog() noexcept;
  std::string path_;
  bool readOnly_;
  bool immutable_ = false;
  sqlite3* db_ = nullptr;
  WriteChecks checks_;
  std::vector<std::weak_ptr<Recordset>> recordsets_;
  int depth_ = 0;
  // Levels from this one on take no savepoint (undoOnlyAsAWhole); -1 when off.
  int wholeFrom_ = -1;
  std::vector<bool> withoutSavepoint_;  // by level
  // A failure without a savepoint dooms the work down to this level, which
  // must be undone first; 0 when nothing is doomed.
  int doomedAbove_ = 0;
  void doom() noexcept {
    if (doomedAbove_ == 0) doomedAbove_ = wholeFrom_;
  }
  bool closePending_ = false;
  bool pinned_ = false;
  StatementCache statements_;
};

}  // namespace kolvar::db::sqlite
