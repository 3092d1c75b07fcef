// Eight client processes saving declared records into one user database on
// the server at once for 30 s: every record a process was told was saved is
// there once, with exactly one detail row, no key is given twice, and the
// stored counts are the sums of what the processes reported. Lost conflicts
// (serialization failures, deadlocks) are tried again by the library; the
// only error a process may see is 3050, when a unit of work keeps losing past
// its retries or waits on a lock past the server's lock timeout. Those are
// counted and printed, and the process tries that record again.
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

#include "support/fixture.h"

extern char** environ;

namespace kolvar::testing {
namespace {

class ServerWriters : public DatabaseTest {
 protected:
  Engine engine() const override { return Engine::Server; }
  pid_t Spawn(std::int32_t declaration, int seconds, const std::string& report) {
    const std::string args[] = {KOLVAR_SAVER, userPath, std::to_string(declaration),
                                std::to_string(seconds), report};
    char* argv[] = {const_cast<char*>(args[0].c_str()), const_cast<char*>(args[1].c_str()),
                    const_cast<char*>(args[2].c_str()), const_cast<char*>(args[3].c_str()),
                    const_cast<char*>(args[4].c_str()), nullptr};
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, KOLVAR_SAVER, nullptr, nullptr, argv, environ), 0);
    return pid;
  }
  // The keys of the lines of one kind in a report.
  static std::vector<std::int32_t> Reported(const std::string& report, const std::string& which) {
    std::ifstream in(report);
    std::vector<std::int32_t> keys;
    std::string kind;
    std::int32_t key;
    while (in >> kind >> key)
      if (kind == which) keys.push_back(key);
    return keys;
  }
};

TEST_F(ServerWriters, EightProcessesGetDistinctKeysEachWithExactlyOneDetailRow) {
  constexpr int kProcesses = 8;
  std::vector<pid_t> savers;
  for (int p = 0; p < kProcesses; ++p)
    savers.push_back(Spawn(101 + p, 30, (dir / (std::to_string(p) + ".txt")).string()));
  for (pid_t pid : savers) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
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
  std::map<std::int32_t, std::int32_t> stored;
  std::istringstream rows(RowsUser("SELECT CSDO, CSCI FROM tOperadores ORDER BY CSDO"));
  for (std::string row; std::getline(rows, row);) {
    const auto bar = row.find('|');
    stored[std::stoi(row.substr(0, bar))] = std::stoi(row.substr(bar + 1));
  }
  EXPECT_EQ(stored, reported);
  const std::string sum = std::to_string(reported.size());
  EXPECT_EQ(RowsUser("SELECT count(*), count(DISTINCT CSDO) FROM tOperadores"),
            sum + "|" + sum + "\n");
  EXPECT_EQ(RowsUser("SELECT (SELECT count(*) FROM tdpfe) + (SELECT count(*) FROM tdpfr) + "
                     "(SELECT count(*) FROM tdpbi) + (SELECT count(*) FROM tdpdoi)"),
            sum + "\n");
  EXPECT_EQ(RowsUser("SELECT o.CSDO FROM tOperadores o WHERE (SELECT count(*) FROM tdpfe d WHERE "
                     "d.CSDO = o.CSDO) + (SELECT count(*) FROM tdpfr d WHERE d.CSDO = o.CSDO) + "
                     "(SELECT count(*) FROM tdpbi d WHERE d.CSDO = o.CSDO) + (SELECT count(*) "
                     "FROM tdpdoi d WHERE d.CSDO = o.CSDO) <> 1"),
            "");
  EXPECT_EQ(
      RowsUser("SELECT CSDO FROM tOperadores WHERE substr(IDFACTURA, 1, length('P' || CSCI || "
               "'-')) <> 'P' || CSCI || '-'"),
      "");
}

}  // namespace
}  // namespace kolvar::testing
