// Eight client processes saving declared records into one user database on
// the server at once: every record a process was told was saved is there
// once, with exactly one detail row, no key is given twice, and nothing else
// is stored. Lost conflicts are tried again by the library; a process only
// sees 3050 when they go on too long, and then tries the record again.
#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
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
  static std::vector<std::int32_t> NewKeys(const std::string& report) {
    std::ifstream in(report);
    std::vector<std::int32_t> keys;
    std::string kind;
    std::int32_t key;
    while (in >> kind >> key)
      if (kind == "N") keys.push_back(key);
    return keys;
  }
};

TEST_F(ServerWriters, EightProcessesGetDistinctKeysEachWithExactlyOneDetailRow) {
  constexpr int kProcesses = 8;
  std::vector<pid_t> savers;
  for (int p = 0; p < kProcesses; ++p)
    savers.push_back(Spawn(101 + p, 20, (dir / (std::to_string(p) + ".txt")).string()));
  for (pid_t pid : savers) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  std::map<std::int32_t, std::int32_t> reported;  // CSDO -> CSCI
  for (int p = 0; p < kProcesses; ++p) {
    const auto keys = NewKeys((dir / (std::to_string(p) + ".txt")).string());
    EXPECT_GT(keys.size(), 5u) << "process " << p;
    for (std::int32_t key : keys) EXPECT_TRUE(reported.emplace(key, 101 + p).second) << key;
  }
  std::map<std::int32_t, std::int32_t> stored;
  std::istringstream rows(RowsUser("SELECT CSDO, CSCI FROM tOperadores ORDER BY CSDO"));
  for (std::string row; std::getline(rows, row);) {
    const auto bar = row.find('|');
    stored[std::stoi(row.substr(0, bar))] = std::stoi(row.substr(bar + 1));
  }
  EXPECT_EQ(stored, reported);
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
