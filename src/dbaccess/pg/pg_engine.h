// The engine boundary over a PostgreSQL server: database, result set and
// table definition, with the same operations and error numbers as the
// embedded engine's. Text(n) columns compare without regard to case.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbaccess/engine.h"
#include "dbaccess/pg/pg_connection.h"
#include "dbaccess/recordset_columns.h"
#include "dbaccess/schema.h"
#include "kolvar/value.h"

namespace kolvar::db::pg {

// The result of one SELECT. A short one is read whole in one round trip; a
// longer one is read through a cursor on the server, a batch of rows at a
// time, so that only one batch is held here.
class Recordset : public RecordsetColumns {
 public:
  // A whole result, already read.
  Recordset(Connection& connection, Result result, const std::vector<std::string>& aliases);
  // Runs the statement: whole when it has at most RowsPerBatch() rows, else
  // through a cursor that lives until the result set is closed.
  static std::shared_ptr<Recordset> Open(const std::shared_ptr<Connection>& connection,
                                         const std::string& sql,
                                         const std::vector<std::string>& aliases);
  ~Recordset() override;

  bool eof() const override;
  std::int32_t recordCount() const override;
  std::int32_t absolutePosition() const override;
  void absolutePosition(std::int32_t position) override;
  void moveNext() override;
  void moveFirst() override;
  void moveLast() override;
  void close() override;
  bool isOpen() const override { return open_; }

  Value field(int index) const override;
  using RecordsetColumns::field;

  // Rows per batch (and the most a result read whole holds); tests lower it.
  static int RowsPerBatch();
  static void SetRowsPerBatch(int rows);

 private:
  void describe(Connection& connection, const std::vector<std::string>& aliases);
  // Makes row p the batch's when it exists; false past the last row.
  bool load(std::int32_t p) const;
  void closeCursor() noexcept;

  mutable Result batch_;
  mutable std::int32_t batchStart_ = 0;  // row number of the batch's first row
  mutable std::int32_t total_ = -1;      // the number of rows, -1 until known
  std::vector<unsigned int> serverTypes_;
  std::int32_t position_ = 0;
  std::int32_t visited_ = 0;
  bool open_ = true;
  // The cursor, for a long result.
  std::shared_ptr<Connection> connection_;
  std::string cursor_;
  int generation_ = 0;                 // the connection's, when the cursor was declared
  mutable std::int32_t cursorAt_ = 0;  // rows the cursor has gone past
};

class Database : public db::Database {
 public:
  // The thread's connection for this connection string.
  explicit Database(const std::string& conninfo);
  ~Database() override;

  const std::string& path() const override { return conninfo_; }
  bool isOpen() const override { return connection_ != nullptr && !closePending_; }
  void execute(std::string_view sql, int options = 0) override;
  void execute(std::string_view sql, const std::vector<Value>& params) override;
  std::shared_ptr<db::Recordset> openRecordset(std::string_view sql) override;
  std::vector<std::shared_ptr<db::Recordset>> recordsets() override;
  db::TableDef tableDef(std::string_view table) override;
  // Closes the open result sets; the connection stays for the thread.
  void close() override;

  std::int64_t lastInsertKey() const override { return lastKey_; }
  int unitDepth() const override { return depth_; }
  void reopen() override { closePending_ = false; }
  void pin(bool pinned) override;
  // Units of work are serializable transactions; one that lost to a
  // concurrent one fails with 3050, and this says so until the next begins.
  bool unitConflicted() const override;

  // Rows are read through a cursor, a few thousand per round trip, and
  // written with COPY.
  void scanRows(const Table& table, const RowVisitor& each) override;
  void insertRows(const Table& table, const std::vector<std::vector<Value>>& rows) override;
  std::int64_t counterMark(const Table& table) override;
  void raiseCounterMark(const Table& table, std::int64_t mark) override;

  // A bare transaction, outside the units of work (tests, bulk work).
  void begin(std::string_view isolation = "READ COMMITTED");
  void commit();
  void rollback() noexcept;

  Connection& connection() const;  // error 3420 once closed

 protected:
  // Level 0 is the transaction, every level above it a savepoint.
  void beginUnit(int level) override;
  void commitUnit(int level) override;
  void undoUnit(int level) noexcept override;
  std::vector<std::string> columnNames(const std::string& table) override;
  void appendColumn(const std::string& table, const FieldDef& field) override;

 private:
  void requireLiveUnit() const;
  [[noreturn]] void refuse(Connection& c, const std::string& sql, const char* message);

  std::string conninfo_;
  std::shared_ptr<Connection> connection_;
  std::vector<std::weak_ptr<Recordset>> recordsets_;
  std::int64_t lastKey_ = 0;
  int depth_ = 0;
  bool closePending_ = false;
  bool pinned_ = false;
};

}  // namespace kolvar::db::pg
