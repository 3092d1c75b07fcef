#include "serve/fair_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace kolvar::serve {
namespace {

void WaitUntilWaiting(FairLock& lock, std::size_t n) {
  while (lock.waiting() != n) std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

TEST(ServerFairLock, WaitersGetTheLockInTheOrderTheyCameAndOneAtATime) {
  FairLock lock;
  lock.lock();
  std::vector<int> order;
  std::atomic<int> inside = 0;
  std::atomic<int> mostInside = 0;
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&, i] {
      std::lock_guard<FairLock> hold(lock);
      mostInside = std::max(mostInside.load(), ++inside);
      order.push_back(i);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      --inside;
    });
    WaitUntilWaiting(lock, static_cast<std::size_t>(i) + 1);
  }
  lock.unlock();
  for (auto& t : threads) t.join();
  EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
  EXPECT_EQ(mostInside.load(), 1);
  EXPECT_EQ(lock.waiting(), 0u);
  // Free again: a new owner takes it at once.
  std::thread later([&] {
    std::lock_guard<FairLock> hold(lock);
    order.push_back(8);
  });
  later.join();
  EXPECT_EQ(order.back(), 8);
}

}  // namespace
}  // namespace kolvar::serve
