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

Recordset::Recordset(Connection& connection, Result result, const std::vector<std::string>& aliases)
    : result_(std::move(result)) {
  PGresult* r = result_.get();
  rows_ = PQntuples(r);
  visited_ = rows_ > 0 ? 1 : 0;
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

bool Recordset::eof() const {
  requireOpen();
  return position_ >= rows_;
}

std::int32_t Recordset::recordCount() const {
  requireOpen();
  return visited_;
}

std::int32_t Recordset::absolutePosition() const {
  requireOpen();
  return position_ >= rows_ ? -1 : position_;
}

void Recordset::absolutePosition(std::int32_t position) {
  requireOpen();
  if (position < 0 || position >= visited_) Raise(err::kNoCurrentRecord);
  position_ = position;
}

void Recordset::moveNext() {
  requireOpen();
  if (position_ >= rows_) Raise(err::kNoCurrentRecord);
  ++position_;
  if (position_ < rows_ && position_ + 1 > visited_) visited_ = position_ + 1;
}

void Recordset::moveFirst() {
  requireOpen();
  if (rows_ == 0) Raise(err::kNoCurrentRecord);
  position_ = 0;
}

void Recordset::moveLast() {
  requireOpen();
  if (rows_ == 0) Raise(err::kNoCurrentRecord);
  position_ = rows_ - 1;
  visited_ = rows_;
}

void Recordset::close() {
  result_.reset();
}

Value Recordset::field(int index) const {
  requireOpen();
  requireField(index);
  if (position_ >= rows_) Raise(err::kNoCurrentRecord);
  if (PQgetisnull(result_.get(), position_, index)) return Value::Null();
  const char* text = PQgetvalue(result_.get(), position_, index);
  const auto i = static_cast<std::size_t>(index);
  const auto& type = describedType(index);
  return type ? Typed(*type, serverTypes_[i], text) : ByServerType(serverTypes_[i], text);
}

}  // namespace kolvar::db::pg
