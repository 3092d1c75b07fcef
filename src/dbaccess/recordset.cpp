#include <sqlite3.h>

#include <algorithm>
#include <limits>

#include "core/text.h"
#include "dbaccess/sqlite_engine.h"
#include "kolvar/error.h"

namespace kolvar::db::sqlite {

namespace {

// A computed column takes the type of its result: Long when it fits, else Double.
Value ByStorage(sqlite3_stmt* stmt, int i) {
  switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_NULL:
      return Value::Null();
    case SQLITE_INTEGER: {
      const sqlite3_int64 n = sqlite3_column_int64(stmt, i);
      if (n >= std::numeric_limits<std::int32_t>::min() &&
          n <= std::numeric_limits<std::int32_t>::max())
        return Value(static_cast<std::int32_t>(n));
      return Value(static_cast<double>(n));
    }
    case SQLITE_FLOAT:
      return Value(sqlite3_column_double(stmt, i));
    default: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
      return Value(std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))));
    }
  }
}

// A table column reads back as a value of its declared type. A stored value
// the type cannot hold (a file written by other means) comes back as stored.
Value Typed(sqlite3_stmt* stmt, int i, ColumnType type) {
  const int storage = sqlite3_column_type(stmt, i);
  if (storage == SQLITE_NULL) return Value::Null();
  const bool numeric = storage == SQLITE_INTEGER || storage == SQLITE_FLOAT;
  switch (type) {
    case ColumnType::Text: {
      const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
      return Value(std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, i))));
    }
    case ColumnType::Counter:
    case ColumnType::Long:
      if (storage == SQLITE_INTEGER) return ByStorage(stmt, i);
      break;
    case ColumnType::Integer: {
      const auto n = sqlite3_column_int64(stmt, i);
      if (storage == SQLITE_INTEGER && n >= -32768 && n <= 32767)
        return Value(static_cast<std::int16_t>(n));
      break;
    }
    case ColumnType::Byte: {
      const auto n = sqlite3_column_int64(stmt, i);
      if (storage == SQLITE_INTEGER && n >= 0 && n <= 255)
        return Value(static_cast<std::uint8_t>(n));
      break;
    }
    case ColumnType::Boolean:
      if (storage == SQLITE_INTEGER) return Value(sqlite3_column_int64(stmt, i) != 0);
      break;
    case ColumnType::Single:
      if (numeric) return Value(static_cast<float>(sqlite3_column_double(stmt, i)));
      break;
    case ColumnType::Double:
      if (numeric) return Value(sqlite3_column_double(stmt, i));
      break;
    case ColumnType::Date:
      if (numeric) return Value::Date(sqlite3_column_double(stmt, i));
      break;
  }
  return ByStorage(stmt, i);
}

// A short result is kept whole when MoveLast reaches its end within these rows.
constexpr std::int32_t kKeptRows = 16;
// Rows stepped over to reach a row ahead; farther ones are skipped by a statement.
constexpr std::int32_t kStepAhead = 32;

// The statement's text without the blanks and semicolons that may end it.
std::string Trimmed(const char* sql) {
  std::string text = sql ? sql : "";
  while (!text.empty() && (text.back() == ';' || text.back() == ' ' || text.back() == '\n' ||
                           text.back() == '\r' || text.back() == '\t'))
    text.pop_back();
  return text;
}

// A statement over the rows of `text` (a SELECT of the same connection), or
// nullptr when the text does not nest in another.
sqlite3_stmt* Nested(sqlite3* db, const std::string& head, const std::string& text,
                     const std::string& tail) {
  const std::string sql = head + text + "\n)" + tail;
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, nullptr) !=
      SQLITE_OK) {
    sqlite3_finalize(stmt);
    return nullptr;
  }
  return stmt;
}

}  // namespace

Recordset::Recordset(Database& owner, sqlite3_stmt* stmt)
    : owner_(owner), lent_(stmt), stmt_(stmt), text_(Trimmed(sqlite3_sql(stmt))) {
  try {
    eof_ = !step();
  } catch (...) {
    dropStatement();
    throw;
  }
  // The columns as of the first step: a statement prepared before another
  // connection changed the schema is prepared again by it.
  const int n = sqlite3_column_count(stmt);
  for (int i = 0; i < n; ++i) {
    const char* name = sqlite3_column_name(stmt, i);
    // A column read straight from a table takes its described type.
    const char* table = sqlite3_column_table_name(stmt, i);
    const char* origin = sqlite3_column_origin_name(stmt, i);
    const Column* column = table && origin ? FindColumn(table, origin) : nullptr;
    addColumn(name ? name : "", column ? std::optional(column->type) : std::nullopt);
  }
  statementRow_ = eof_ ? -1 : 0;
  visited_ = eof_ ? 0 : 1;
  complete_ = eof_;
}

Recordset::~Recordset() {
  close();
}

bool Recordset::step() const {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) RaiseEngineError(rc, sqlite3_errmsg(sqlite3_db_handle(stmt_)));
  return false;
}

bool Recordset::eof() const {
  requireOpen();
  return eof_;
}

