// A lock that serves waiting threads in the order they came, so that no client
// of a busy server waits behind later ones. Unlocking hands the lock to the
// longest waiting thread and wakes that thread alone: with many waiters, a
// release costs one wake-up, not one per waiter.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>

namespace kolvar::serve {

class FairLock {
 public:
  void lock() {
    std::unique_lock<std::mutex> guard(mutex_);
    if (!held_) {
      held_ = true;
      return;
    }
    Waiter me;
    waiters_.push_back(&me);
    me.turn.wait(guard, [&] { return me.granted; });
  }
  void unlock() {
    std::lock_guard<std::mutex> guard(mutex_);
    if (waiters_.empty()) {
      held_ = false;
      return;
    }
    Waiter* next = waiters_.front();
    waiters_.pop_front();
    next->granted = true;     // the lock stays held: it passes to `next`
    next->turn.notify_one();  // under the mutex: `next` lives until it sees `granted`
  }
  // Threads waiting for the lock now.
  std::size_t waiting() {
    std::lock_guard<std::mutex> guard(mutex_);
    return waiters_.size();
  }

 private:
  struct Waiter {
    std::condition_variable turn;
    bool granted = false;
  };
  std::mutex mutex_;
  bool held_ = false;
  std::deque<Waiter*> waiters_;
};

}  // namespace kolvar::serve
