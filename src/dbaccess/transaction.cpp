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

void RunQuietly(sqlite3* db, const std::string& sql) noexcept {
  sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
}

}  // namespace

std::int64_t Database::lastInsertKey() const {
  return sqlite3_last_insert_rowid(handle());
}

void Database::requireLiveUnit() const {
  if ((depth_ > 0 && sqlite3_get_autocommit(db_)) || doomedAbove_ > 0)
    Raise(3000, "La transacción se ha anulado: el trabajo en curso no se ha guardado.");
}

// The statements of a unit are prepared once per open file.
void Database::beginUnit(int level) {
  handle();
  const bool whole = level > 0 && wholeFrom_ > 0 && level >= wholeFrom_;
  if (level == 0) {
    runCached("BEGIN IMMEDIATE");
  } else {
    requireLiveUnit();
    if (!whole) runCached(("SAVEPOINT " + SavepointName(level)).c_str());
  }
  if (withoutSavepoint_.size() <= static_cast<std::size_t>(level))
    withoutSavepoint_.resize(static_cast<std::size_t>(level) + 1);
  withoutSavepoint_[static_cast<std::size_t>(level)] = whole;
  depth_ = level + 1;
}

void Database::commitUnit(int level) {
  if (depth_ != level + 1)
    Raise(err::kInvalidOperation, "Una unidad de trabajo interna sigue abierta.");
  requireLiveUnit();
  if (!withoutSavepoint_[static_cast<std::size_t>(level)])
    runCached(level == 0 ? "COMMIT" : ("RELEASE " + SavepointName(level)).c_str());
  depth_ = level;
  if (level == 0) leaveWriteAheadLog();
  if (level == 0 && closePending_ && !pinned_) closeFile();
}

void Database::undoUnit(int level) noexcept {
  if (withoutSavepoint_[static_cast<std::size_t>(level)]) {
    // Its work can only be undone with an older unit's.
    if (doomedAbove_ == 0) doomedAbove_ = wholeFrom_ > 0 ? wholeFrom_ : level;
    depth_ = level;
    return;
  }
  if (doomedAbove_ > level) doomedAbove_ = 0;
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
