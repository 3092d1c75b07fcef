#include "dbaccess/pg/pg_connection.h"

#include <libpq-fe.h>

#include <cctype>
#include <map>

#include "dbaccess/pg/pg_errors.h"
#include "kolvar/error.h"

namespace kolvar::db::pg {

namespace {

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
  tables_.clear();
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

Result Connection::plain(const std::string& sql,
                         const std::vector<std::optional<std::string>>& params) {
  std::vector<const char*> values;
  for (const auto& p : params) values.push_back(p ? p->c_str() : nullptr);
  PGresult* r = PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr,
                             values.data(), nullptr, nullptr, 0);
  if (untouched_ && PQstatus(conn_) != CONNECTION_OK) {
    // Dropped before the unit of work did anything: it starts on a new one.
    PQclear(r);
    connect();
    r = PQexecParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                     nullptr, nullptr, 0);
  }
  untouched_ = false;
  const auto status = PQresultStatus(r);
  if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return Result(r);
  if (status == PGRES_EMPTY_QUERY) {
    PQclear(r);
    Raise(err::kSyntax, "La instrucción SQL está vacía.");
  }
  fail(r);
}

void Connection::copyIn(const std::string& sql, std::string_view data) {
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
Result Connection::guarded(const std::string& sql,
                           const std::vector<std::optional<std::string>>& params) {
  std::vector<const char*> values;
  for (const auto& p : params) values.push_back(p ? p->c_str() : nullptr);
  if (!PQenterPipelineMode(conn_)) fail(nullptr);
  PQsendQueryParams(conn_, "SAVEPOINT kolvar_statement", 0, nullptr, nullptr, nullptr, nullptr, 0);
  PQsendQueryParams(conn_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                    nullptr, nullptr, 0);
  PQsendQueryParams(conn_, "RELEASE kolvar_statement", 0, nullptr, nullptr, nullptr, nullptr, 0);
  PQpipelineSync(conn_);
  Result results[3];
  for (int k = 0; k < 3; ++k) {
    PGresult* r = PQgetResult(conn_);
    if (!r) break;
    results[k].reset(r);
    while (PGresult* extra = PQgetResult(conn_)) PQclear(extra);  // up to the query's end
  }
  while (PGresult* r = PQgetResult(conn_)) {  // the sync
    const bool sync = PQresultStatus(r) == PGRES_PIPELINE_SYNC;
    PQclear(r);
    if (sync) break;
  }
  PQexitPipelineMode(conn_);
  if (PQstatus(conn_) != CONNECTION_OK) fail(results[1].release());
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

Result Connection::run(const std::string& sql,
                       const std::vector<std::optional<std::string>>& params) {
  if (inTransaction_ && !conflicted_) return guarded(sql, params);
  return plain(sql, params);
}

void Connection::begin(std::string_view isolation) {
  ensureAlive();
  plain("BEGIN ISOLATION LEVEL " + std::string(isolation), {});
  inTransaction_ = true;
  conflicted_ = false;
}

void Connection::commit() {
  if (conflicted_) {
    rollback();
    RaiseServerError("40001", "la unidad de trabajo chocó con otra y se ha deshecho");
  }
  inTransaction_ = false;
  plain("COMMIT", {});
}

void Connection::rollback() noexcept {
  inTransaction_ = false;
  if (PQstatus(conn_) != CONNECTION_OK) return;
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
