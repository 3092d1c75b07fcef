#include "dbaccess/transaction.h"

#include <sqlite3.h>

#include <string>

#include "kolvar/error.h"

namespace kolvar::db {

namespace {

std::string SavepointName(int level) {
  return "kolvar_unit_" + std::to_string(level);
}

// Runs a statement of the transaction itself; an engine failure is raised.
void Run(sqlite3* db, const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    const std::string text = message ? message : "";
    sqlite3_free(message);
    RaiseEngineError(sqlite3_errcode(db), text);
  }
}

void RunQuietly(sqlite3* db, const std::string& sql) noexcept {
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

}  // namespace

std::int64_t Database::lastInsertKey() const {
  return sqlite3_last_insert_rowid(handle());
}

void Database::requireLiveUnit() const {
  if (depth_ > 0 && sqlite3_get_autocommit(db_))
    Raise(3000, "La transacción se ha anulado: el trabajo en curso no se ha guardado.");
}

Transaction::Transaction(std::shared_ptr<Database> database)
    : database_(std::move(database)), level_(database_->depth_) {
  sqlite3* db = database_->handle();
  if (level_ == 0) {
    Run(db, "BEGIN IMMEDIATE");
  } else {
    database_->requireLiveUnit();
    Run(db, "SAVEPOINT " + SavepointName(level_));
  }
  database_->depth_ = level_ + 1;
}

void Transaction::commit() {
  if (ended_) return;
  Database& d = *database_;
  if (d.depth_ != level_ + 1)
    Raise(err::kInvalidOperation, "Una unidad de trabajo interna sigue abierta.");
  // On failure the unit stays open and the destructor undoes it.
  d.requireLiveUnit();
  Run(d.db_, level_ == 0 ? std::string("COMMIT") : "RELEASE " + SavepointName(level_));
  ended_ = true;
  d.depth_ = level_;
  if (level_ == 0 && d.closePending_) d.closeFile();
}

Transaction::~Transaction() {
  if (ended_) return;
  Database& d = *database_;
  if (level_ == 0) {
    if (!sqlite3_get_autocommit(d.db_)) RunQuietly(d.db_, "ROLLBACK");
  } else if (!sqlite3_get_autocommit(d.db_)) {
    const std::string name = SavepointName(level_);
    RunQuietly(d.db_, "ROLLBACK TO " + name + "; RELEASE " + name);
  }
  d.depth_ = level_;
  if (level_ == 0 && d.closePending_) d.closeFile();
}

}  // namespace kolvar::db
