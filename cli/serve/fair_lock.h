// A lock that serves waiting threads in the order they came, so that no client
// of a busy server waits behind later ones.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace kolvar::serve {

class FairLock {
 public:
  void lock() {
    std::unique_lock<std::mutex> guard(mutex_);
    const std::uint64_t ticket = next_++;
    turn_.wait(guard, [&] { return serving_ == ticket; });
  }
  void unlock() {
    std::lock_guard<std::mutex> guard(mutex_);
    ++serving_;
    turn_.notify_all();
  }

 private:
  std::mutex mutex_;
  std::condition_variable turn_;
  std::uint64_t next_ = 0;
  std::uint64_t serving_ = 0;
};

}  // namespace kolvar::serve
