// A public call that writes, run again when its unit of work lost to a
// concurrent one on the server (a serialization failure or a deadlock): at
// most kConflictAttempts times in all, after a short random pause; then the
// last failure (3050) is raised. Only the outermost unit is tried again, and
// only when the engine says the loss may pass (never on the embedded engine,
// never after a lost connection).
#pragma once

#include "kolvar/error.h"

namespace kolvar {

inline constexpr int kConflictAttempts = 6;

// True when the thread's user database ended its outermost unit of work in a
// conflict with another one.
bool UserUnitConflicted();
// Waits a little longer after each attempt, at random, so that the
// contenders part.
void PauseAfterConflict(int attempt);
// Units of work tried again on this thread so far.
long long ConflictRetriesSoFar();

template <class F>
decltype(auto) RetryingConflicts(F&& call) {
  for (int attempt = 1;; ++attempt) {
    try {
      return call();
    } catch (const Error&) {
      if (attempt >= kConflictAttempts || !UserUnitConflicted()) throw;
      PauseAfterConflict(attempt);
    }
  }
}

}  // namespace kolvar
