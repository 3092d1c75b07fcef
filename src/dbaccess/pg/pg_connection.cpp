#include "dbaccess/pg/pg_connection.h"

#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "dbaccess/pg/pg_errors.h"
#include "kolvar/error.h"

namespace kolvar::db::pg {

namespace {

// Statements kept prepared on one connection, at most.
constexpr std::size_t kMostPrepared = 64;

// Waits on row locks end here; a deadlock is found by the server sooner.
constexpr const char* kSessionSettings =
    "SET client_encoding = 'UTF8'; SET lock_timeout = '10s'; SET standard_conforming_strings = on";

std::string Field(const PGresult* r, int code) {
  const char* v = r ? PQresultErrorField(r, code) : nullptr;
  return v ? v : "";
}

std::string ConnectionMessage(PGconn* conn) {
  std::string m = conn ? PQerrorMessage(conn) : "sin memoria";
  while (!m.empty() && (m.back() == '\n' || m.back() == ' ')) m.pop_back();
  return m;
}

}  // namespace

void ResultDeleter::operator()(pg_result* r) const {
  PQclear(r);
}

bool IsServerAddress(std::string_view name) {
  if (name.starts_with("postgresql://") || name.starts_with("postgres://")) return true;
  // key=value: a word, optional blanks, then "="
  std::size_t i = 0;
  while (i < name.size() && std::isspace(static_cast<unsigned char>(name[i]))) ++i;
  const std::size_t start = i;
  while (i < name.size() && (std::isalnum(static_cast<unsigned char>(name[i])) || name[i] == '_'))
    ++i;
  if (i == start) return false;
  while (i < name.size() && name[i] == ' ') ++i;
  return i < name.size() && name[i] == '=';
}

Connection::Connection(std::string conninfo) : conninfo_(std::move(conninfo)) {
  connect();
}

Connection::~Connection() {
  if (conn_) PQfinish(conn_);
}

void Connection::connect() {
  // The connection string comes last: what it names wins.
  const char* keys[] = {"application_name", "dbname", nullptr};
  const char* values[] = {"kolvar", conninfo_.c_str(), nullptr};
  PGconn* conn = PQconnectdbParams(keys, values, 1);
  if (PQstatus(conn) != CONNECTION_OK) {
    const std::string message = ConnectionMessage(conn);
    PQfinish(conn);
    if (message.find("does not exist") != std::string::npos)
      Raise(err::kFileNotFound, "No se encuentra la base de datos del servidor: " + message);
    Raise(3151, "No se puede conectar con el servidor de base de datos: " + message);
  }
  PQsetNoticeProcessor(
      conn, [](void*, const char*) {}, nullptr);  // nothing is logged
  PGresult* set = PQexec(conn, kSessionSettings);
  const bool ok = PQresultStatus(set) == PGRES_COMMAND_OK;
  PQclear(set);
  if (!ok) {
    const std::string message = ConnectionMessage(conn);
    PQfinish(conn);
    Raise(3151, "No se puede preparar la sesión del servidor: " + message);
  }
  if (conn_) PQfinish(conn_);
  conn_ = conn;
  ++generation_;
  tables_.clear();
  prepared_.clear();
  inTransaction_ = false;
  untouched_ = true;
}

void Connection::ensureAlive() {
  if (inTransaction_) return;
  // Reads whatever the server sent meanwhile: a closed socket shows here.
  if (PQstatus(conn_) == CONNECTION_OK) PQconsumeInput(conn_);
  untouched_ = true;
  if (PQstatus(conn_) == CONNECTION_OK && PQtransactionStatus(conn_) == PQTRANS_IDLE) return;
  connect();
}

void Connection::fail(PGresult* r) {
  std::string state = Field(r, PG_DIAG_SQLSTATE);
  std::string message = Field(r, PG_DIAG_MESSAGE_PRIMARY);
  const std::string constraint = Field(r, PG_DIAG_CONSTRAINT_NAME);
  if (message.empty()) message = ConnectionMessage(conn_);
  if (PQstatus(conn_) != CONNECTION_OK) state = "08006";
  PQclear(r);
  if (IsRetryable(state) || (state == "25P02" && conflicted_)) {
    conflicted_ = true;
    state = "40001";
  }
  RaiseServerError(state, message, constraint);
}

namespace {

// A prepared statement is known by its text and its parameters' types, which
// the preparation fixes.
std::string PreparedKey(const std::string& sql, const std::vector<unsigned int>& types) {
  std::string key = sql;
  for (unsigned int type : types) key += "\n" + std::to_string(type);
  return key;
}

void Send(PGconn* conn, const std::string& sql, const std::vector<const char*>& values = {}) {
  PQsendQueryParams(conn, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                    nullptr, nullptr, 0);
}

}  // namespace

std::vector<Result> Connection::exchange(const Statement& st, bool guard) {
  std::vector<const char*> values;
  for (const auto& p : st.params) values.push_back(p ? p->c_str() : nullptr);
  const int count = static_cast<int>(values.size());
  for (int attempt = 0;; ++attempt) {
    // A statement run again is prepared on its first run on this connection.
    std::string name, key;
    bool prepare = false;
    if (st.types) {
      key = PreparedKey(st.sql, *st.types);
      const auto known = prepared_.find(key);
      prepare = known == prepared_.end() && prepared_.size() < kMostPrepared;
      if (known != prepared_.end()) name = known->second;
      if (prepare) name = "kolvar_" + std::to_string(prepared_.size() + 1);
    }
    std::vector<Result> results(waiting_.size() + (guard ? 3 : 1) + (prepare ? 1 : 0));
    if (PQenterPipelineMode(conn_)) {
      for (const auto& w : waiting_) {
        if (!w.prepared) {
          Send(conn_, w.sql);
          continue;
        }
        std::vector<const char*> v;
        for (const auto& p : w.params) v.push_back(p ? p->c_str() : nullptr);
        PQsendQueryPrepared(conn_, w.sql.c_str(), static_cast<int>(v.size()), v.data(), nullptr,
                            nullptr, 0);
      }
      if (guard) Send(conn_, "SAVEPOINT kolvar_statement");
      if (prepare) PQsendPrepare(conn_, name.c_str(), st.sql.c_str(), count, st.types->data());
      if (!name.empty())
        PQsendQueryPrepared(conn_, name.c_str(), count, values.data(), nullptr, nullptr, 0);
      else
        PQsendQueryParams(conn_, st.sql.c_str(), count, st.types ? st.types->data() : nullptr,
                          values.data(), nullptr, nullptr, 0);
      if (guard) Send(conn_, "RELEASE kolvar_statement");
      PQpipelineSync(conn_);
      for (auto& result : results) {
        PGresult* r = PQgetResult(conn_);
        if (!r) break;
        result.reset(r);
        while (PGresult* extra = PQgetResult(conn_)) PQclear(extra);  // up to the query's end
      }
      while (PGresult* r = PQgetResult(conn_)) {  // the sync
        const bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
        PQclear(r);
        if (sync) break;
      }
      PQexitPipelineMode(conn_);
    } else if (PQstatus(conn_) == CONNECTION_OK) {
      fail(nullptr);
    }
    if (attempt == 0 && untouched_ && PQstatus(conn_) != CONNECTION_OK) {
      // Dropped before the unit of work did anything: it starts on a new one.
      const bool inTransaction = inTransaction_;
      connect();
      inTransaction_ = inTransaction;
      continue;
    }
    untouched_ = false;
    sentPrepared_.clear();
    for (const auto& w : waiting_) sentPrepared_.push_back(w.prepared);
    waiting_.clear();
    if (prepare) {
      // The preparation's result stands for the statement's when it failed.
      const auto at = results.end() - (guard ? 3 : 2);
      if (*at && PQresultStatus(at->get()) == PGRES_COMMAND_OK)
        prepared_.emplace(key, name);
      else
        std::swap(*at, *(at + 1));
      results.erase(at);
    }
    return results;
  }
}

void Connection::checkWaiting(std::vector<Result>& results, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (results[i] && PQresultStatus(results[i].get()) == PGRES_COMMAND_OK) continue;
    // A deferred statement failed (its savepoint went before it): undone
    // alone, as a statement failing at once is; what came after never ran.
    const bool deferred = i > 0 && results[i] && PQstatus(conn_) == CONNECTION_OK &&
                          !IsRetryable(Field(results[i].get(), PG_DIAG_SQLSTATE)) &&
                          PQresultStatus(results[i].get()) == PGRES_FATAL_ERROR &&
                          i < sentPrepared_.size() && sentPrepared_[i];
    if (deferred) {
      try {
        plain("ROLLBACK TO kolvar_statement", {});
        plain("RELEASE kolvar_statement", {});
      } catch (const Error&) {
      }
    }
    fail(results[i].release());
  }
}

