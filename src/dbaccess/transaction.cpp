#include "dbaccess/transaction.h"

#include <sqlite3.h>

#include <string>

#include "dbaccess/sqlite_engine.h"
#include "kolvar/error.h"

namespace kolvar::db {

Transaction::Transaction(std::shared_ptr<Database> database)
    : database_(std::move(database)), level_(database_->unitDepth()) {
  database_->beginUnit(level_);
}

// On failure the unit stays open and the destructor undoes it.
void Transaction::commit() {
  if (ended_) return;
  database_->commitUnit(level_);
  ended_ = true;
}

Transaction::~Transaction() {
  if (!ended_) database_->undoUnit(level_);
}

namespace sqlite {

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

void Database::beginUnit(int level) {
  sqlite3* db = handle();
  if (level == 0) {
    Run(db, "BEGIN IMMEDIATE");
  } else {
    requireLiveUnit();
    Run(db, "SAVEPOINT " + SavepointName(level));
  }
  depth_ = level + 1;
}

void Database::commitUnit(int level) {
  if (depth_ != level + 1)
    Raise(err::kInvalidOperation, "Una unidad de trabajo interna sigue abierta.");
  requireLiveUnit();
  Run(db_, level == 0 ? std::string("COMMIT") : "RELEASE " + SavepointName(level));
  depth_ = level;
  if (level == 0 && closePending_ && !pinned_) closeFile();
}

void Database::undoUnit(int level) noexcept {
  if (level == 0) {
    if (!sqlite3_get_autocommit(db_)) RunQuietly(db_, "ROLLBACK");
  } else if (!sqlite3_get_autocommit(db_)) {
    const std::string name = SavepointName(level);
    RunQuietly(db_, "ROLLBACK TO " + name + "; RELEASE " + name);
  }
  depth_ = level;
  if (level == 0 && closePending_ && !pinned_) closeFile();
}

}  // namespace sqlite
}  // namespace kolvar::db
