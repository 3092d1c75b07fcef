// Copying a whole user database between engines: a file to the engine under
// test and back to a new file, every value and counter kept; and every way
// it can fail leaves the target as it was.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "dbaccess/engine.h"
#include "dbaccess/schema.h"
#include "support/fixture.h"
#include "support/pg_server.h"

namespace kolvar::testing {
namespace {

// Every row of every table, as sorted lines of typed values with their
// exact bits ("3:-32768|5:0.30000000000000004|8:O'Brien\t\\ €|1:").
std::vector<std::string> Dump(const std::string& path) {
  auto database = db::OpenDatabase(path);
  std::vector<std::string> lines;
  for (const db::Table& table : db::Schema(db::Store::User)) {
    auto rs = database->openRecordset(db::SelectAllRows(table));
    for (; !rs->eof(); rs->moveNext()) {
      std::string line(table.name);
      for (int i = 0; i < rs->fieldCount(); ++i) {
        const Value v = rs->field(i);
        char exact[40];
        std::string text = v.isNull() ? "NULL" : v.toString();
        if (v.type() == VarType::Double || v.type() == VarType::Date) {
          std::snprintf(exact, sizeof exact, "%.17g", v.toDouble());
          text = exact;
        } else if (v.type() == VarType::Single) {
          std::snprintf(exact, sizeof exact, "%.9g", v.toDouble());
          text = exact;
        }
        line += "|" + std::to_string(static_cast<int>(v.type())) + ":" + text;
      }
      lines.push_back(line);
    }
  }
  database->close();
  std::sort(lines.begin(), lines.end());
  return lines;
}

void Exec(const std::string& path, const std::vector<std::string>& statements) {
  auto database = db::OpenDatabase(path);
  for (const std::string& sql : statements) database->execute(sql);
  database->close();
}

// Statements straight on a file, past the library's checks.
void ExecRaw(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  char* message = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message), SQLITE_OK)
      << (message ? message : "");
  sqlite3_free(message);
  sqlite3_close(db);
}

std::int64_t Count(const std::string& path, const std::string& table) {
  auto database = db::OpenDatabase(path);
  auto rs = database->openRecordset("SELECT COUNT(*) FROM " + table);
  const auto n = static_cast<std::int64_t>(rs->field(0).toDouble());
  database->close();
  return n;
}

// The key a new declarant gets.
std::int64_t NextDeclarantKey(const std::string& path) {
  auto database = db::OpenDatabase(path);
  database->execute("INSERT INTO TDeclarante (dni_cifd, nombred) VALUES ('B00000000', 'NUEVA')");
  const std::int64_t key = database->lastInsertKey();
  database->close();
  return key;
}

// The source is a file; the engine under test holds the target (userPath).
class DatabaseCopy : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (!Ready()) return;
    source = (dir / "origen.db").string();
    back = (dir / "vuelta.db").string();
    CreateUserDatabase(source);
    CreateUserDatabase(back);
    Exec(
        source,
        {"UPDATE tgeneral SET Idioma = 'E', ActOnline = 1",
         "INSERT INTO TDeclarante (dni_cifd, nombred, numerod, codpostald) VALUES "
         "('A58818501', 'O''BRIEN Y MUÑOZ €', 2147483647, -2147483647)",
         "INSERT INTO TDeclarante (dni_cifd, nombred, domiciliod) VALUES ('X1234567L', "
         "'BARRA \\ Y TAB' || char(9) || 'FIN', NULL)",
         "INSERT INTO TDeclarante (dni_cifd, nombred) VALUES ('B99999999', 'BORRADO')",
         "DELETE FROM TDeclarante WHERE CSDE = 3",
         "INSERT INTO TDeclaraciones (CSDE, SECDECI, EJERCICIO, PERNUM, PERDAD, SUST, COMP, DANT) "
         "VALUES (1, 1, 2014, -32768, '12', '', 'C', 0)",
         "INSERT INTO tOperadores (CSCI, NIF, NOMBRE, CNIPR, CDTL, FDE, BIMP, CUOTA, IMPTF) "
         "VALUES (1, '12345678Z', '123456789012345678901234567890123456789Ñ', 255, 'E', 41640, "
         "0.30000000000000004, -1234567.89, 1e15)",
         "INSERT INTO tOperadores (CSCI, NIF, CDTL, BIMP) VALUES (1, 'B1', 'R', 100.25)",
         "INSERT INTO tOperadores (CSCI, NIF, CDTL, BIMP) VALUES (1, 'B2', 'I', -0.01)",
         "INSERT INTO tOperadores (CSCI, NIF, CDTL, BIMP) VALUES (1, 'B3', 'U', 5)",
         "INSERT INTO tdpfe (CSCI, CSDO, NOFAC, NOREG, SDI, REFCAT, MC) "
         "VALUES (1, 1, 7, 32767, 0.1, 'línea' || char(10) || 'dos', '')",
         "INSERT INTO tdpfr (CSCI, CSDO, NOFAC, CD, MP) VALUES (1, 2, 8, 3.5, 'S')",
         "INSERT INTO tdpbi (CSCI, CSDO, PAD, RAD, IDBIEN) VALUES (1, 3, 100, 0.5, 'BIEN')",
         "INSERT INTO tdpdoi (CSCI, CSDO, TOI, CEM, PDE, OFOD) VALUES (1, 4, 'A', 'FR', 2, NULL)"});
  }

  std::string source, back;
};

