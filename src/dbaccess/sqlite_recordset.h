// A result set of the embedded engine. Its statement comes from the file's
// statement cache and goes back to it when the result set closes, so a
// SELECT run again while the file is open is not prepared again. The
// statement is stepped on demand and columns are decoded only when read. MoveLast keeps a short
// result whole and counts a long one with a statement that reads no row, so neither runs the query
// again for MoveFirst; a row far from the statement's own is reached by a statement that skips the
// rows before it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "dbaccess/recordset_columns.h"
#include "kolvar/value.h"

struct sqlite3_stmt;

namespace kolvar::db {

// Raises the engine error for an SQLite result code and message.
[[noreturn]] void RaiseEngineError(int code, std::string_view message);

namespace sqlite {

class Database;

class Recordset : public RecordsetColumns {
 public:
  Recordset(Database& owner, sqlite3_stmt* stmt);
  ~Recordset() override;

  bool eof() const override;
  std::int32_t recordCount() const override;
  std::int32_t absolutePosition() const override;
  void absolutePosition(std::int32_t position) override;
  void moveNext() override;
  void moveFirst() override;
  void moveLast() override;
  void close() override;
  bool isOpen() const override { return stmt_ != nullptr; }
  Value field(int index) const override;
  using RecordsetColumns::field;

 private:
  bool step() const;  // true on a row
  Value readColumn(int index) const;
  std::vector<Value> readRow() const;
  // Puts the statement on row p, which is known to exist.
  void seek(std::int32_t p) const;
  // Replaces the statement by one over the same rows that begins at row p.
  void startAt(std::int32_t p) const;
  // The number of rows, read from the statement where it stands.
  std::int32_t countRows();
  // Gives the statement back to the cache, or finalizes one of its own.
  void dropStatement() const;

  Database& owner_;
  mutable sqlite3_stmt* lent_;  // the cache's statement, until given back
  mutable sqlite3_stmt* stmt_;
  std::string text_;                        // the statement's text, trimmed
  mutable std::int32_t firstRow_ = 0;       // row the statement begins at
  mutable std::int32_t statementRow_ = -1;  // row the statement is on; -1 off the rows
  std::vector<std::vector<Value>> kept_;    // rows 0..n-1, read by MoveLast
  std::int32_t position_ = 0;               // the current row
  std::int32_t visited_ = 0;                // rows seen so far; all once complete_
  bool complete_ = false;
  bool eof_ = false;
};

}  // namespace sqlite
}  // namespace kolvar::db
