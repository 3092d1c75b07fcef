#include "dbaccess/batch_state.h"

#include "kolvar/error.h"

namespace kolvar::db {

namespace {

thread_local BatchState* tCurrent = nullptr;

std::string Savepoint(int level) {
  return "kolvar_batch_" + std::to_string(level);
}

}  // namespace

BatchState* CurrentBatch() {
  return tCurrent;
}

void SetCurrentBatch(BatchState* state) {
  tCurrent = state;
}

BatchState::BatchState(std::string userPath, std::string referencePath)
    : userPath_(std::move(userPath)), referencePath_(std::move(referencePath)) {
  user_ = std::make_shared<Database>(userPath_, false);
}

BatchState::~BatchState() {
  while (depth_ > 0) rollback();
  try {
    if (reference_) reference_->close();
    user_->close();
  } catch (...) {
  }
}

void BatchState::begin() {
  user_->exec(depth_ == 0 ? std::string("BEGIN IMMEDIATE") : "SAVEPOINT " + Savepoint(depth_));
  ++depth_;
}

void BatchState::commit() {
  if (depth_ == 0) Raise(err::kInvalidCall);
  const int level = depth_ - 1;
  user_->closeRecordsets();
  user_->exec(level == 0 ? std::string("COMMIT") : "RELEASE " + Savepoint(level));
  depth_ = level;
}

void BatchState::rollback() {
  if (depth_ == 0) return;
  const int level = --depth_;
  try {
    user_->closeRecordsets();
    if (level == 0)
      user_->exec("ROLLBACK");
    else
      user_->exec("ROLLBACK TO " + Savepoint(level) + "; RELEASE " + Savepoint(level));
  } catch (...) {
  }
}

const std::string* BatchState::remembered(std::string_view key) const {
  const auto it = memo_.find(std::string(key));
  return it == memo_.end() ? nullptr : &it->second;
}

void BatchState::remember(std::string key, std::string value) {
  memo_.emplace(std::move(key), std::move(value));
}

}  // namespace kolvar::db