std::int32_t Recordset::recordCount() const {
  requireOpen();
  return visited_;
}

std::int32_t Recordset::absolutePosition() const {
  requireOpen();
  return eof_ ? -1 : position_;
}

void Recordset::absolutePosition(std::int32_t position) {
  requireOpen();
  if (position < 0 || position >= visited_) Raise(err::kNoCurrentRecord);
  position_ = position;
  eof_ = false;
}

void Recordset::startAt(std::int32_t p) const {
  statementRow_ = -1;
  sqlite3_stmt* skipping =
      p == firstRow_ ? nullptr
                     : Nested(sqlite3_db_handle(stmt_), "SELECT * FROM (", text_,
                              p == 0 ? std::string() : " LIMIT -1 OFFSET " + std::to_string(p));
  if (skipping) {
    dropStatement();
    stmt_ = skipping;
    firstRow_ = p;
  } else {
    sqlite3_reset(stmt_);
  }
  if (step()) statementRow_ = firstRow_;
}

void Recordset::seek(std::int32_t p) const {
  const bool ahead = statementRow_ >= 0 && statementRow_ <= p && p - statementRow_ <= kStepAhead;
  if (!ahead) startAt(p >= firstRow_ && p - firstRow_ <= kStepAhead ? firstRow_ : p);
  while (statementRow_ >= 0 && statementRow_ < p) statementRow_ = step() ? statementRow_ + 1 : -1;
  if (statementRow_ != p) Raise(err::kNoCurrentRecord);  // the rows changed under the count
}

void Recordset::moveNext() {
  requireOpen();
  if (eof_) Raise(err::kNoCurrentRecord);
  ++position_;
  if (complete_) {
    eof_ = position_ >= visited_;
    return;
  }
  // Until the count is complete, rows are read in order from the statement.
  seek(position_ - 1);
  if (step()) {
    statementRow_ = position_;
    visited_ = std::max(visited_, position_ + 1);
    return;
  }
  statementRow_ = -1;
  eof_ = complete_ = true;
  visited_ = position_;
}

void Recordset::moveFirst() {
  requireOpen();
  if (visited_ == 0) Raise(err::kNoCurrentRecord);
  position_ = 0;
  eof_ = false;
}

std::vector<Value> Recordset::readRow() const {
  std::vector<Value> row;
  row.reserve(static_cast<std::size_t>(columns()));
  for (int i = 0; i < columns(); ++i) row.push_back(readColumn(i));
  return row;
}

std::int32_t Recordset::countRows() {
  // From its first row the statement is read on, and kept when it is short.
  if (statementRow_ == 0) {
    while (static_cast<std::int32_t>(kept_.size()) < kKeptRows) {
      kept_.push_back(readRow());
      if (!step()) {
        statementRow_ = -1;
        return static_cast<std::int32_t>(kept_.size());
      }
      ++statementRow_;
    }
  }
  const auto kept = static_cast<std::int32_t>(kept_.size());
  // A long one is counted by a statement that decodes no row.
  if (sqlite3_stmt* counting =
          Nested(sqlite3_db_handle(stmt_), "SELECT count(*) FROM (", text_, "")) {
    const int rc = sqlite3_step(counting);
    const std::int32_t n = rc == SQLITE_ROW ? sqlite3_column_int(counting, 0) : 0;
    const std::string message = sqlite3_errmsg(sqlite3_db_handle(counting));
    sqlite3_finalize(counting);
    if (rc != SQLITE_ROW) RaiseEngineError(rc, message);
    return std::max(n, kept);
  }
  // A text that does not nest is stepped to its end.
  if (statementRow_ < 0) startAt(firstRow_);
  std::int32_t n = statementRow_ + 1;
  while (step()) ++n;
  statementRow_ = -1;
  return std::max(n, kept);
}

void Recordset::moveLast() {
  requireOpen();
  if (visited_ == 0) Raise(err::kNoCurrentRecord);
  if (!complete_) {
    visited_ = countRows();
    complete_ = true;
  }
  if (visited_ == 0) Raise(err::kNoCurrentRecord);
  position_ = visited_ - 1;
  eof_ = false;
}

void Recordset::close() {
  dropStatement();
  kept_.clear();
}

void Recordset::dropStatement() const {
  if (stmt_ && stmt_ == lent_)
    owner_.release(stmt_);
  else if (stmt_)
    sqlite3_finalize(stmt_);
  if (stmt_ == lent_) lent_ = nullptr;
  stmt_ = nullptr;
}

Value Recordset::readColumn(int index) const {
  const auto& type = describedType(index);
  return type ? Typed(stmt_, index, *type) : ByStorage(stmt_, index);
}

Value Recordset::field(int index) const {
  requireOpen();
  requireField(index);
  if (eof_) Raise(err::kNoCurrentRecord);
  if (position_ < static_cast<std::int32_t>(kept_.size()))
    return kept_[static_cast<std::size_t>(position_)][static_cast<std::size_t>(index)];
  seek(position_);
  return readColumn(index);
}

}  // namespace kolvar::db::sqlite
