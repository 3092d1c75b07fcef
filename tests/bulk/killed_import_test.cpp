// A whole-file import killed at random moments leaves the user database as it
// was before: the integrity check passes and no record of the file is there.
// Files only: on the server a killed client is a dropped connection, whose
// unit of work the server undoes (ServerRestart covers a lost connection).
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <thread>

#include "form340_lines.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

constexpr int kRecords = 10000;
constexpr int kKills = 30;

pid_t StartImport(const std::string& file, const std::string& user, const std::string& ref) {
  const pid_t pid = fork();
  if (pid == 0) {
    execl(KOLVAR_TEST_CHILD, KOLVAR_TEST_CHILD, "import", file.c_str(), user.c_str(), ref.c_str(),
          static_cast<char*>(nullptr));
    _exit(3);
  }
  return pid;
}

// The integrity check's verdict and the records of declaration 7.
std::pair<std::string, int> Inspect(const std::string& path) {
  sqlite3* db = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  sqlite3_busy_timeout(db, 2000);
  std::string verdict = "failed";
  int records = -1;
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr);
  if (sqlite3_step(stmt) == SQLITE_ROW)
    verdict = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
  sqlite3_finalize(stmt);
  sqlite3_prepare_v2(db, "SELECT count(*) FROM tOperadores WHERE CSCI = 7", -1, &stmt, nullptr);
  if (sqlite3_step(stmt) == SQLITE_ROW) records = sqlite3_column_int(stmt, 0);
  sqlite3_finalize(stmt);
  sqlite3_close(db);
  return {verdict, records};
}

class KilledImport : public DatabaseTest {
 protected:
  void ForgetTheFile() {
    for (const char* table : {"tOperadores", "tdpfe", "tdpfr", "tdpbi", "tdpdoi"})
      ExecUser(std::string("DELETE FROM ") + table + " WHERE CSCI = 7");
  }
};

TEST_F(KilledImport, LeavesTheDatabaseAsBeforeEveryTime) {
  using Clock = std::chrono::steady_clock;
  const std::string file = (dir / "f.txt").string();
  ASSERT_TRUE(generated::WriteFile(file, 2014, kRecords));
  ExecUser("INSERT INTO tOperadores (CSCI, NIF) VALUES (3, 'KEPT')");

  // The length of a whole import, timed warm (the first run loads the files).
  Clock::duration whole{};
  int status = 0;
  for (int run = 0; run < 2; ++run) {
    const auto start = Clock::now();
    waitpid(StartImport(file, userPath, referencePath), &status, 0);
    whole = Clock::now() - start;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(Inspect(userPath).second, kRecords);
    ForgetTheFile();
  }

  const unsigned seed = std::random_device{}();
  std::mt19937 rng(seed);
  std::uniform_int_distribution<long long> delay(
      0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
  int kills = 0;
  for (int attempt = 0; kills < kKills && attempt < 3 * kKills; ++attempt) {
    const pid_t pid = StartImport(file, userPath, referencePath);
    std::this_thread::sleep_for(std::chrono::microseconds(delay(rng)));
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    const auto [verdict, records] = Inspect(userPath);
    ASSERT_EQ(verdict, "ok") << "seed " << seed;
    if (records == 0) {
      kills += WIFSIGNALED(status);
    } else {
      // The kill came after the commit (or never): then all of the file is there.
      ASSERT_EQ(records, kRecords) << "seed " << seed;
      ForgetTheFile();
    }
  }
  EXPECT_EQ(kills, kKills);
  EXPECT_EQ(ScalarUser("SELECT NIF FROM tOperadores WHERE CSCI = 3").toString(), "KEPT");
}

}  // namespace
}  // namespace kolvar::testing