TEST_P(DatabaseCopy, RoundTripKeepsEveryValueAndEveryCounter) {
  const auto original = Dump(source);
  ASSERT_EQ(original.size(), 12u);  // 2 declarants, 1 declaration, 4 records, 4 details, settings

  const CopyResult there = CopyUserDatabase(source, userPath);
  EXPECT_EQ(Dump(userPath), original);
  const CopyResult again = CopyUserDatabase(userPath, back);
  EXPECT_EQ(Dump(back), original);

  ASSERT_EQ(there.tables.size(), db::Schema(db::Store::User).size());
  EXPECT_EQ(there.tables[0].name, "TDeclarante");
  EXPECT_EQ(there.tables[0].rows, 2);
  EXPECT_EQ(there.tables[0].counter, 3);  // the deleted declarant's key stays used
  EXPECT_EQ(there.tables[2].name, "tOperadores");
  EXPECT_EQ(there.tables[2].rows, 4);
  double bimp = 0;
  for (const auto& [column, sum] : there.tables[2].sums)
    if (column == "BIMP") bimp = sum;
  EXPECT_DOUBLE_EQ(bimp, 105.54);
  EXPECT_EQ(again.tables[0].counter, 3);

  // Counters moved past the highest key ever given, on both targets.
  EXPECT_EQ(NextDeclarantKey(userPath), 4);
  EXPECT_EQ(NextDeclarantKey(back), 4);
  EXPECT_EQ(NextDeclarantKey(source), 4);
}

TEST_P(DatabaseCopy, RefusesATargetThatHoldsDataAndLeavesItAlone) {
  Exec(userPath, {"INSERT INTO tdpbi (CSCI, CSDO, PAD) VALUES (9, 9, 1)"});
  const auto before = Dump(userPath);
  ExpectError(3204, [&] { CopyUserDatabase(source, userPath); });
  EXPECT_EQ(Dump(userPath), before);

  // An empty target keeps nothing of its own but the settings the source replaces.
  Exec(userPath, {"DELETE FROM tdpbi"});
  CopyUserDatabase(source, userPath);
  EXPECT_EQ(Dump(userPath), Dump(source));

  ExpectError(err::kInvalidCall, [&] { CopyUserDatabase(source, source); });
  const std::string earlier = (dir / "anterior.db").string();
  CreateUserDatabase(earlier, UserLayout::Earlier);
  ExpectError(err::kInvalidOperation, [&] { CopyUserDatabase(source, earlier); });
  ExpectError(err::kInvalidOperation, [&] { CopyUserDatabase(earlier, back); });
  EXPECT_EQ(Count(back, "tgeneral"), 1);
}

TEST_P(DatabaseCopy, AFailureMidwayLeavesTheTargetAsItWas) {
  const auto empty = Dump(userPath);
  // Cancelled after the first slice of rows.
  int calls = 0;
  const CopyResult cancelled =
      CopyUserDatabase(source, userPath, [&](const CopyProgress&) { return ++calls < 2; });
  EXPECT_TRUE(cancelled.cancelled);
  EXPECT_TRUE(cancelled.tables.empty());
  EXPECT_EQ(calls, 2);
  EXPECT_EQ(Dump(userPath), empty);

  // A value of the last table that the target refuses, after every other
  // table was written.
  ExecRaw(source, "UPDATE tdpdoi SET CEM = 'FRA'");
  ExpectError(err::kTextTooLong, [&] { CopyUserDatabase(source, userPath); });
  EXPECT_EQ(Dump(userPath), empty);
  EXPECT_EQ(NextDeclarantKey(userPath), 1);  // no counter moved either
}

TEST_P(DatabaseCopy, WhatTheTargetReadsBackOtherwiseFailsTheCopy) {
  // The target changes a value as it stores it.
  if (GetParam() == Engine::Server) {
    ServerSession(userPath).Query(
        "CREATE FUNCTION shift() RETURNS trigger AS $$ BEGIN NEW.cuota := NEW.cuota + 0.001; "
        "RETURN NEW; END $$ LANGUAGE plpgsql; CREATE TRIGGER shift BEFORE INSERT ON toperadores "
        "FOR EACH ROW EXECUTE FUNCTION shift()");
  } else {
    ExecRaw(userPath,
            "CREATE TRIGGER shift AFTER INSERT ON tOperadores BEGIN UPDATE tOperadores SET CUOTA "
            "= CUOTA + 0.001 WHERE CSDO = NEW.CSDO; END");
  }
  const auto empty = Dump(userPath);
  const Error e = ExpectError(err::kCopyMismatch, [&] { CopyUserDatabase(source, userPath); });
  EXPECT_NE(e.description().find("tOperadores"), std::string::npos) << e.description();
  EXPECT_EQ(Dump(userPath), empty);
}

KOLVAR_PER_ENGINE(DatabaseCopy);

}  // namespace
}  // namespace kolvar::testing
