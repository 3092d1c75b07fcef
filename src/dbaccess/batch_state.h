// The batch open on the calling thread: the open user and reference database
// that its units of work reuse, the transaction around its work, and what it
// remembers of the reference database (which nothing changes while it runs).
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dbaccess/engine.h"
#include "dbaccess/transaction.h"

namespace kolvar::db {

class BatchState {
 public:
  BatchState(std::string userPath, std::string referencePath);
  ~BatchState();  // rolls back what is still open; never raises
  BatchState(const BatchState&) = delete;
  BatchState& operator=(const BatchState&) = delete;

  const std::string& userPath() const { return userPath_; }
  const std::string& referencePath() const { return referencePath_; }

  // The open database of a unit of work on `path` when the path is one of the
  // batch's files; the reference database is opened by `open` the first time.
  // Both stay open until the batch ends: a unit's close only makes them
  // unusable until the next unit takes them again.
  template <class Open>
  std::shared_ptr<Database> adopt(const std::string& path, Open&& open) {
    if (path == userPath_) return user_;
    if (path != referencePath_) return nullptr;
    if (!reference_) {
      reference_ = open();
      reference_->pin(true);
    }
    return reference_;
  }
  bool owns(const Database* db) const { return db == user_.get() || db == reference_.get(); }
  const std::shared_ptr<Database>& user() const { return user_; }

  // One more level of work: the outermost is the transaction of the user
  // database, each inner one a savepoint in it.
  void begin();
  void commit();    // the innermost level; when it fails the level is undone
  void rollback();  // the innermost level; never raises
  int depth() const { return static_cast<int>(levels_.size()); }

  // A value read from the reference database, remembered for the batch.
  const std::string* remembered(std::string_view key) const;
  void remember(std::string key, std::string value);

 private:
  std::string userPath_;
  std::string referencePath_;
  std::shared_ptr<Database> user_;
  std::shared_ptr<Database> reference_;
  std::vector<std::unique_ptr<Transaction>> levels_;
  std::unordered_map<std::string, std::string> memo_;
};

// The batch open on this thread, or nullptr.
BatchState* CurrentBatch();
void SetCurrentBatch(BatchState* state);

// While it lives, the user database of the thread's batch undoes a failure
// only together with the work open before it (Database::undoOnlyAsAWhole):
// for bulk work whose every failure abandons it all.
class UndoneAsAWhole {
 public:
  UndoneAsAWhole() : db_(CurrentBatch() ? CurrentBatch()->user().get() : nullptr) {
    if (db_) db_->undoOnlyAsAWhole(true);
  }
  ~UndoneAsAWhole() {
    if (db_) db_->undoOnlyAsAWhole(false);
  }
  UndoneAsAWhole(const UndoneAsAWhole&) = delete;
  UndoneAsAWhole& operator=(const UndoneAsAWhole&) = delete;

 private:
  Database* db_;
};

// A read of the reference database at `path`: once per batch for the key
// when the path is the batch's reference database, else on every call.
template <class Read>
std::string RememberedInBatch(const std::string& path, std::string_view key, Read&& read) {
  BatchState* batch = CurrentBatch();
  if (!batch || path != batch->referencePath()) return read();
  if (const std::string* known = batch->remembered(key)) return *known;
  std::string value = read();
  batch->remember(std::string(key), value);
  return value;
}

}  // namespace kolvar::db
