// Eight client processes saving declared records into one user database on
// the server at once for 30 s: every record a process was told was saved is
// there once, with exactly one detail row, no key is given twice, and the
// stored counts are the sums of what the processes reported. Lost conflicts
// (serialization failures, deadlocks) are tried again by the library; the
// only error a process may see is 3050, when a unit of work keeps losing past
// its retries or waits on a lock past the server's lock timeout. Those are
// counted and printed, and the process tries that record again.
#include <iostream>

#include "integrity/saving_processes.h"

namespace kolvar::testing {
namespace {

class ServerWriters : public SavingProcesses {
 protected:
  Engine engine() const override { return Engine::Server; }
};

TEST_F(ServerWriters, EightProcessesGetDistinctKeysEachWithExactlyOneDetailRow) {
  constexpr int kProcesses = 8;
  std::vector<pid_t> savers;
  for (int p = 0; p < kProcesses; ++p)
    savers.push_back(Spawn(101 + p, 30, (dir / (std::to_string(p) + ".txt")).string()));
  for (pid_t pid : savers) EXPECT_EQ(Wait(pid), 0);
  std::map<std::int32_t, std::int32_t> reported;  // CSDO -> CSCI
  std::size_t busy = 0, changes = 0;
  for (int p = 0; p < kProcesses; ++p) {
    const std::string report = (dir / (std::to_string(p) + ".txt")).string();
    const auto keys = Reported(report, "N");
    EXPECT_GT(keys.size(), 5u) << "process " << p;
    for (std::int32_t key : keys) EXPECT_TRUE(reported.emplace(key, 101 + p).second) << key;
    busy += Reported(report, "B").size();
    changes += Reported(report, "U").size();
  }
  std::cout << "saved " << reported.size() << ", changed " << changes << ", 3050 seen " << busy
            << "\n";
  EXPECT_EQ(Saved(), reported);
  const std::string sum = std::to_string(reported.size());
  EXPECT_EQ(RowsUser("SELECT count(*), count(DISTINCT CSDO) FROM tOperadores"),
            sum + "|" + sum + "\n");
  EXPECT_EQ(UnmatchedDetails(userPath), "");
}

}  // namespace
}  // namespace kolvar::testing
