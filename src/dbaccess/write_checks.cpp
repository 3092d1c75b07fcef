#define SQLITE_ENABLE_PREUPDATE_HOOK
#include "dbaccess/write_checks.h"

#include <sqlite3.h>

#include <cmath>
#include <mutex>

#include "core/text.h"
#include "core/utf8.h"

namespace kolvar::db {

namespace {

std::optional<Error> Violation(std::string_view table, const Column& c, sqlite3_value* v) {
  const auto where = [&] { return std::string(table) + "." + std::string(c.name); };
  const int storage = sqlite3_value_type(v);
  if (c.type == ColumnType::Text && storage == SQLITE_TEXT) {
    const std::string_view text(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                                static_cast<std::size_t>(sqlite3_value_bytes(v)));
    if (utf8::Length(text) > static_cast<std::size_t>(c.size))
      return Error(err::kTextTooLong, "El texto es demasiado largo para el campo " + where() +
                                          " (" + std::to_string(c.size) +
                                          " caracteres como máximo).");
    return std::nullopt;
  }
  const auto outside = [&](double low, double high) {
    const double x = sqlite3_value_double(v);
    return storage != SQLITE_NULL && (x < low || x > high);
  };
  bool bad = false;
  switch (c.type) {
    case ColumnType::Byte:
      bad = outside(0, 255);
      break;
    case ColumnType::Integer:
      bad = outside(-32768, 32767);
      break;
    case ColumnType::Long:
      bad = outside(-2147483648.0, 2147483647.0);
      break;
    case ColumnType::Single:
      bad = outside(-3.402823466e38, 3.402823466e38);
      break;
    default:
      break;
  }
  if (bad) return Error(err::kDataType, "El valor no cabe en el campo " + where() + ".");
  return std::nullopt;
}

}  // namespace

void WriteChecks::attach(sqlite3* db) {
  sqlite3_preupdate_hook(db, &WriteChecks::OnWrite, this);
}

namespace {

long long SchemaVersion(sqlite3* db) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA schema_version", -1, &stmt, nullptr);
  const long long version = sqlite3_step(stmt) == SQLITE_ROW ? sqlite3_column_int64(stmt, 0) : -1;
  sqlite3_finalize(stmt);
  return version;
}

// The schema's identity: its version and the text of its tables.
std::string SchemaKey(sqlite3* db, long long version) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "SELECT sql FROM sqlite_master WHERE type = 'table'", -1, &stmt, nullptr);
  std::string key = std::to_string(version);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    key += ';';
    if (const auto* sql = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)))
      key.append(sql, static_cast<std::size_t>(sqlite3_column_bytes(stmt, 0)));
  }
  sqlite3_finalize(stmt);
  return version < 0 ? std::string() : key;
}

}  // namespace

void WriteChecks::ready(sqlite3* db) {
  if (loaded_ && recheck_ && SchemaVersion(db) != version_) forget();
  recheck_ = false;
  if (!loaded_) load(db);
}

void WriteChecks::load(sqlite3* db) {
  static std::mutex guard;
  static std::unordered_map<std::string, std::shared_ptr<const Tables>> known;
  version_ = SchemaVersion(db);
  const std::string key = SchemaKey(db, version_);
  if (!key.empty()) {
    const std::lock_guard lock(guard);
    if (const auto it = known.find(key); it != known.end()) {
      tables_ = it->second;
      loaded_ = true;
      lastTable_.clear();
      lastColumns_ = nullptr;
      return;
    }
  }
  auto tables = std::make_shared<Tables>();
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(
      db,
      "SELECT m.name, p.cid, p.name FROM sqlite_master AS m, pragma_table_info(m.name) AS p "
      "WHERE m.type = 'table' ORDER BY m.name, p.cid",
      -1, &stmt, nullptr);
  while (sqlite3_step(stmt) == SQLITE_ROW) {
    const auto* table = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    const auto* column = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 2));
    (*tables)[text::LowerAscii(table)].push_back(FindColumn(table, column));
  }
  sqlite3_finalize(stmt);
  tables_ = tables;
  loaded_ = true;
  lastTable_.clear();
  lastColumns_ = nullptr;
  if (key.empty()) return;
  const std::lock_guard lock(guard);
  known.emplace(key, std::move(tables));
}

std::optional<Error> WriteChecks::take() {
  auto v = std::move(violation_);
  violation_.reset();
  return v;
}

const std::vector<const Column*>* WriteChecks::columnsOf(const char* table) {
  if (!tables_) return nullptr;
  if (!lastTable_.empty() && lastTable_ == table) return lastColumns_;
  const auto it = tables_->find(text::LowerAscii(table));
  lastTable_ = table;
  lastColumns_ = it == tables_->end() ? nullptr : &it->second;
  return lastColumns_;
}

void WriteChecks::OnWrite(void* self, sqlite3* db, int op, const char*, const char* zName,
                          long long, long long) {
  auto* checks = static_cast<WriteChecks*>(self);
  if (op == SQLITE_DELETE || checks->violation_) return;
  const std::vector<const Column*>* columns = checks->columnsOf(zName);
  if (!columns) return;
  const int count = sqlite3_preupdate_count(db);
  for (int i = 0; i < count && i < static_cast<int>(columns->size()); ++i) {
    const Column* column = (*columns)[static_cast<std::size_t>(i)];
    sqlite3_value* value = nullptr;
    if (!column || sqlite3_preupdate_new(db, i, &value) != SQLITE_OK || !value) continue;
    if (auto violation = Violation(zName, *column, value)) {
      checks->violation_ = std::move(violation);
      return;
    }
  }
}

}  // namespace kolvar::db
