// Whole tables on the server: read through a cursor, written with COPY,
// and the identity columns' sequences as counters.
#include <libpq-fe.h>

#include <charconv>
#include <cstdlib>

#include "core/text.h"
#include "dbaccess/pg/pg_engine.h"
#include "kolvar/error.h"

namespace kolvar::db::pg {

namespace {

constexpr int kRowsPerFetch = 5000;

std::string Lower(std::string_view name) {
  return text::LowerAscii(name);
}

// A value as COPY's text format spells it; numbers in their shortest text
// that reads back to the same bits.
void AppendCopyValue(std::string& out, const Value& v) {
  char digits[64];
  switch (v.type()) {
    case VarType::Empty:
    case VarType::Null:
      out += "\\N";
      return;
    case VarType::Integer:
    case VarType::Long:
    case VarType::Byte:
    case VarType::Boolean:
      out += std::to_string(v.toLong());
      return;
    case VarType::Single: {
      const auto r =
          std::to_chars(digits, digits + sizeof digits, static_cast<float>(v.toDouble()));
      out.append(digits, r.ptr);
      return;
    }
    case VarType::Double:
    case VarType::Date: {
      const auto r = std::to_chars(digits, digits + sizeof digits, v.toDouble());
      out.append(digits, r.ptr);
      return;
    }
    default:
      break;
  }
  for (char c : v.toString()) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += c;
    }
  }
}

// The sequence behind the table's identity column, as a regclass text.
std::string SequenceOf(Connection& c, const Table& table, const Column& key) {
  Result r = c.run("SELECT pg_get_serial_sequence($1, $2)", {Lower(table.name), Lower(key.name)});
  if (PQntuples(r.get()) == 0 || PQgetisnull(r.get(), 0, 0))
    Raise(err::kItemNotFound,
          "La tabla '" + std::string(table.name) + "' no tiene contador en el servidor.");
  return PQgetvalue(r.get(), 0, 0);
}

}  // namespace

void Database::scanRows(const Table& table, const RowVisitor& each) {
  Connection& c = connection();
  // A cursor lives in a transaction: the open unit's, or one of its own.
  const bool own = !c.inTransaction();
  if (own) c.begin("REPEATABLE READ");
  try {
    c.run("DECLARE kolvar_scan NO SCROLL CURSOR FOR " + SelectAllRows(table));
    std::vector<Value> row(table.columns.size());
    for (bool more = true; more;) {
      Recordset rs(c, c.run("FETCH " + std::to_string(kRowsPerFetch) + " FROM kolvar_scan"), {});
      more = !rs.eof();
      for (; !rs.eof(); rs.moveNext()) {
        for (std::size_t i = 0; i < row.size(); ++i) row[i] = rs.field(static_cast<int>(i));
        each(row);
      }
    }
    c.run("CLOSE kolvar_scan");
  } catch (...) {
    if (own) {
      c.rollback();
    } else {
      try {
        c.run("CLOSE kolvar_scan");
      } catch (const Error&) {
      }
    }
    throw;
  }
  if (own) c.commit();
}

void Database::insertRows(const Table& table, const std::vector<std::vector<Value>>& rows) {
  Connection& c = connection();
  if (depth_ == 0)
    Raise(err::kInvalidOperation, "Las filas se insertan dentro de una unidad de trabajo.");
  requireLiveUnit();
  if (rows.empty()) return;
  std::string sql = "COPY " + Lower(table.name) + " (";
  for (const Column& col : table.columns)
    sql += (&col == &table.columns.front() ? "" : ", ") + Lower(col.name);
  sql += ") FROM STDIN";
  std::string data;
  for (const auto& row : rows) {
    if (row.size() != table.columns.size()) Raise(err::kInvalidCall);
    for (std::size_t i = 0; i < row.size(); ++i) {
      if (i > 0) data += '\t';
      AppendCopyValue(data, row[i]);
    }
    data += '\n';
  }
  c.copyIn(sql, data);
}

std::int64_t Database::counterMark(const Table& table) {
  const Column* key = CounterOf(table);
  if (!key) return 0;
  Connection& c = connection();
  const std::string sequence = SequenceOf(c, table, *key);
  // Until it first hands out a value (or after a restart) the sequence's
  // last value is the next one to give; rows written with their keys may
  // lie above it. The sequence's name comes quoted from the server.
  Result r = c.run(
      "SELECT greatest(CASE WHEN is_called THEN last_value ELSE last_value - 1 END, "
      "(SELECT coalesce(max(" +
      Lower(key->name) + "), 0) FROM " + Lower(table.name) + ")) FROM " + sequence);
  return std::strtoll(PQgetvalue(r.get(), 0, 0), nullptr, 10);
}

void Database::raiseCounterMark(const Table& table, std::int64_t mark) {
  const Column* key = CounterOf(table);
  if (!key) return;
  if (depth_ == 0)
    Raise(err::kInvalidOperation, "El contador se cambia dentro de una unidad de trabajo.");
  requireLiveUnit();
  if (mark <= counterMark(table)) return;
  // Unlike setval, a restart of the identity is undone with the transaction.
  connection().run("ALTER TABLE " + Lower(table.name) + " ALTER COLUMN " + Lower(key->name) +
                   " RESTART WITH " + std::to_string(mark + 1));
}

}  // namespace kolvar::db::pg
