#include <libpq-fe.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "dbaccess/pg/pg_dialect.h"
#include "dbaccess/pg/pg_engine.h"
#include "dbaccess/sql_dialect.h"
#include "dbaccess/sql_literal.h"
#include "dbaccess/sql_tokens.h"
#include "kolvar/error.h"

namespace kolvar::db::pg {

namespace {

// The table an INSERT writes to, its counter column, and whether the
// statement gives the counter's values itself (it names the column, or
// names none).
struct InsertTarget {
  const Table* table = nullptr;
  const Column* counter = nullptr;
  bool givesCounter = false;
};

InsertTarget InsertedCounter(std::string_view sql) {
  InsertTarget target;
  const auto tokens = Tokenize(sql);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (!TokenIsWord(sql, tokens[i], "INTO")) continue;
    const std::size_t name = NextSolid(tokens, i + 1);
    if (name >= tokens.size() || tokens[name].kind != TokenKind::Word) return target;
    target.table = FindTable(Store::User, TokenText(sql, tokens[name]));
    if (!target.table) return target;
    for (const Column& c : target.table->columns)
      if (c.type == ColumnType::Counter) target.counter = &c;
    if (!target.counter) return target;
    std::size_t k = NextSolid(tokens, name + 1);
    if (k >= tokens.size() || TokenText(sql, tokens[k]) != "(") {
      target.givesCounter = true;
      return target;
    }
    for (; k < tokens.size() && TokenText(sql, tokens[k]) != ")"; ++k)
      if (TokenIsWord(sql, tokens[k], target.counter->name)) target.givesCounter = true;
    return target;
  }
  return target;
}

// The statement's parameters (?) numbered as the server writes them ($1,
// $2 ...), and the values as text with the type of the literal each would be
// written as, through the same helpers as the literals the table classes
// write: a whole number is an integer, any other number a numeric (quoted,
// so untyped, where it is stored into a column), a text an untyped literal
// (and refused as its literal would be).
struct Bound {
  std::string sql;
  std::vector<std::optional<std::string>> values;
  std::vector<unsigned int> types;
};

Bound Numbered(const ServerStatement& statement, const std::vector<Value>& params) {
  const std::string_view sql = statement.sql;
  constexpr unsigned int kInteger = 23, kNumeric = 1700, kUntyped = 0;
  Bound out;
  std::size_t from = 0;
  for (const Token& t : Tokenize(sql)) {
    if (t.kind != TokenKind::Other || TokenText(sql, t) != "?") continue;
    const std::size_t next = out.values.size();
    if (next == params.size()) Raise(err::kInvalidCall);
    out.sql += sql.substr(from, t.begin - from);
    out.sql += "$" + std::to_string(next + 1);
    from = t.end;
    const Value& v = params[next];
    switch (v.type()) {
      case VarType::Null:
        out.values.emplace_back();
        out.types.push_back(kUntyped);
        break;
      case VarType::Integer:
      case VarType::Long:
      case VarType::Byte:
      case VarType::Boolean:
        out.values.emplace_back(std::to_string(v.toLong()));
        out.types.push_back(kInteger);
        break;
      case VarType::Single:
      case VarType::Double: {
        // A fraction stored into a column takes the column's type, as its
        // quoted literal does: a whole-number column refuses it.
        const double x = v.toDouble();
        const bool stored = next < statement.storedParams.size() && statement.storedParams[next];
        out.values.emplace_back(SqlNumber(x));
        out.types.push_back(stored && std::isfinite(x) && x != std::floor(x) ? kUntyped : kNumeric);
        break;
      }
      default: {
        const std::string quoted = SqlText(v.toString());
        out.values.emplace_back(quoted.substr(1, quoted.size() - 2));
        out.types.push_back(kUntyped);
      }
    }
  }
  if (out.values.size() != params.size()) Raise(err::kInvalidCall);
  out.sql += sql.substr(from);
  return out;
}

// Keys given by an INSERT itself: the counter goes on past them, so that no
// later insert is given one of them.
void PastGivenKeys(Connection& c, const InsertTarget& target) {
  if (!target.counter || !target.givesCounter) return;
  const std::string table(target.table->name);
  std::string column(target.counter->name);
  for (char& ch : column) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  c.run("SELECT setval(s, m) FROM (SELECT pg_get_serial_sequence('" + table + "', '" + column +
        "')::regclass AS s, (SELECT max(" + column + ") FROM " + table +
        ") AS m) q WHERE m > coalesce(pg_sequence_last_value(s), 0)");
}

}  // namespace

Database::Database(const std::string& conninfo)
    : conninfo_(conninfo), connection_(ThreadConnection(conninfo)) {}

Database::~Database() {
  close();
}

Connection& Database::connection() const {
  if (!connection_ || closePending_) Raise(err::kObjectInvalid);
  return *connection_;
}

// A statement of the wrong kind for the call: a text that does not parse (or
// names what does not exist) raises that error first, as on the embedded
// engine, which prepares every text before it looks at its kind.
void Database::refuse(Connection& c, const std::string& sql, const char* message) {
  c.run("PREPARE kolvar_refused AS " + sql);
  c.run("DEALLOCATE kolvar_refused");
  Raise(err::kInvalidOperation, message);
}