namespace {

bool Succeeded(const PGresult* r) {
  const auto status = PQresultStatus(r);
  return r && (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK);
}

}  // namespace

Result Connection::plain(const Statement& st) {
  const std::string& sql = st.sql;
  const Params& params = st.params;
  Result r;
  if (!waiting_.empty() || st.types) {
    std::vector<Result> results = exchange(st, false);
    checkWaiting(results, results.size() - 1);
    r = std::move(results.back());
  } else {
    std::vector<const char*> values;
    for (const auto& p : params) values.push_back(p ? p->c_str() : nullptr);
    r.reset(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                         values.data(), nullptr, nullptr, 0));
    if (untouched_ && PQstatus(conn_) != CONNECTION_OK) {
      // Dropped before the unit of work did anything: it starts on a new one.
      connect();
      r.reset(PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                           values.data(), nullptr, nullptr, 0));
    }
    untouched_ = false;
  }
  if (Succeeded(r.get())) return r;
  if (r && PQresultStatus(r.get()) == PGRES_EMPTY_QUERY)
    Raise(err::kSyntax, "La instrucción SQL está vacía.");
  fail(r.release());
}

void Connection::copyIn(const std::string& sql, std::string_view data) {
  // What waits to go with the next statement goes first, and is answered
  // for, with a statement of its own.
  if (!waiting_.empty()) plain("SELECT 1", {});
  untouched_ = false;
  PGresult* start = PQexec(conn_, sql.c_str());
  if (PQresultStatus(start) != PGRES_COPY_IN) fail(start);
  PQclear(start);
  const bool sent = PQputCopyData(conn_, data.data(), static_cast<int>(data.size())) == 1 &&
                    PQputCopyEnd(conn_, nullptr) == 1;
  PGresult* last = nullptr;
  while (PGresult* r = PQgetResult(conn_)) {
    if (last) PQclear(last);
    last = r;
  }
  if (sent && last && PQresultStatus(last) == PGRES_COMMAND_OK) {
    PQclear(last);
    return;
  }
  fail(last);
}

