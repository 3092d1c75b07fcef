#include "transfer/table_tally.h"

#include <cmath>
#include <cstring>

namespace kolvar::transfer {

namespace {

using db::ColumnType;

bool IsNumeric(ColumnType type) {
  return type != ColumnType::Text;
}

// FNV-1a over bytes, continuing from `h`.
std::uint64_t Mix(std::uint64_t h, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i) {
    h ^= bytes[i];
    h *= 1099511628211ULL;
  }
  return h;
}

std::uint64_t MixValue(std::uint64_t h, const Value& v) {
  const auto type = static_cast<unsigned char>(v.type());
  h = Mix(h, &type, 1);
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
      return h;
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
    case VarType::Boolean: {
      const std::int64_t n = v.toLong();
      return Mix(h, &n, sizeof n);
    }
    case VarType::Single: {
      const float f = static_cast<float>(v.toDouble()) + 0.0f;  // -0 as 0
      return Mix(h, &f, sizeof f);
    }
    case VarType::Double:
    case VarType::Date: {
      const double d = v.toDouble() + 0.0;
      return Mix(h, &d, sizeof d);
    }
    default: {
      const std::string s = v.toString();
      return Mix(h, s.data(), s.size());
    }
  }
}

}  // namespace

TableTally::TableTally(const db::Table& table)
    : table_(&table), cents_(table.columns.size(), 0.0L) {}

bool TableTally::numeric(std::size_t column) const {
  return IsNumeric(table_->columns[column].type);
}

void TableTally::add(const std::vector<Value>& row) {
  ++rows_;
  std::uint64_t h = 14695981039346656037ULL;
  for (std::size_t i = 0; i < row.size(); ++i) {
    h = MixValue(Mix(h, &i, sizeof i), row[i]);
    if (numeric(i) && row[i].isNumber())
      cents_[i] += static_cast<long double>(std::llround(row[i].toDouble() * 100));
  }
  fingerprint_ += h;  // a sum: the same whatever order the rows come in
}

double TableTally::sum(std::size_t column) const {
  return static_cast<double>(cents_[column] / 100);
}

std::string TableTally::difference(const TableTally& other) const {
  const std::string table(table_->name);
  if (rows_ != other.rows_)
    return table + ": " + std::to_string(rows_) + " filas frente a " + std::to_string(other.rows_);
  for (std::size_t i = 0; i < cents_.size(); ++i)
    if (cents_[i] != other.cents_[i])
      return table + "." + std::string(table_->columns[i].name) + ": las sumas no coinciden";
  if (fingerprint_ != other.fingerprint_) return table + ": los valores de las filas no coinciden";
  return "";
}

}  // namespace kolvar::transfer
