#include "dbaccess/conflict_retry.h"

#include <chrono>
#include <random>
#include <thread>

#include "dbaccess/conexion.h"

namespace kolvar {

bool UserUnitConflicted() {
  return Conexion().userUnitConflicted();
}

namespace {
thread_local long long retries = 0;
}  // namespace

long long ConflictRetriesSoFar() {
  return retries;
}

void PauseAfterConflict(int attempt) {
  ++retries;
  static thread_local std::minstd_rand random(std::random_device{}());
  const int most = 2 << attempt;  // 4, 8, 16 ... milliseconds
  std::this_thread::sleep_for(std::chrono::milliseconds(1 + random() % most));
}

}  // namespace kolvar
