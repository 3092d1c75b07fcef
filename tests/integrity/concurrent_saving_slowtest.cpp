// Client processes saving into one user database: two at once for seconds,
// and one saving and copying declarations killed at random moments. Every
// record the processes were told was saved is there with exactly one detail
// row of its own, every copy is whole, and nothing else is there.
// Files only: the file lock's queue; ServerWriters does the same on the server.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "integrity/database_dump.h"
#include "support/fixture.h"

extern char** environ;

namespace kolvar::testing {
namespace {

class ConcurrentSaving : public DatabaseTest {
 protected:
  pid_t Spawn(std::int32_t declaration, int seconds, const std::string& report,
              const char* mode = "save") {
    const std::string args[] = {
        KOLVAR_SAVER, userPath, std::to_string(declaration), std::to_string(seconds), report, mode};
    char* argv[] = {const_cast<char*>(args[0].c_str()),
                    const_cast<char*>(args[1].c_str()),
                    const_cast<char*>(args[2].c_str()),
                    const_cast<char*>(args[3].c_str()),
                    const_cast<char*>(args[4].c_str()),
                    const_cast<char*>(args[5].c_str()),
                    nullptr};
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, KOLVAR_SAVER, nullptr, nullptr, argv, environ), 0);
    return pid;
  }
  static int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
  }
  // The keys of new records a process reported, in order.
  static std::vector<std::int32_t> NewKeys(const std::string& report) {
    std::ifstream in(report);
    std::vector<std::int32_t> keys;
    std::string kind;
    std::int32_t key;
    while (in >> kind >> key)
      if (kind == "N") keys.push_back(key);
    return keys;
  }
  // CSDO -> CSCI of every record saved (not copied), and the records whose
  // invoice id does not name their own declaration.
  std::map<std::int32_t, std::int32_t> Records() {
    std::map<std::int32_t, std::int32_t> out;
    std::istringstream rows(
        DumpRows(userPath, "SELECT CSDO, CSCI FROM tOperadores WHERE CSCI >= 100"));
    std::string row;
    while (std::getline(rows, row)) {
      const auto bar = row.find('|');
      out[std::stoi(row.substr(0, bar))] = std::stoi(row.substr(bar + 1));
    }
    EXPECT_EQ(DumpRows(userPath,
                       "SELECT CSDO FROM tOperadores WHERE CSCI >= 100 AND IDFACTURA NOT LIKE "
                       "'P' || CSCI || '-%'"),
              "");
    return out;
  }
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
    const std::vector<std::int32_t> keys = NewKeys(reports[p - 101]);
    EXPECT_GT(keys.size(), 20u) << "process " << p;
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end()));
    for (std::int32_t key : keys) EXPECT_TRUE(reported.emplace(key, p).second) << key;
  }
  EXPECT_EQ(Records(), reported);
  ExpectSound();
}

TEST_F(ConcurrentSaving, AProcessKilledAtRandomMomentsLeavesNoHalfRecord) {
  std::mt19937 random(20141);
  const std::string report = (dir / "killed.txt").string();
  std::size_t lastReported = 0;
  int rounds = 0;
  for (; rounds < 22; ++rounds) {
    // The declaration grows round by round, and so does the time its copies take.
    // It is killed at a random moment after its first save of the round,
    // however slowly it starts.
    const pid_t saver = Spawn(100, 60, report, "copy");
    const auto started = std::chrono::steady_clock::now();
    while (NewKeys(report).size() <= lastReported &&
           std::chrono::steady_clock::now() - started < std::chrono::seconds(10))
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::this_thread::sleep_for(
        std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 300)(random)));
    kill(saver, SIGKILL);
    EXPECT_TRUE(WIFSIGNALED(Wait(saver)));
    ExpectSound();
    // Every key reported is saved; at most one save per kill went unreported.
    const std::vector<std::int32_t> keys = NewKeys(report);
    const auto records = Records();
    for (std::int32_t key : keys) EXPECT_EQ(records.count(key), 1u) << key;
    EXPECT_LE(records.size(), keys.size() + rounds + 1);
    lastReported = keys.size();
    if (HasFailure()) break;
  }
  EXPECT_GE(lastReported, static_cast<std::size_t>(rounds));  // a save in every round
  EXPECT_GT(ScalarUser("SELECT count(*) FROM TDeclaraciones").toLong(), 5);
}

}  // namespace
}  // namespace kolvar::testing
