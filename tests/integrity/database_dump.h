// Reading a user database from outside the library, as another program would:
// whole tables as text, and the records whose detail rows do not match. The
// database is a file or a schema on the server (its connection string).
#pragma once

#include <libpq-fe.h>
#include <sqlite3.h>

#include <string>

#include "dbaccess/pg/pg_connection.h"

namespace kolvar::testing {

// A connection of its own to the server's database, kept for the next read
// of the same database (tests read the same one many times).
inline PGconn* OutsideConnection(const std::string& path) {
  static std::string kept;
  static PGconn* conn = nullptr;
  if (conn && (kept != path || PQstatus(conn) != CONNECTION_OK)) {
    PQfinish(conn);
    conn = nullptr;
  }
  if (!conn) {
    conn = PQconnectdb(path.c_str());
    kept = path;
  }
  return conn;
}

// Every row of the SELECT, cells joined by "|" and rows by "\n", Null as "~";
// "error: ..." on failure.
inline std::string DumpRows(const std::string& path, const std::string& select) {
  std::string out;
  if (db::pg::IsServerAddress(path)) {
    PGconn* conn = OutsideConnection(path);
    PGresult* r = PQexec(conn, select.c_str());
    if (PQresultStatus(r) != PGRES_TUPLES_OK) {
      out = std::string("error: ") + PQerrorMessage(conn);
    } else {
      for (int row = 0; row < PQntuples(r); ++row) {
        for (int i = 0; i < PQnfields(r); ++i)
          out += (i ? "|" : "") + std::string(PQgetisnull(r, row, i) ? "~" : PQgetvalue(r, row, i));
        out += "\n";
      }
    }
    PQclear(r);
    return out;
  }
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v2(db, select.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
      while (sqlite3_step(stmt) == SQLITE_ROW) {
        for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
          const auto* text = sqlite3_column_text(stmt, i);
          out += (i ? "|" : "") + std::string(text ? reinterpret_cast<const char*>(text) : "~");
        }
        out += "\n";
      }
    } else {
      out = std::string("error: ") + sqlite3_errmsg(db);
    }
    sqlite3_finalize(stmt);
  }
  sqlite3_close(db);
  return out;
}

// Runs statements on the database from outside the library; "" when they
// all ran, else the first failure's message.
inline std::string ExecOutside(const std::string& path, const std::string& sql) {
  std::string failure;
  if (db::pg::IsServerAddress(path)) {
    PGconn* conn = PQconnectdb(path.c_str());
    PGresult* r = PQexec(conn, sql.c_str());
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK)
      failure = PQerrorMessage(conn);
    PQclear(r);
    PQfinish(conn);
    return failure;
  }
  sqlite3* db = nullptr;
  char* message = nullptr;
  sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
    failure = message ? message : "error";
  sqlite3_free(message);
  sqlite3_close(db);
  return failure;
}

// The whole user database, table by table in key order.
inline std::string DumpUserDatabase(const std::string& path) {
  std::string out;
  for (const char* table :
       {"TDeclarante", "TDeclaraciones", "tOperadores", "tdpfe", "tdpfr", "tdpbi", "tdpdoi"})
    out += std::string(table) + ":\n" +
           DumpRows(path, std::string("SELECT * FROM ") + table + " ORDER BY 1, 2");
  return out;
}

// Records of a book with a detail table without exactly one detail row of
// their own (CSCI, CSDO), in the table of their book; detail rows without
// their record.
inline std::string UnmatchedDetails(const std::string& path) {
  const auto rows = [](const std::string& table) {
    return "(SELECT count(*) FROM " + table + " d WHERE d.CSCI = o.CSCI AND d.CSDO = o.CSDO)";
  };
  const std::string all =
      rows("tdpfe") + " + " + rows("tdpfr") + " + " + rows("tdpbi") + " + " + rows("tdpdoi");
  const std::string own = "CASE WHEN CDTL IN ('E','F') THEN " + rows("tdpfe") +
                          " WHEN CDTL IN ('R','S') THEN " + rows("tdpfr") +
                          " WHEN CDTL IN ('I','J') THEN " + rows("tdpbi") + " ELSE " +
                          rows("tdpdoi") + " END";
  std::string out = DumpRows(path,
                             "SELECT 'record', CSCI, CSDO FROM tOperadores o WHERE CDTL IN "
                             "('E','F','R','S','I','J','U') AND (" +
                                 all + " <> 1 OR " + own + " <> 1)");
  for (const char* table : {"tdpfe", "tdpfr", "tdpbi", "tdpdoi"})
    out += DumpRows(path, std::string("SELECT 'orphan ") + table + "', CSCI, CSDO FROM " + table +
                              " d WHERE NOT EXISTS (SELECT 1 FROM tOperadores o WHERE o.CSCI = "
                              "d.CSCI AND o.CSDO = d.CSDO)");
  return out;
}

}  // namespace kolvar::testing
