#include "support/pg_server.h"

#include <libpq-fe.h>
#include <unistd.h>

#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "dbaccess/pg/pg_connection.h"
#include "dbaccess/pg/pg_schema.h"
#include "kolvar/error.h"

namespace kolvar::testing {

std::optional<std::string> TestServer() {
  const char* v = std::getenv("KOLVAR_TEST_PG");
  if (!v || !*v) return std::nullopt;
  return std::string(v);
}

bool ServerRequired() {
  const char* v = std::getenv("KOLVAR_REQUIRE_PG");
  return v && std::string(v) == "1";
}

std::string WithParameter(const std::string& conninfo, const std::string& key,
                          const std::string& value) {
  if (conninfo.starts_with("postgresql://") || conninfo.starts_with("postgres://")) {
    std::string encoded;
    for (char c : value) {
      if (std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_') {
        encoded += c;
      } else {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
        encoded += hex;
      }
    }
    const char sep = conninfo.find('?') == std::string::npos ? '?' : '&';
    return conninfo + sep + key + "=" + encoded;
  }
  return conninfo + " " + key + "='" + value + "'";
}

std::string WithSchema(const std::string& conninfo, const std::string& schema) {
  return WithParameter(conninfo, "options", "-csearch_path=" + schema + ",public");
}

ServerSession::ServerSession(const std::string& conninfo) : conn_(PQconnectdb(conninfo.c_str())) {
  if (PQstatus(conn_) != CONNECTION_OK)
    ADD_FAILURE() << "cannot reach the test server: " << PQerrorMessage(conn_);
  PQsetNoticeProcessor(
      conn_, [](void*, const char*) {}, nullptr);
}

ServerSession::~ServerSession() {
  PQfinish(conn_);
}

std::string ServerSession::Query(const std::string& sql) {
  PGresult* r = PQexec(conn_, sql.c_str());
  std::string out;
  const auto status = PQresultStatus(r);
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
    ADD_FAILURE() << sql << ": " << PQresultErrorMessage(r);
  else if (status == PGRES_TUPLES_OK && PQntuples(r) > 0)
    out = PQgetvalue(r, 0, 0);
  PQclear(r);
  return out;
}

std::string ServerSession::Try(const std::string& sql) {
  PGresult* r = PQexec(conn_, sql.c_str());
  const auto status = PQresultStatus(r);
  std::string state;
  if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
    const char* s = PQresultErrorField(r, PG_DIAG_SQLSTATE);
    state = s ? s : "?";
  }
  PQclear(r);
  return state;
}

void ServerTest::SetUp() {
  const auto configured = TestServer();
  if (!configured) {
    if (ServerRequired()) FAIL() << "KOLVAR_REQUIRE_PG=1 but KOLVAR_TEST_PG is not set";
    GTEST_SKIP() << "no PostgreSQL server (KOLVAR_TEST_PG)";
  }
  server = *configured;
  static std::atomic<int> counter{0};
  schema = "kt_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
  {
    ServerSession admin(server);
    if (::testing::Test::HasFailure()) return;
    admin.Query("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    admin.Query("CREATE SCHEMA " + schema);
  }
  userPath = WithSchema(server, schema);
  db::pg::CreateUserTables(userPath, UserLayout::Current);
}

void ServerTest::TearDown() {
  if (schema.empty() || server.empty()) return;
  db::pg::ForgetThreadConnections();
  ServerSession admin(server);
  admin.Query("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
}

}  // namespace kolvar::testing
