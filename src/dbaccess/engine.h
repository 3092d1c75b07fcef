// The engine boundary: engine, workspace, database, result set and table
// definition. Two engines serve it: the embedded one (SQLite files,
// dbaccess/sqlite_engine.h) and a PostgreSQL server (dbaccess/pg/). The name
// given for a database picks one: a postgresql:// URI or a libpq connection
// string the server, anything else a file. No code above the boundary knows
// which engine runs.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbaccess/schema.h"
#include "kolvar/value.h"

namespace kolvar::db {

// A scrollable, read-only cursor over one SELECT.
class Recordset {
 public:
  virtual ~Recordset() = default;
  Recordset() = default;
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  virtual bool eof() const = 0;
  // Rows visited so far: 0 when empty, at least 1 otherwise; all after MoveLast.
  virtual std::int32_t recordCount() const = 0;
  virtual std::int32_t absolutePosition() const = 0;  // -1 at end
  // Makes row `position` (from 0) current; 3021 unless 0 <= position < the
  // record count (all rows after MoveLast).
  virtual void absolutePosition(std::int32_t position) = 0;
  virtual void moveNext() = 0;
  virtual void moveFirst() = 0;
  virtual void moveLast() = 0;
  virtual void close() = 0;
  virtual bool isOpen() const = 0;

  virtual int fieldCount() const = 0;
  virtual const std::string& fieldName(int index) const = 0;  // 3265 outside 0..count-1
  virtual int fieldIndex(std::string_view name) const = 0;    // without regard to case; 3265
  virtual Value field(int index) const = 0;                   // 3021 without a current row
  Value field(std::string_view name) const { return field(fieldIndex(name)); }
};

struct FieldDef {
  std::string name;
  ColumnType type = ColumnType::Text;
  int size = 0;
  std::optional<std::string> defaultValue;
  bool required = false;
  bool allowZeroLength = true;
};

class Database;

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
  virtual ~Database() = default;
  Database() = default;
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // The name it was opened with: a file's path or a connection string.
  virtual const std::string& path() const = 0;
  virtual bool isOpen() const = 0;
  // An INSERT, UPDATE or DELETE (or a schema statement); `options` is accepted
  // and ignored.
  virtual void execute(std::string_view sql, int options = 0) = 0;
  // The same with values in place of its parameters (?), in order. A text
  // value converts into its column as its quoted literal would, and a text
  // its literal would refuse is refused the same way (3075).
  virtual void execute(std::string_view sql, const std::vector<Value>& params) = 0;
  virtual std::shared_ptr<Recordset> openRecordset(std::string_view sql) = 0;
  // Result sets still open on this database.
  virtual std::vector<std::shared_ptr<Recordset>> recordsets() = 0;
  // Error 3265 when there is no such table.
  virtual TableDef tableDef(std::string_view table) = 0;
  // Closes the open result sets first. Inside a unit of work (Transaction) the
  // database stays open until the unit ends; it is unusable (3420) meanwhile.
  virtual void close() = 0;

  // The key of the row the last INSERT into a table with a counter wrote.
  virtual std::int64_t lastInsertKey() const = 0;
  // Open units of work (dbaccess/transaction.h); 0 outside any.
  virtual int unitDepth() const = 0;
  // Makes a database closed inside a unit of work usable again.
  virtual void reopen() = 0;
  // Takes the database up again for a new unit of work when the last one left
  // it open (the save methods end without closing) and it can serve as a
  // fresh opening of `name` would: the same file still at that name, in the
  // same mode, with nothing of the last unit still running; its open result
  // sets are closed as the replaced database's would be. False when it
  // cannot; the caller then opens the name afresh.
  virtual bool resume(const std::string& name, bool readOnly) {
    (void)name, (void)readOnly;
    return false;
  }
  // While pinned (by a batch), close() leaves the database open but unusable
  // until reopened, as inside a unit of work; unpinned, a close() still
  // pending closes it.
  virtual void pin(bool pinned) = 0;
  // True when the last outermost unit failed because a concurrent one won
  // (the server's serialization failures and deadlocks): trying it again may
  // succeed.
  virtual bool unitConflicted() const { return false; }
  // While on, work that fails is undone only by undoing a unit already open
  // when it was turned on: units begun meanwhile, and single statements, take
  // no savepoint of their own, and a failure among them leaves the database
  // refusing every write and commit until that older unit is undone. For bulk
  // work whose every failure abandons all of it. An engine may ignore it.
  virtual void undoOnlyAsAWhole(bool /*on*/) {}

  // Whole tables of the described user database, for moving it from one
  // engine to the other. Rows hold the table's columns in the described
  // order, as values of their types, keys as stored.
  using RowVisitor = std::function<void(const std::vector<Value>& row)>;
  // Every row, in key order when the table has a counter; rows are read a
  // few thousand at a time.
  virtual void scanRows(const Table& table, const RowVisitor& each);
  // Inserts the rows with the keys they carry, inside an open unit of work
  // (else 3219); a failure dooms that unit. Values are bound, never written
  // into statement text; the column checks hold as for any insert.
  virtual void insertRows(const Table& table, const std::vector<std::vector<Value>>& rows) = 0;
  // The highest key the table's counter has handed out (deleted rows
  // included), 0 when none or when the table has no counter.
  virtual std::int64_t counterMark(const Table& table) = 0;
  // The counter hands out only keys above `mark` from now on; it is never
  // lowered. Inside an open unit of work, undone with it.
  virtual void raiseCounterMark(const Table& table, std::int64_t mark) = 0;

 protected:
  friend class TableDef;
  friend class Transaction;
  // Units of work: level 0 is the outermost, every level above it nests.
  virtual void beginUnit(int level) = 0;
  virtual void commitUnit(int level) = 0;
  virtual void undoUnit(int level) noexcept = 0;
  // Table definitions.
  virtual std::vector<std::string> columnNames(const std::string& table) = 0;
  virtual void appendColumn(const std::string& table, const FieldDef& field) = 0;
};

// Opens the database a name addresses (see above); a file is opened
// read-only on request.
std::shared_ptr<Database> OpenDatabase(const std::string& name, bool readOnly = false);

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

}  // namespace kolvar::db
