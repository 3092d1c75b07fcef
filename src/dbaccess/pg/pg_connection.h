// One libpq connection, kept per thread and connection string between units
// of work: opening a database on the server is a cheap check that the
// connection is alive, and a connection the server dropped is opened again
// before the next unit of work, never inside one.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "dbaccess/schema.h"

struct pg_conn;
struct pg_result;

namespace kolvar::db::pg {

struct ResultDeleter {
  void operator()(pg_result* r) const;
};
using Result = std::unique_ptr<pg_result, ResultDeleter>;

class Connection {
 public:
  explicit Connection(std::string conninfo);  // error 3151 (3024: no such database)
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  const std::string& conninfo() const { return conninfo_; }
  // Opens the connection again when the server dropped it; error 3151 when
  // the server cannot be reached. Outside a transaction only.
  void ensureAlive();

  // Runs one statement. Inside a transaction a failing statement is undone
  // alone (a savepoint around it, sent in the same round trip), unless the
  // failure dooms the whole transaction (a serialization failure or a
  // deadlock): then everything up to the rollback fails with 3050.
  Result run(const std::string& sql, const std::vector<std::optional<std::string>>& params = {});
  // The same for a statement run again and again with other values: it is
  // prepared once per connection and text, and each parameter ($1, $2 ...)
  // has the given type (0: the type its place asks for, as an untyped
  // literal would).
  // A statement that can fail only as the unit of work fails (a DELETE with
  // typed values, already prepared) may be `deferrable`: inside a unit it then
  // goes with the next round trip, and returns no result; a failure is raised
  // from the call that sends it, always before the unit ends.
  Result runPrepared(const std::string& sql, const std::vector<std::optional<std::string>>& params,
                     const std::vector<unsigned int>& types, bool deferrable = false);

  // A COPY ... FROM STDIN statement with its data in the server's text
  // format. Inside a transaction a failure dooms it (no savepoint).
  void copyIn(const std::string& sql, std::string_view data);

  // A statement of the transaction itself (SAVEPOINT, RELEASE, ROLLBACK TO).
  // SAVEPOINT and RELEASE wait to go with the next statement, in its round
  // trip; a savepoint released before anything ran in it is never sent.
  void control(const std::string& sql);

  // The BEGIN also waits for the first statement: a transaction in which
  // nothing ran costs no round trip, and commits or rolls back as nothing.
  void begin(std::string_view isolation = "READ COMMITTED");
  void commit();
  void rollback() noexcept;
  bool inTransaction() const { return inTransaction_; }
  // True when the current (or last) transaction failed in a way that trying
  // the unit of work again may cure.
  bool conflicted() const { return conflicted_; }

  // The described column behind a result column read straight from a table
  // (by the table's identifier and the column's number), or nullptr.
  const Column* describedColumn(unsigned int table, int column);
  // The schema's spelling of a column read from a table, or nullptr.
  const std::string* columnName(unsigned int table, int column);

  pg_conn* handle() const { return conn_; }
  // Counts the times the connection was opened: what lived on an earlier
  // one (a cursor, a prepared statement) is gone.
  int generation() const { return generation_; }
  // A new name for something that lives on this connection.
  std::string newName(std::string_view prefix) {
    return std::string(prefix) + std::to_string(++names_);
  }

 private:
  struct TableInfo {
    std::string name;
    std::unordered_map<int, std::string> columns;  // by number
    std::unordered_map<int, const Column*> described;
  };
  const TableInfo* table(unsigned int oid, int column);
  using Params = std::vector<std::optional<std::string>>;
  struct Statement {
    const std::string& sql;
    const Params& params;
    const std::vector<unsigned int>* types = nullptr;  // prepared when given
  };
  Result plain(const std::string& sql, const Params& params) { return plain({sql, params}); }
  Result plain(const Statement& statement);
  Result guarded(const Statement& statement);
  // The waiting statements, then `sql` (between a savepoint and its release
  // when guarded), in one round trip; their results in that order (null for
  // what the server skipped). A connection dropped before the unit of work
  // sent anything is opened again and everything sent on it.
  std::vector<Result> exchange(const Statement& statement, bool guard);
  // Raises the failure of a waiting statement, if one failed.
  void checkWaiting(std::vector<Result>& results, std::size_t count);
  bool beginWaits() const;
  [[noreturn]] void fail(pg_result* result);
  void connect();

  std::string conninfo_;
  pg_conn* conn_ = nullptr;
  bool inTransaction_ = false;
  bool conflicted_ = false;
  bool untouched_ = true;  // no statement since the last check: a drop may be mended
  int generation_ = 0;
  unsigned long names_ = 0;
  struct Waiting {
    std::string sql;  // or the name of a prepared statement, with its values
    Params params;
    bool prepared = false;
  };
  bool deferredWaiting() const;
  std::vector<Waiting> waiting_;    // BEGIN, SAVEPOINT, RELEASE and deferred statements
  std::vector<bool> sentPrepared_;  // which of the last waiting ones were deferred
  std::unordered_map<std::string, std::string> prepared_;  // names by text and types
  std::unordered_map<unsigned int, TableInfo> tables_;
};

// True when a user-database name addresses a server: a postgresql:// or
// postgres:// URI, or a libpq "key=value" connection string.
bool IsServerAddress(std::string_view name);

// The calling thread's connection for this connection string, created on
// first use and checked on every later one.
std::shared_ptr<Connection> ThreadConnection(const std::string& conninfo);
// Closes the calling thread's connections (those no database uses any more).
void ForgetThreadConnections();

}  // namespace kolvar::db::pg
