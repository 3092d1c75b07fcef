// The PostgreSQL server of a benchmark: the one KOLVAR_TEST_PG names, or else
// a throwaway cluster started for the run (tools/pg_cluster) and stopped at
// its end. Each user database is a schema of its own on it.
#pragma once

#include <libpq-fe.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace kolvar::bench {

// Runs statements over a connection of its own; throws on failure.
class ServerSession {
 public:
  explicit ServerSession(const std::string& conninfo) : conn_(PQconnectdb(conninfo.c_str())) {
    if (PQstatus(conn_) != CONNECTION_OK)
      throw std::runtime_error(std::string("server: ") + PQerrorMessage(conn_));
    PQsetNoticeProcessor(
        conn_, [](void*, const char*) {}, nullptr);
  }
  ~ServerSession() { PQfinish(conn_); }
  ServerSession(const ServerSession&) = delete;
  ServerSession& operator=(const ServerSession&) = delete;

  // The first column of the first row, or "".
  std::string Query(const std::string& sql) {
    PGresult* r = PQexec(conn_, sql.c_str());
    const auto status = PQresultStatus(r);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
      const std::string message = PQresultErrorMessage(r);
      PQclear(r);
      throw std::runtime_error(sql + ": " + message);
    }
    std::string out = status == PGRES_TUPLES_OK && PQntuples(r) > 0 ? PQgetvalue(r, 0, 0) : "";
    PQclear(r);
    return out;
  }
  PGconn* handle() const { return conn_; }

  // Processor seconds the server spent so far in the library's open
  // connections (read from /proc: only for a server on this machine), or -1.
  double LibraryBackendsCpu() {
    PGresult* r =
        PQexec(conn_, "SELECT pid FROM pg_stat_activity WHERE application_name = 'kolvar'");
    double seconds = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) > 0 ? 0 : -1;
    for (int i = 0; i < PQntuples(r) && seconds >= 0; ++i) {
      std::ifstream stat(std::string("/proc/") + PQgetvalue(r, i, 0) + "/stat");
      std::string line;
      if (!std::getline(stat, line) || line.rfind(')') == std::string::npos) {
        seconds = -1;
        break;
      }
      // Fields after the command's closing parenthesis: utime and stime are
      // the 12th and 13th.
      std::istringstream rest(line.substr(line.rfind(')') + 2));
      std::string field;
      double ticks = 0;
      for (int k = 1; k <= 13 && rest >> field; ++k)
        if (k >= 12) ticks += std::stod(field);
      seconds += ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
    }
    PQclear(r);
    return seconds;
  }

 private:
  PGconn* conn_;
};

class BenchServer {
 public:
  BenchServer() {
    if (const char* configured = std::getenv("KOLVAR_TEST_PG"); configured && *configured) {
      conninfo_ = configured;
      return;
    }
    dir_ = "/tmp/kolvar-bench-pg-" + std::to_string(getpid());
    const std::string command = std::string(KOLVAR_SOURCE_DIR) + "/tools/pg_cluster start " + dir_;
    FILE* out = popen(command.c_str(), "r");
    char line[512] = {};
    if (!out || !std::fgets(line, sizeof line, out) || pclose(out) != 0)
      throw std::runtime_error("cannot start a throwaway cluster (" + command + ")");
    conninfo_ = line;
    while (!conninfo_.empty() && conninfo_.back() == '\n') conninfo_.pop_back();
  }
  ~BenchServer() {
    if (dir_.empty()) return;
    const std::string command = std::string(KOLVAR_SOURCE_DIR) + "/tools/pg_cluster stop " + dir_;
    if (std::system(command.c_str()) != 0)
      std::fprintf(stderr, "could not stop %s\n", dir_.c_str());
  }
  BenchServer(const BenchServer&) = delete;
  BenchServer& operator=(const BenchServer&) = delete;

  const std::string& conninfo() const { return conninfo_; }

  // A fresh, empty schema; the connection string of a user database in it.
  std::string NewSchema(const std::string& schema) const {
    ServerSession admin(conninfo_);
    admin.Query("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
    admin.Query("CREATE SCHEMA " + schema);
    if (conninfo_.starts_with("postgresql://") || conninfo_.starts_with("postgres://")) {
      const char sep = conninfo_.find('?') == std::string::npos ? '?' : '&';
      return conninfo_ + sep + "options=-csearch_path%3D" + schema + "%2Cpublic";
    }
    return conninfo_ + " options='-csearch_path=" + schema + ",public'";
  }
  void DropSchema(const std::string& schema) const {
    ServerSession(conninfo_).Query("DROP SCHEMA IF EXISTS " + schema + " CASCADE");
  }

  // The durability settings the figures were taken under.
  std::string Settings() const {
    ServerSession s(conninfo_);
    return "server " + s.Query("SHOW server_version") + ", fsync " + s.Query("SHOW fsync") +
           ", synchronous_commit " + s.Query("SHOW synchronous_commit") +
           (dir_.empty() ? "" : " (throwaway cluster " + dir_ + ")");
  }

 private:
  std::string conninfo_;
  std::string dir_;
};

}  // namespace kolvar::bench