// SAVEPOINT, the statement and RELEASE in one round trip.
Result Connection::guarded(const Statement& st) {
  std::vector<Result> all = exchange(st, true);
  if (PQstatus(conn_) != CONNECTION_OK) fail(all[all.size() - 2].release());
  checkWaiting(all, all.size() - 3);
  Result* results = &all[all.size() - 3];
  const auto status = results[1] ? PQresultStatus(results[1].get()) : PGRES_FATAL_ERROR;
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) {
    if (PQresultStatus(results[2].get()) != PGRES_COMMAND_OK) fail(results[2].release());
    return std::move(results[1]);
  }
  if (status == PGRES_EMPTY_QUERY) {
    plain("ROLLBACK TO kolvar_statement", {});
    Raise(err::kSyntax, "La instrucción SQL está vacía.");
  }
  if (!results[0] || PQresultStatus(results[0].get()) != PGRES_COMMAND_OK)
    fail(results[0] ? results[0].release() : results[1].release());
  const std::string state = Field(results[1].get(), PG_DIAG_SQLSTATE);
  if (!IsRetryable(state)) {
    try {
      plain("ROLLBACK TO kolvar_statement", {});
      plain("RELEASE kolvar_statement", {});
    } catch (const Error&) {
    }
  }
  fail(results[1].release());
}

Result Connection::run(const std::string& sql, const Params& params) {
  if (inTransaction_ && !conflicted_) return guarded({sql, params});
  return plain(sql, params);
}

Result Connection::runPrepared(const std::string& sql, const Params& params,
                               const std::vector<unsigned int>& types, bool deferrable) {
  const Statement st{sql, params, &types};
  if (deferrable && inTransaction_ && !conflicted_ && !untouched_ && !beginWaits()) {
    if (const auto known = prepared_.find(PreparedKey(sql, types)); known != prepared_.end()) {
      waiting_.push_back({"SAVEPOINT kolvar_statement"});
      waiting_.push_back({known->second, params, true});
      waiting_.push_back({"RELEASE kolvar_statement"});
      return nullptr;
    }
  }
  if (inTransaction_ && !conflicted_) return guarded(st);
  return plain(st);
}

