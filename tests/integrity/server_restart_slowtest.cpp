// A whole-file import while the server restarts: the import fails with the
// lost connection's error and stores nothing, and the next import, on a new
// connection, stores the whole file. The test runs a cluster of its own, so
// that the restart disturbs no other test.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "dbaccess/pg/pg_connection.h"
#include "form340_lines.h"
#include "integrity/database_dump.h"
#include "kolvar/batch.h"
#include "support/fixture.h"
#include "support/pg_server.h"

namespace kolvar::testing {
namespace {

class ServerRestart : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!TestServer()) {
      if (ServerRequired()) FAIL() << "KOLVAR_REQUIRE_PG=1 but KOLVAR_TEST_PG is not set";
      GTEST_SKIP() << "no PostgreSQL server (KOLVAR_TEST_PG)";
    }
    dir = std::filesystem::temp_directory_path() / ("kolvar-restart-" + std::to_string(getpid()));
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    cluster = (dir / "pg").string();
    ASSERT_EQ(Cluster("start"), 0);
    uri = "postgresql://kolvar@/kolvar?host=" + cluster;
  }
  void TearDown() override {
    if (cluster.empty()) return;
    db::pg::ForgetThreadConnections();
    Cluster("stop");
    std::filesystem::remove_all(dir);
  }
  int Cluster(const std::string& action) const {
    const std::string command = std::string(KOLVAR_SOURCE_DIR "/tools/pg_cluster ") + action + " " +
                                cluster + " >/dev/null";
    return std::system(command.c_str());
  }

  std::filesystem::path dir;
  std::string cluster;
  std::string uri;
};

TEST_F(ServerRestart, AnImportDuringARestartStoresNothingAndTheNextOneStoresTheWholeFile) {
  constexpr int kRecords = 1000;
  CreateUserDatabase(uri);
  const std::string reference = (dir / "referencia.db").string();
  CreateReferenceDatabase(reference);
  const std::string file = (dir / "f.txt").string();
  ASSERT_TRUE(generated::WriteFile(file, 2014, kRecords));
  const ImportTarget target{uri, reference, 7, 2014, 12, 1};

  // The restart comes once the import's transaction has inserted records.
  std::atomic<bool> restarted{false};
  std::thread watcher([&] {
    ServerSession watch(uri);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < until) {
      const std::string busy = watch.Query(
          "SELECT count(*) FROM pg_stat_activity WHERE application_name = 'kolvar' AND "
          "xact_start IS NOT NULL AND query ILIKE 'insert%toperadores%'");
      if (busy != "0") {
        restarted = Cluster("restart") == 0;
        return;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  });
  const Error lost = ExpectError(3151, [&] { ImportFile(file, target); });
  watcher.join();
  ASSERT_TRUE(restarted);
  EXPECT_NE(lost.description(), "");
  EXPECT_EQ(DumpRows(uri, "SELECT count(*) FROM tOperadores"), "0\n");
  EXPECT_EQ(DumpRows(uri, "SELECT count(*) FROM tdpfe"), "0\n");

  const ImportResult again = ImportFile(file, target);
  EXPECT_EQ(again.stored, kRecords);
  EXPECT_EQ(DumpRows(uri, "SELECT count(*) FROM tOperadores WHERE CSCI = 7"),
            std::to_string(kRecords) + "\n");
  EXPECT_EQ(UnmatchedDetails(uri), "");
}

}  // namespace
}  // namespace kolvar::testing
