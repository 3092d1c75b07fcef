// Client processes saving into one user database: two at once for seconds,
// and one saving and copying declarations killed at random moments. Every
// record the processes were told was saved is there with exactly one detail
// row of its own, every copy is whole, and nothing else is there.
// Files only: the file lock's queue; ServerWriters does the same on the server.
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

#include "integrity/saving_processes.h"

namespace kolvar::testing {
namespace {

class ConcurrentSaving : public SavingProcesses {
 protected:
  // The file passes its check, every record has its detail row, and every
  // copy of a declaration holds as many records as its source had.
  void ExpectSound() {
    EXPECT_EQ(DumpRows(userPath, "PRAGMA integrity_check"), "ok\n");
    EXPECT_EQ(UnmatchedDetails(userPath), "");
    EXPECT_EQ(DumpRows(userPath,
                       "SELECT d.CSCI, d.SECDECI, count(o.CSDO) FROM TDeclaraciones d "
                       "LEFT JOIN tOperadores o ON o.CSCI = d.CSCI GROUP BY d.CSCI "
                       "HAVING count(o.CSDO) <> d.SECDECI"),
              "");
  }
};

TEST_F(ConcurrentSaving, TwoProcessesForTenSecondsGetDistinctKeysEachWithItsOwnDetailRow) {
  const std::string reports[] = {(dir / "1.txt").string(), (dir / "2.txt").string()};
  const pid_t first = Spawn(101, 10, reports[0]);
  const pid_t second = Spawn(102, 10, reports[1]);
  EXPECT_EQ(Wait(first), 0);
  EXPECT_EQ(Wait(second), 0);
  std::map<std::int32_t, std::int32_t> reported;
  for (std::int32_t p : {101, 102}) {
    const std::vector<std::int32_t> keys = Reported(reports[p - 101], "N");
    EXPECT_GT(keys.size(), 20u) << "process " << p;
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    for (std::int32_t key : keys) EXPECT_TRUE(reported.emplace(key, p).second) << key;
  }
  EXPECT_EQ(Saved(), reported);
  ExpectSound();
}

TEST_F(ConcurrentSaving, AProcessKilledAtRandomMomentsLeavesNoHalfRecord) {
  std::mt19937 random(20141);
  const std::string report = (dir / "killed.txt").string();
  const std::int32_t declarationsBefore =
      ScalarUser("SELECT count(*) FROM TDeclaraciones").toLong();
  std::size_t lastReported = 0, lastCopied = 0;
  int rounds = 0;
  for (; rounds < 22; ++rounds) {
    // The declaration grows round by round, and so does the time its copies take.
    // It is killed at a random moment after its first save of the round (every
    // third round, after its first finished copy), however slowly it starts.
    const bool afterACopy = rounds % 3 == 2;
    const pid_t saver = Spawn(100, 60, report, "copy");
    const auto started = std::chrono::steady_clock::now();
    while ((Reported(report, "N").size() <= lastReported ||
            (afterACopy && Reported(report, "C").size() <= lastCopied)) &&
           std::chrono::steady_clock::now() - started < std::chrono::seconds(10))
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 300)(random)));
    kill(saver, SIGKILL);
    EXPECT_TRUE(WIFSIGNALED(Wait(saver)));
    ExpectSound();
    // Every key reported is saved; at most one save per kill went unreported.
    const std::vector<std::int32_t> keys = Reported(report, "N");
    const auto records = Saved();
    for (std::int32_t key : keys) EXPECT_EQ(records.count(key), 1u) << key;
    EXPECT_LE(records.size(), keys.size() + rounds + 1);
    lastReported = keys.size();
    lastCopied = Reported(report, "C").size();
    if (HasFailure()) break;
  }
  EXPECT_GE(lastReported, static_cast<std::size_t>(rounds));  // a save in every round
  // A copy in every third round; every reported copy is there, and at most one
  // per kill went unreported.
  const std::int32_t copies =
      ScalarUser("SELECT count(*) FROM TDeclaraciones").toLong() - declarationsBefore;
  EXPECT_GE(lastCopied, static_cast<std::size_t>(rounds / 3));
  EXPECT_GE(copies, static_cast<std::int32_t>(lastCopied));
  EXPECT_LE(copies, static_cast<std::int32_t>(lastCopied) + rounds);
}

}  // namespace
}  // namespace kolvar::testing
