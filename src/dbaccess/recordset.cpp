#include <sqlite3.h>

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

}  // namespace

Recordset::Recordset(Database& owner, sqlite3_stmt* stmt) : owner_(&owner), stmt_(stmt) {
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
    sqlite3_finalize(stmt_);
    stmt_ = nullptr;
    throw;
  }
  visited_ = eof_ ? 0 : 1;
}

Recordset::~Recordset() {
  if (stmt_) sqlite3_finalize(stmt_);
}

void Recordset::requireOpen() const {
  if (!stmt_) Raise(err::kObjectInvalid);
}

bool Recordset::step() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) {
    onStatementRow_ = true;
    return true;
  }
  onStatementRow_ = false;
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

void Recordset::moveNext() {
  requireOpen();
  if (eof_) Raise(err::kNoCurrentRecord);
  if (!onStatementRow_) {  // on a snapshot of the last row: the statement has ended
    eof_ = true;
    position_ = visited_;
    return;
  }
  ++position_;
  if (step()) {
    if (position_ + 1 > visited_) visited_ = position_ + 1;
  } else {
    eof_ = true;
  }
}

void Recordset::moveFirst() {
  requireOpen();
  if (visited_ == 0) Raise(err::kNoCurrentRecord);
  sqlite3_reset(stmt_);
  position_ = 0;
  eof_ = !step();
  snapshot_.clear();
}

void Recordset::moveLast() {
  requireOpen();
  if (visited_ == 0) Raise(err::kNoCurrentRecord);
  if (eof_) moveFirst();
  const int n = fieldCount();
  snapshot_.resize(static_cast<std::size_t>(n));
  while (true) {
    for (int i = 0; i < n; ++i) snapshot_[static_cast<std::size_t>(i)] = readColumn(i);
    if (!step()) break;
    ++position_;
  }
  if (position_ + 1 > visited_) visited_ = position_ + 1;
  eof_ = false;
}

void Recordset::close() {
  if (stmt_) sqlite3_finalize(stmt_);
  stmt_ = nullptr;
  snapshot_.clear();
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
  if (onStatementRow_) return readColumn(index);
  return snapshot_[static_cast<std::size_t>(index)];
}

}  // namespace kolvar::db::sqlite