bool Connection::beginWaits() const {
  return !waiting_.empty() && waiting_.front().sql.starts_with("BEGIN");
}

bool Connection::deferredWaiting() const {
  return std::any_of(waiting_.begin(), waiting_.end(), [](const Waiting& w) { return w.prepared; });
}

void Connection::control(const std::string& sql) {
  if (sql.starts_with("ROLLBACK TO ") && deferredWaiting()) {
    // Deferred statements belong to the innermost unit, which this undoes.
    const auto first =
        std::find_if(waiting_.begin(), waiting_.end(), [](const Waiting& w) { return w.prepared; });
    waiting_.erase(first - 1, waiting_.end());  // from its savepoint on
  }
  // A deferred statement is answered for before any unit of work moves on.
  if (inTransaction_ && !conflicted_ && !deferredWaiting()) {
    if (sql.starts_with("SAVEPOINT ")) {
      waiting_.push_back({sql});
      return;
    }
    if (sql.starts_with("RELEASE ")) {
      if (!waiting_.empty() && waiting_.back().sql == "SAVEPOINT " + sql.substr(8))
        waiting_.pop_back();  // nothing ran in it
      else
        waiting_.push_back({sql});
      return;
    }
  }
  plain(sql, {});
}

void Connection::begin(std::string_view isolation) {
  ensureAlive();
  waiting_.assign(1, {"BEGIN ISOLATION LEVEL " + std::string(isolation)});
  inTransaction_ = true;
  conflicted_ = false;
}

void Connection::commit() {
  if (conflicted_) {
    rollback();
    RaiseServerError("40001", "la unidad de trabajo chocó con otra y se ha deshecho");
  }
  inTransaction_ = false;
  if (beginWaits()) {  // nothing ran in it
    waiting_.clear();
    return;
  }
  plain("COMMIT", {});
}

void Connection::rollback() noexcept {
  inTransaction_ = false;
  const bool sent = !beginWaits();
  waiting_.clear();
  if (!sent || PQstatus(conn_) != CONNECTION_OK) return;
  PQclear(PQexec(conn_, "ROLLBACK"));
}

const Connection::TableInfo* Connection::table(unsigned int oid, int column) {
  if (oid == InvalidOid || column <= 0) return nullptr;
  auto it = tables_.find(oid);
  if (it == tables_.end() || !it->second.columns.count(column)) {
    Result r = plain(
        "SELECT c.relname, a.attnum, a.attname FROM pg_class c JOIN pg_attribute a ON "
        "a.attrelid = c.oid WHERE c.oid = $1::oid AND a.attnum > 0 AND NOT a.attisdropped",
        {std::to_string(oid)});
    TableInfo info;
    for (int i = 0; i < PQntuples(r.get()); ++i) {
      info.name = PQgetvalue(r.get(), i, 0);
      const int number = std::atoi(PQgetvalue(r.get(), i, 1));
      const char* name = PQgetvalue(r.get(), i, 2);
      const Column* c = FindColumn(info.name, name);
      info.columns[number] = c ? std::string(c->name) : std::string(name);
      info.described[number] = c;
    }
    it = tables_.insert_or_assign(oid, std::move(info)).first;
  }
  return &it->second;
}

const Column* Connection::describedColumn(unsigned int oid, int column) {
  const TableInfo* t = table(oid, column);
  if (!t) return nullptr;
  const auto it = t->described.find(column);
  return it == t->described.end() ? nullptr : it->second;
}

const std::string* Connection::columnName(unsigned int oid, int column) {
  const TableInfo* t = table(oid, column);
  if (!t) return nullptr;
  const auto it = t->columns.find(column);
  return it == t->columns.end() ? nullptr : &it->second;
}

namespace {
std::map<std::string, std::shared_ptr<Connection>>& Connections() {
  static thread_local std::map<std::string, std::shared_ptr<Connection>> connections;
  return connections;
}
}  // namespace

void ForgetThreadConnections() {
  Connections().clear();
}

std::shared_ptr<Connection> ThreadConnection(const std::string& conninfo) {
  auto& slot = Connections()[conninfo];
  if (slot)
    slot->ensureAlive();
  else
    slot = std::make_shared<Connection>(conninfo);
  return slot;
}

}  // namespace kolvar::db::pg
