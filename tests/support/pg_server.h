// The PostgreSQL server the tests run against: KOLVAR_TEST_PG holds its
// connection string. Without it the server's tests are skipped, unless
// KOLVAR_REQUIRE_PG=1 says they must run: then they fail.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>

struct pg_conn;

namespace kolvar::testing {

// The server's connection string, or nullopt when none is configured.
std::optional<std::string> TestServer();
bool ServerRequired();

// The connection string with one more parameter (which wins over an earlier one).
std::string WithParameter(const std::string& conninfo, const std::string& key,
                          const std::string& value);
// A connection string for the server whose search path starts with `schema`.
std::string WithSchema(const std::string& conninfo, const std::string& schema);

// Runs statements on the server over a connection of its own (outside the
// library), for set-up and for playing another client.
class ServerSession {
 public:
  explicit ServerSession(const std::string& conninfo);
  ~ServerSession();
  ServerSession(const ServerSession&) = delete;
  ServerSession& operator=(const ServerSession&) = delete;
  // The first column of the first row ("" when none); fails the test on error.
  std::string Query(const std::string& sql);
  // The SQLSTATE of a statement's failure, "" when it succeeds.
  std::string Try(const std::string& sql);

 private:
  ::pg_conn* conn_;
};

// A fresh user database in a schema of its own on the test server, per test;
// skipped (or failed, when the server is required) without a server.
class ServerTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string server;    // the server as configured
  std::string schema;    // this test's schema
  std::string userPath;  // connection string of this test's user database
};

}  // namespace kolvar::testing
