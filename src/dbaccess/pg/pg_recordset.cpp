#include <libpq-fe.h>

#include <cstdlib>
#include <limits>

#include "core/text.h"
#include "dbaccess/pg/pg_engine.h"
#include "kolvar/error.h"

namespace kolvar::db::pg {

namespace {

// Type identifiers of the server's built-in types.
constexpr unsigned int kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
                       kNumeric = 1700;

// A computed column takes the type of its result: Long when it fits, else
// Double; other numbers Double; everything else text.
Value ByServerType(unsigned int type, const char* text) {
  switch (type) {
    case kBool:
      return Value(text[0] == 't');
    case kInt2:
    case kInt4:
    case kInt8: {
      const long long n = std::strtoll(text, nullptr, 10);
      if (n >= std::numeric_limits<std::int32_t>::min() &&
          n <= std::numeric_limits<std::int32_t>::max())
        return Value(static_cast<std::int32_t>(n));
      return Value(static_cast<double>(n));
    }
    case kFloat4:
    case kFloat8:
    case kNumeric:
      return Value(std::strtod(text, nullptr));
    default:
      return Value(std::string(text));
  }
}

// A table column reads back as a value of its described type.
Value Typed(ColumnType type, unsigned int serverType, const char* text) {
  const long long n = std::strtoll(text, nullptr, 10);
  switch (type) {
    case ColumnType::Text:
      return Value(std::string(text));
    case ColumnType::Integer:
      if (n >= -32768 && n <= 32767) return Value(static_cast<std::int16_t>(n));
      break;
    case ColumnType::Byte:
      if (n >= 0 && n <= 255) return Value(static_cast<std::uint8_t>(n));
      break;
    case ColumnType::Boolean:
      return Value(n != 0);
    case ColumnType::Single:
      return Value(std::strtof(text, nullptr));
    case ColumnType::Double:
      return Value(std::strtod(text, nullptr));
    case ColumnType::Date:
      return Value::Date(std::strtod(text, nullptr));
    default:
      break;
  }
  return ByServerType(serverType, text);
}

}  // namespace

namespace {
int rowsPerBatch = 1000;
}  // namespace

int Recordset::RowsPerBatch() {
  return rowsPerBatch;
}

void Recordset::SetRowsPerBatch(int rows) {
  rowsPerBatch = rows;
}

Recordset::Recordset(Connection& connection, Result result, const std::vector<std::string>& aliases)
    : batch_(std::move(result)) {
  total_ = PQntuples(batch_.get());
  visited_ = total_ > 0 ? 1 : 0;
  describe(connection, aliases);
}

std::shared_ptr<Recordset> Recordset::Open(const std::shared_ptr<Connection>& connection,
                                           const std::string& sql,
                                           const std::vector<std::string>& aliases) {
  Connection& c = *connection;
  const int batch = RowsPerBatch();
  // One row more than a batch tells a short result, read whole, from a long one.
  Result probe =
      c.run("SELECT * FROM (" + sql + ") AS kolvar_rows LIMIT " + std::to_string(batch + 1));
  if (PQntuples(probe.get()) <= batch)
    return std::make_shared<Recordset>(c, std::move(probe), aliases);
  // A cursor held past the end of the unit of work that declares it; its rows
  // are those the statement saw when it was declared.
  const std::string name = c.newName("kolvar_rows_");
  c.run("DECLARE " + name + " SCROLL CURSOR WITH HOLD FOR " + sql);
  auto rs = std::make_shared<Recordset>(c, std::move(probe), aliases);
  rs->connection_ = connection;
  rs->cursor_ = name;
  rs->generation_ = c.generation();
  rs->batch_.reset();
  rs->total_ = -1;
  rs->batchStart_ = 0;
  rs->cursorAt_ = 0;
  rs->visited_ = rs->load(0) ? 1 : 0;
  return rs;
}

Recordset::~Recordset() {
  closeCursor();
}

void Recordset::describe(Connection& connection, const std::vector<std::string>& aliases) {
  PGresult* r = batch_.get();
  const int n = PQnfields(r);
  for (int i = 0; i < n; ++i) {
    const unsigned int table = PQftable(r, i);
    const int column = PQftablecol(r, i);
    std::string name = PQfname(r, i);
    if (const std::string* described = connection.columnName(table, column)) {
      name = *described;
    } else {
      for (const auto& alias : aliases)
        if (text::LowerAscii(alias) == name) name = alias;
    }
    const Column* c = connection.describedColumn(table, column);
    addColumn(std::move(name), c ? std::optional(c->type) : std::nullopt);
    serverTypes_.push_back(PQftype(r, i));
  }
}

bool Recordset::load(std::int32_t p) const {
  const std::int32_t rows = batch_ ? PQntuples(batch_.get()) : 0;
  if (p >= batchStart_ && p < batchStart_ + rows) return true;
  if (total_ >= 0 && p >= total_) return false;
  if (cursor_.empty()) return false;
  Connection& c = *connection_;
  if (c.generation() != generation_)
    Raise(err::kObjectInvalid, "El conjunto de registros se perdió con la conexión al servidor.");
  if (p != cursorAt_) c.run("MOVE ABSOLUTE " + std::to_string(p) + " IN " + cursor_);
  batch_.reset();
  batch_ = c.run("FETCH FORWARD " + std::to_string(RowsPerBatch()) + " FROM " + cursor_);
  const std::int32_t got = PQntuples(batch_.get());
  batchStart_ = p;
  cursorAt_ = p + got;
  if (got < RowsPerBatch()) total_ = p + got;
  return got > 0;
}

bool Recordset::eof() const {
  requireOpen();
  return !load(position_);
}

std::int32_t Recordset::recordCount() const {
  requireOpen();
  return visited_;
}

std::int32_t Recordset::absolutePosition() const {
  requireOpen();
  return load(position_) ? position_ : -1;
}

void Recordset::absolutePosition(std::int32_t position) {
  requireOpen();
  if (position < 0 || position >= visited_) Raise(err::kNoCurrentRecord);
  position_ = position;
}

void Recordset::moveNext() {
  requireOpen();
  if (!load(position_)) Raise(err::kNoCurrentRecord);
  ++position_;
  if (position_ + 1 > visited_ && load(position_)) visited_ = position_ + 1;
}

void Recordset::moveFirst() {
  requireOpen();
  if (visited_ == 0) Raise(err::kNoCurrentRecord);
  position_ = 0;
}

void Recordset::moveLast() {
  requireOpen();
  if (total_ < 0) {
    // The rows after the cursor's are counted, not read.
    Result moved = connection_->run("MOVE FORWARD ALL IN " + cursor_);
    total_ = cursorAt_ + static_cast<std::int32_t>(std::atol(PQcmdTuples(moved.get())));
    cursorAt_ = total_;
  }
  if (total_ == 0) Raise(err::kNoCurrentRecord);
  position_ = total_ - 1;
  visited_ = total_;
}

void Recordset::closeCursor() noexcept {
  if (cursor_.empty()) return;
  const std::string name = std::move(cursor_);
  cursor_.clear();
  try {
    if (connection_->generation() == generation_ &&
        PQstatus(connection_->handle()) == CONNECTION_OK && !connection_->conflicted())
      connection_->run("CLOSE " + name);
  } catch (...) {
  }
  connection_.reset();
}

void Recordset::close() {
  closeCursor();
  batch_.reset();
  open_ = false;
}

Value Recordset::field(int index) const {
  requireOpen();
  requireField(index);
  if (!load(position_)) Raise(err::kNoCurrentRecord);
  const int row = position_ - batchStart_;
  if (PQgetisnull(batch_.get(), row, index)) return Value::Null();
  const char* text = PQgetvalue(batch_.get(), row, index);
  const auto i = static_cast<std::size_t>(index);
  const auto& type = describedType(index);
  return type ? Typed(*type, serverTypes_[i], text) : ByServerType(serverTypes_[i], text);
}

}  // namespace kolvar::db::pg