void Database::execute(std::string_view sql, int) {
  Connection& c = connection();
  ServerStatement statement = AdaptForServer(sql);
  if (IsSelect(sql)) refuse(c, statement.sql, "No se puede ejecutar una consulta de selección.");
  if (IsTransactionControl(sql))
    Raise(err::kInvalidOperation, "Las transacciones no se controlan con instrucciones SQL.");
  const InsertTarget target = FirstWord(sql) == "INSERT" ? InsertedCounter(sql) : InsertTarget{};
  const Column* counter = target.counter;
  if (counter) statement.sql += " RETURNING " + std::string(counter->name);
  Result r = c.run(statement.sql);
  if (counter && PQntuples(r.get()) > 0)
    lastKey_ = std::atoll(PQgetvalue(r.get(), PQntuples(r.get()) - 1, 0));
  PastGivenKeys(c, target);
}

void Database::execute(std::string_view sql, const std::vector<Value>& params) {
  if (params.empty()) return execute(sql);
  Connection& c = connection();
  if (IsSelect(sql))
    Raise(err::kInvalidOperation, "No se puede ejecutar una consulta de selección.");
  Bound bound = Numbered(AdaptForServer(sql), params);
  const InsertTarget target = FirstWord(sql) == "INSERT" ? InsertedCounter(sql) : InsertTarget{};
  const Column* counter = target.counter;
  if (counter) bound.sql += " RETURNING " + std::string(counter->name);
  // A DELETE with typed values only can fail only as the whole unit does.
  const bool deferrable =
      FirstWord(sql) == "DELETE" && std::none_of(bound.types.begin(), bound.types.end(),
                                                 [](unsigned int type) { return type == 0; });
  Result r = c.runPrepared(bound.sql, bound.values, bound.types, deferrable);
  if (counter && PQntuples(r.get()) > 0)
    lastKey_ = std::atoll(PQgetvalue(r.get(), PQntuples(r.get()) - 1, 0));
  PastGivenKeys(c, target);
}

std::shared_ptr<db::Recordset> Database::openRecordset(std::string_view sql) {
  Connection& c = connection();
  ServerStatement statement = AdaptForServer(sql);
  if (!IsSelect(sql))
    refuse(c, statement.sql,
           "Sólo se puede abrir un conjunto de registros de una consulta de selección.");
  auto rs = Recordset::Open(connection_, statement.sql, statement.aliases);
  std::erase_if(recordsets_, [](const auto& w) {
    auto p = w.lock();
    return !p || !p->isOpen();
  });
  recordsets_.push_back(rs);
  return rs;
}

std::vector<std::shared_ptr<db::Recordset>> Database::recordsets() {
  std::vector<std::shared_ptr<db::Recordset>> out;
  for (const auto& w : recordsets_)
    if (auto p = w.lock(); p && p->isOpen()) out.push_back(std::move(p));
  return out;
}

db::TableDef Database::tableDef(std::string_view table) {
  Result r = connection().run(
      "SELECT c.relname FROM pg_class c WHERE c.relkind IN ('r', 'p') AND c.relname = lower($1) "
      "AND pg_table_is_visible(c.oid)",
      {std::string(table)});
  if (PQntuples(r.get()) == 0)
    Raise(err::kItemNotFound, "No se encuentra la tabla '" + std::string(table) + "'.");
  const Table* described = FindTable(Store::User, table);
  return db::TableDef(*this, described ? std::string(described->name) : PQgetvalue(r.get(), 0, 0));
}

void Database::begin(std::string_view isolation) {
  connection().begin(isolation);
}

void Database::commit() {
  connection().commit();
}

void Database::rollback() noexcept {
  if (connection_) connection_->rollback();
}

void Database::close() {
  if (!connection_ || closePending_) return;
  for (auto& rs : recordsets()) rs->close();
  recordsets_.clear();
  if (depth_ > 0 || pinned_) {
    closePending_ = true;
    return;
  }
  if (connection_->inTransaction()) connection_->rollback();
  connection_.reset();
}

void Database::pin(bool pinned) {
  pinned_ = pinned;
  if (!pinned_ && closePending_ && depth_ == 0) {
    closePending_ = false;
    close();
  }
}

namespace {
std::string SavepointName(int level) {
  return "kolvar_unit_" + std::to_string(level);
}
}  // namespace

void Database::beginUnit(int level) {
  Connection& c = connection();
  if (level == 0) {
    c.begin("SERIALIZABLE");
  } else {
    requireLiveUnit();
    c.control("SAVEPOINT " + SavepointName(level));
  }
  depth_ = level + 1;
}

void Database::commitUnit(int level) {
  if (depth_ != level + 1)
    Raise(err::kInvalidOperation, "Una unidad de trabajo interna sigue abierta.");
  requireLiveUnit();
  if (level == 0)
    connection_->commit();
  else
    connection_->control("RELEASE " + SavepointName(level));
  depth_ = level;
  if (level == 0 && closePending_) {
    closePending_ = false;
    close();
  }
}

void Database::undoUnit(int level) noexcept {
  if (connection_) {
    if (level == 0) {
      connection_->rollback();
    } else if (connection_->inTransaction() && !connection_->conflicted()) {
      try {
        connection_->control("ROLLBACK TO " + SavepointName(level));
        connection_->control("RELEASE " + SavepointName(level));
      } catch (const Error&) {
      }
    }
  }
  depth_ = level;
  if (level == 0 && closePending_) {
    closePending_ = false;
    close();
  }
}

void Database::requireLiveUnit() const {
  if (depth_ > 0 && connection_ && !connection_->inTransaction())
    Raise(3000, "La transacción se ha anulado: el trabajo en curso no se ha guardado.");
}

bool Database::unitConflicted() const {
  return connection_ && connection_->conflicted();
}

}  // namespace kolvar::db::pg
