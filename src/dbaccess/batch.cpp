// The public batch scope over the thread's batch state.
#include "kolvar/batch.h"

#include <exception>

#include "dbaccess/batch_state.h"
#include "kolvar/error.h"

namespace kolvar {

// One level of a batch: the outermost owns the thread's state.
struct Batch::Scope {
  std::unique_ptr<db::BatchState> owned;
  db::BatchState* state = nullptr;
  int level = 0;
};

Batch::Batch(const std::string& userDatabase, const std::string& referenceDatabase)
    : scope_(std::make_unique<Scope>()), uncaughtAtStart_(std::uncaught_exceptions()) {
  db::BatchState* current = db::CurrentBatch();
  if (current) {
    if (current->userPath() != userDatabase || current->referencePath() != referenceDatabase)
      Raise(err::kInvalidCall, "Ya hay un lote abierto sobre otras bases de datos.");
    scope_->state = current;
  } else {
    scope_->owned = std::make_unique<db::BatchState>(userDatabase, referenceDatabase);
    scope_->state = scope_->owned.get();
  }
  scope_->state->begin();
  scope_->level = scope_->state->depth();
  if (scope_->owned) db::SetCurrentBatch(scope_->owned.get());
}

Batch::~Batch() noexcept(false) {
  if (!IsOpen()) return;
  if (std::uncaught_exceptions() > uncaughtAtStart_)
    Cancel();
  else
    Commit();
}

bool Batch::IsOpen() const {
  return scope_ && scope_->state;
}

void Batch::Commit() {
  if (!IsOpen()) Raise(err::kInvalidCall, "El lote ya está cerrado.");
  if (scope_->state->depth() != scope_->level)
    Raise(err::kInvalidCall, "Hay un lote interior abierto.");
  std::unique_ptr<Scope> scope = std::move(scope_);
  try {
    scope->state->commit();
  } catch (...) {
    if (scope->owned) db::SetCurrentBatch(nullptr);
    throw;
  }
  if (scope->owned) db::SetCurrentBatch(nullptr);
}

void Batch::Cancel() {
  if (!IsOpen()) return;
  std::unique_ptr<Scope> scope = std::move(scope_);
  while (scope->state->depth() >= scope->level) scope->state->rollback();
  if (scope->owned) db::SetCurrentBatch(nullptr);
}

}  // namespace kolvar
