// Whole tables on the embedded engine: bound inserts with the keys given,
// and the counters' high-water marks (kept by the engine per table).
#include <sqlite3.h>

#include <memory>

#include "dbaccess/sqlite_engine.h"
#include "kolvar/error.h"

namespace kolvar::db::sqlite {

namespace {

using Statement = std::unique_ptr<sqlite3_stmt, int (*)(sqlite3_stmt*)>;

Statement Prepare(sqlite3* db, const std::string& sql) {
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
    RaiseEngineError(sqlite3_errcode(db), sqlite3_errmsg(db));
  return Statement(stmt, &sqlite3_finalize);
}

// Steps a statement to its end; the engine's error otherwise.
void StepToEnd(sqlite3* db, sqlite3_stmt* stmt) {
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) {
    const std::string message = sqlite3_errmsg(db);
    sqlite3_reset(stmt);
    RaiseEngineError(rc, message);
  }
  sqlite3_reset(stmt);
}

}  // namespace

void Database::insertRows(const Table& table, const std::vector<std::vector<Value>>& rows) {
  sqlite3* db = handle();
  if (depth_ == 0)
    Raise(err::kInvalidOperation, "Las filas se insertan dentro de una unidad de trabajo.");
  requireLiveUnit();
  checks_.ready(db);
  std::string names, marks;
  for (const Column& c : table.columns) {
    names += (names.empty() ? "\"" : ", \"") + std::string(c.name) + "\"";
    marks += marks.empty() ? "?" : ", ?";
  }
  Statement insert = Prepare(
      db, "INSERT INTO \"" + std::string(table.name) + "\" (" + names + ") VALUES (" + marks + ")");
  checks_.take();
  for (const auto& row : rows) {
    if (row.size() != table.columns.size()) Raise(err::kInvalidCall);
    BindValues(insert.get(), row, BoundAs::Stored);
    StepToEnd(db, insert.get());
    if (std::optional<Error> violation = checks_.take()) throw *violation;
  }
}

std::int64_t Database::counterMark(const Table& table) {
  const Column* key = CounterOf(table);
  if (!key) return 0;
  // The engine keeps the greatest key ever given per table; rows written
  // with their keys by other means may lie above it.
  Statement mark =
      Prepare(handle(),
              "SELECT max(coalesce((SELECT seq FROM sqlite_sequence WHERE "
              "name = ?1 COLLATE NOCASE), 0), coalesce((SELECT max(\"" +
                  std::string(key->name) + "\") FROM \"" + std::string(table.name) + "\"), 0))");
  sqlite3_bind_text(mark.get(), 1, table.name.data(), static_cast<int>(table.name.size()),
                    SQLITE_TRANSIENT);
  if (sqlite3_step(mark.get()) != SQLITE_ROW)
    RaiseEngineError(sqlite3_errcode(db_), sqlite3_errmsg(db_));
  return sqlite3_column_int64(mark.get(), 0);
}

void Database::raiseCounterMark(const Table& table, std::int64_t mark) {
  if (!CounterOf(table)) return;
  sqlite3* db = handle();
  if (depth_ == 0)
    Raise(err::kInvalidOperation, "El contador se cambia dentro de una unidad de trabajo.");
  requireLiveUnit();
  const auto bind = [&](sqlite3_stmt* stmt) {
    sqlite3_bind_text(stmt, 1, table.name.data(), static_cast<int>(table.name.size()),
                      SQLITE_TRANSIENT);
    sqlite3_bind_int64(stmt, 2, mark);
  };
  Statement raise = Prepare(
      db, "UPDATE sqlite_sequence SET seq = ?2 WHERE name = ?1 COLLATE NOCASE AND seq < ?2");
  bind(raise.get());
  StepToEnd(db, raise.get());
  Statement add = Prepare(db,
                          "INSERT INTO sqlite_sequence (name, seq) SELECT ?1, ?2 WHERE NOT EXISTS "
                          "(SELECT 1 FROM sqlite_sequence WHERE name = ?1 COLLATE NOCASE)");
  bind(add.get());
  StepToEnd(db, add.get());
}

}  // namespace kolvar::db::sqlite
