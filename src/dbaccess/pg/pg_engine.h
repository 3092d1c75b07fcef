// The engine boundary over a PostgreSQL server: database, result set and
// table definition, with the same operations and error numbers as the
// embedded engine's.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "dbaccess/pg/pg_connection.h"
#include "dbaccess/schema.h"
#include "kolvar/value.h"

namespace kolvar::db::pg {

// A scrollable, read-only cursor over the whole result of one SELECT, read
// in one round trip.
class Recordset {
 public:
  Recordset(Connection& connection, Result result, const std::vector<std::string>& aliases);
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
  bool isOpen() const { return result_ != nullptr; }

  int fieldCount() const;
  const std::string& fieldName(int index) const;  // error 3265 outside 0..count-1
  int fieldIndex(std::string_view name) const;    // without regard to case; 3265 when absent
  Value field(int index) const;                   // 3021 without a current row
  Value field(std::string_view name) const { return field(fieldIndex(name)); }

 private:
  void requireOpen() const;

  Result result_;
  std::int32_t rows_ = 0;
  std::vector<std::string> names_;
  std::vector<std::string> lowerNames_;
  std::vector<std::optional<ColumnType>> types_;
  std::vector<unsigned int> serverTypes_;
  std::int32_t position_ = 0;
  std::int32_t visited_ = 0;
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
  void append(const FieldDef& field);
  void refresh() {}

 private:
  Database* db_;
  std::string name_;
};

class Database {
 public:
  // The thread's connection for this connection string.
  explicit Database(const std::string& conninfo);
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  const std::string& path() const { return conninfo_; }
  bool isOpen() const { return connection_ != nullptr; }
  void execute(std::string_view sql, int options = 0);
  std::shared_ptr<Recordset> openRecordset(std::string_view sql);
  std::vector<std::shared_ptr<Recordset>> recordsets();
  TableDef tableDef(std::string_view table);
  // Closes the open result sets; the connection stays for the thread. Inside
  // a unit of work the database only becomes unusable (3420) until the unit ends.
  void close();

  // Units of work (dbaccess/transaction.h): level 0 is the transaction, every
  // level above it a savepoint. The transaction is serializable: a unit that
  // lost to a concurrent one fails with 3050 and unitConflicted() says so
  // until the next one begins.
  void beginUnit(int level);
  void commitUnit(int level);
  void undoUnit(int level) noexcept;
  void requireLiveUnit() const;
  bool unitConflicted() const;
  int unitDepth() const { return depth_; }
  void reopen() { closePending_ = false; }

  // A bare transaction (tests and bulk work).
  void begin(std::string_view isolation = "READ COMMITTED");
  void commit();
  void rollback() noexcept;
  // The key the last INSERT gave the row it added to a table with a counter.
  std::int64_t lastInsertKey() const { return lastKey_; }

  Connection& connection() const;  // error 3420 once closed

 private:
  std::string conninfo_;
  std::shared_ptr<Connection> connection_;
  std::vector<std::weak_ptr<Recordset>> recordsets_;
  std::int64_t lastKey_ = 0;
  int depth_ = 0;
  bool closePending_ = false;
};

}  // namespace kolvar::db::pg
