#include "dbaccess/batch_state.h"

#include "kolvar/error.h"

namespace kolvar::db {

namespace {

thread_local BatchState* tCurrent = nullptr;

}  // namespace

BatchState* CurrentBatch() {
  return tCurrent;
}

void SetCurrentBatch(BatchState* state) {
  tCurrent = state;
}

BatchState::BatchState(std::string userPath, std::string referencePath)
    : userPath_(std::move(userPath)), referencePath_(std::move(referencePath)) {
  user_ = OpenDatabase(userPath_, false);
  user_->pin(true);
}

BatchState::~BatchState() {
  while (!levels_.empty()) rollback();
  for (const auto& db : {user_, reference_}) {
    if (!db) continue;
    db->reopen();
    try {
      db->close();
      db->pin(false);
    } catch (...) {
    }
  }
}

void BatchState::begin() {
  user_->reopen();  // a unit of work of the batch may have closed it meanwhile
  levels_.push_back(std::make_unique<Transaction>(user_));
}

void BatchState::commit() {
  if (levels_.empty()) Raise(err::kInvalidCall);
  try {
    levels_.back()->commit();
  } catch (...) {
    levels_.pop_back();
    throw;
  }
  levels_.pop_back();
}

void BatchState::rollback() {
  if (levels_.empty()) return;
  levels_.pop_back();  // the transaction undoes its level as it ends
}

const std::string* BatchState::remembered(std::string_view key) const {
  const auto it = memo_.find(std::string(key));
  return it == memo_.end() ? nullptr : &it->second;
}

void BatchState::remember(std::string key, std::string value) {
  memo_.emplace(std::move(key), std::move(value));
}

}  // namespace kolvar::db
