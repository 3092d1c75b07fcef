#include <sqlite3.h>

#include <limits>

#include "core/text.h"
#include "dbaccess/engine.h"
#include "dbaccess/sql_dialect.h"
#include "kolvar/error.h"

namespace kolvar::db {

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

}  // namespace

namespace {

// Rows kept whole when MoveLast finds no more than these.
constexpr std::int32_t kKeptRows = 16;
// Rows stepped over to reach a row ahead; farther ones are skipped.
constexpr std::int32_t kStepAhead = 32;

// The text without the blanks and semicolons that may end it.
std::string Body(std::string sql) {
  while (!sql.empty() && (sql.back() == ' ' || sql.back() == ';' || sql.back() == '\n' ||
                          sql.back() == '\r' || sql.back() == '\t'))
    sql.pop_back();
  return sql;
}

}  // namespace

Recordset::Recordset(Database& owner, sqlite3_stmt* stmt, std::string sql)
    : owner_(&owner), stmt_(stmt), sql_(std::move(sql)) {
  const int n = sqlite3_column_count(stmt);
  for (int i = 0; i < n; ++i) {
    const char* name = sqlite3_column_name(stmt, i);
    names_.emplace_back(name ? name : "");
    lowerNames_.push_back(text::LowerAscii(names_.back()));
    // A column read straight from a table takes its described type.
    const char* table = sqlite3_column_table_name(stmt, i);
    const char* origin = sqlite3_column_origin_name(stmt, i);
    const Column* column = table && origin ? FindColumn(table, origin) : nullptr;
    types_.push_back(column ? std::optional(column->type) : std::nullopt);
  }
  try {
    eof_ = !step();
  } catch (...) {
    owner_->release(stmt_);
    stmt_ = nullptr;
    throw;
  }
  statementRow_ = eof_ ? -1 : 0;
  visited_ = eof_ ? 0 : 1;
  complete_ = eof_;
}

Recordset::~Recordset() {
  close();
}

void Recordset::requireOpen() const {
  if (!stmt_) Raise(err::kObjectInvalid);
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
  if (!complete_ || position < 0 || position >= visited_) Raise(err::kNoCurrentRecord);
  position_ = position;
  eof_ = false;
}

void Recordset::restart() const {
  sqlite3_reset(stmt_);
  statementRow_ = step() ? 0 : -1;
}

void Recordset::seek(std::int32_t p) const {
  if (statementRow_ >= 0 && statementRow_ <= p && p - statementRow_ <= kStepAhead) {
    while (statementRow_ < p) {
      if (!step()) {
        statementRow_ = -1;
        Raise(err::kNoCurrentRecord);
      }
      ++statementRow_;
    }
    return;
  }
  if (p <= kStepAhead) {
    restart();
    if (statementRow_ < 0) Raise(err::kNoCurrentRecord);
    seek(p);
    return;
  }
  // A statement that skips the rows before p without reading them.
  sqlite3_stmt* skip =
      owner_->acquireAdapted("SELECT * FROM (" + Body(AdaptDialect(sql_)) + ") LIMIT -1 OFFSET ?");
  sqlite3_bind_int(skip, 1, p);
  owner_->release(stmt_);
  stmt_ = skip;
  statementRow_ = -1;
  if (!step()) Raise(err::kNoCurrentRecord);
  statementRow_ = p;
}

void Recordset::moveNext() {
  requireOpen();
  if (eof_) Raise(err::kNoCurrentRecord);
  ++position_;
  if (complete_) {
    eof_ = position_ >= visited_;
    return;
  }
  // Before the count is complete the statement is on the current row.
  if (statementRow_ == position_ - 1 && step()) {
    statementRow_ = position_;
    if (position_ + 1 > visited_) visited_ = position_ + 1;
    return;
  }
  statementRow_ = -1;
  eof_ = true;
  complete_ = true;
  visited_ = position_;
}

void Recordset::moveFirst() {
  requireOpen();
  if (visited_ == 0) Raise(err::kNoCurrentRecord);
  position_ = 0;
  eof_ = false;
  if (!fromRows_ && !complete_ && statementRow_ != 0) {
    restart();
    if (statementRow_ < 0) eof_ = true;
  }
}

std::vector<Value> Recordset::readRow() const {
  std::vector<Value> row;
  row.reserve(names_.size());
  for (int i = 0; i < static_cast<int>(names_.size()); ++i) row.push_back(readColumn(i));
  return row;
}

std::int32_t Recordset::countRows() {
  const std::string counting = "SELECT count(*) FROM (" + Body(AdaptDialect(sql_)) + ")";
  sqlite3_stmt* count = nullptr;
  try {
    count = owner_->acquireAdapted(counting);
  } catch (const Error&) {
    count = nullptr;  // a text that does not nest: step it to its end instead
  }
  if (count) {
    const int rc = sqlite3_step(count);
    const std::int32_t n = rc == SQLITE_ROW ? sqlite3_column_int(count, 0) : -1;
    const std::string message = sqlite3_errmsg(sqlite3_db_handle(count));
    owner_->release(count);
    if (rc != SQLITE_ROW) RaiseEngineError(rc, message);
    return n;
  }
  if (statementRow_ < 0) restart();
  std::int32_t n = statementRow_ + 1;
  while (step()) ++n;
  statementRow_ = -1;
  return n;
}

void Recordset::moveLast() {
  requireOpen();
  if (visited_ == 0) Raise(err::kNoCurrentRecord);
  if (!complete_) {
    if (statementRow_ == 0) {
      // A short result is read whole: MoveFirst then needs no second run.
      while (static_cast<std::int32_t>(rows_.size()) < kKeptRows) {
        rows_.push_back(readRow());
        if (!step()) {
          statementRow_ = -1;
          fromRows_ = true;
          break;
        }
        ++statementRow_;
      }
    }
    if (fromRows_) {
      visited_ = static_cast<std::int32_t>(rows_.size());
    } else {
      rows_.clear();
      visited_ = countRows();
    }
    complete_ = true;
  }
  if (visited_ == 0) Raise(err::kNoCurrentRecord);
  position_ = visited_ - 1;
  eof_ = false;
}

void Recordset::close() {
  if (stmt_) owner_->release(stmt_);
  stmt_ = nullptr;
  rows_.clear();
}

int Recordset::fieldCount() const {
  requireOpen();
  return static_cast<int>(names_.size());
}

const std::string& Recordset::fieldName(int index) const {
  requireOpen();
  if (index < 0 || index >= static_cast<int>(names_.size())) Raise(err::kItemNotFound);
  return names_[static_cast<std::size_t>(index)];
}

int Recordset::fieldIndex(std::string_view name) const {
  requireOpen();
  const std::string wanted = text::LowerAscii(name);
  for (std::size_t i = 0; i < lowerNames_.size(); ++i)
    if (lowerNames_[i] == wanted) return static_cast<int>(i);
  Raise(err::kItemNotFound,
        "Elemento no encontrado en esta colección: '" + std::string(name) + "'.");
}

Value Recordset::readColumn(int index) const {
  const auto& type = types_[static_cast<std::size_t>(index)];
  return type ? Typed(stmt_, index, *type) : ByStorage(stmt_, index);
}

Value Recordset::field(int index) const {
  requireOpen();
  if (index < 0 || index >= static_cast<int>(names_.size())) Raise(err::kItemNotFound);
  if (eof_) Raise(err::kNoCurrentRecord);
  if (fromRows_) return rows_[static_cast<std::size_t>(position_)][static_cast<std::size_t>(index)];
  if (statementRow_ != position_) seek(position_);
  return readColumn(index);
}

}  // namespace kolvar::db
