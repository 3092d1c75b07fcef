// The engine boundary on a PostgreSQL server: the same statements, error
// numbers, typed reads and cursor semantics as the embedded engine, plus
// units of work, conflicts between clients and reconnection.
#include "dbaccess/pg/pg_engine.h"

#include <random>
#include <set>

#include "core/text.h"
#include "dbaccess/pg/pg_schema.h"
#include "dbaccess/transaction.h"
#include "support/fixture.h"
#include "support/pg_server.h"

namespace kolvar::testing {
namespace {

class PgEngineTest : public ServerTest {
 protected:
  void SetUp() override {
    ServerTest::SetUp();
    if (IsSkipped() || HasFailure()) return;
    db = std::make_shared<db::pg::Database>(userPath);
  }
  void TearDown() override {
    if (db) db->close();
    ServerTest::TearDown();
  }
  std::int32_t Count(const std::string& from) {
    return db->openRecordset("SELECT count(*) FROM " + from)->field(0).toLong();
  }
  std::shared_ptr<db::pg::Database> db;
};

TEST_F(PgEngineTest, OnlyOneSelectOrActionStatementPerText) {
  ExpectError(err::kInvalidOperation, [&] {
    db->execute(
        "INSERT INTO TDeclarante (nombred) VALUES ('a'); INSERT INTO TDeclarante (nombred) "
        "VALUES ('b')");
  });
  ExpectError(err::kInvalidOperation,
              [&] { db->openRecordset("SELECT 1; DELETE FROM TDeclarante"); });
  ExpectError(err::kInvalidOperation,
              [&] { db->openRecordset("INSERT INTO TDeclarante (nombred) VALUES ('a')"); });
  ExpectError(err::kInvalidOperation, [&] { db->execute("SELECT * FROM TDeclarante"); });
  EXPECT_EQ(Count("TDeclarante"), 0);
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('a');");
  EXPECT_EQ(Count("TDeclarante"), 1);
}

TEST_F(PgEngineTest, BadStatementsRaiseTheirNumbersAndChangeNothing) {
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('Ana')");
  ExpectError(err::kSyntax, [&] { db->execute("UPDATE TDeclarante SET nombred = 'O'Brien'"); });
  ExpectError(err::kSyntax, [&] { db->execute("UPDATE TDeclarante SET nombred = 'x' WHERE"); });
  ExpectError(err::kTableNotFound, [&] { db->openRecordset("SELECT * FROM tNoExiste"); });
  ExpectError(err::kUnknownColumn, [&] { db->openRecordset("SELECT noexiste FROM TDeclarante"); });
  ExpectError(err::kDataType,
              [&] { db->openRecordset("SELECT * FROM TDeclarante WHERE nombred = 5"); });
  EXPECT_EQ(db->openRecordset("SELECT nombred FROM TDeclarante")->field(0).toString(), "Ana");
}

TEST_F(PgEngineTest, TypedColumnsRefuseWhatTheyCannotHoldAndReadBackTheirTypes) {
  db->execute(
      "INSERT INTO tOperadores (CSCI, BIMP, CNIPR, NOMBRE, FDE) VALUES (1, '12.5', '2', 'x', "
      "'20080101')");
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET BIMP = '12,5'"); });
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET BIMP = 'abc'"); });
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET BIMP = ''"); });
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET CNIPR = 256"); });
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET CNIPR = -1"); });
  db->execute("UPDATE tOperadores SET CNIPR = 255");
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET FDE = 2147483648"); });
  db->execute("UPDATE tOperadores SET FDE = 2147483647");
  ExpectError(err::kTextTooLong, [&] {
    db->execute("UPDATE tOperadores SET NOMBRE = '" + std::string(41, 'n') + "'");
  });
  // Forty characters, not bytes: accented letters count once.
  std::string forty(20, 'n');
  for (int i = 0; i < 20; ++i) forty += "\xC3\xB1";
  db->execute("UPDATE tOperadores SET NOMBRE = '" + forty + "'");

  auto rs = db->openRecordset(
      "SELECT CSDO, CSCI, BIMP, CNIPR, FDE, NOMBRE, NIF, count(*) AS Filas, sum(BIMP) AS Total "
      "FROM tOperadores GROUP BY CSDO");
  EXPECT_EQ(rs->fieldName(0), "CSDO");
  EXPECT_EQ(rs->fieldName(7), "Filas");
  EXPECT_EQ(rs->field("csdo").type(), VarType::Long);
  EXPECT_EQ(rs->field("BIMP").type(), VarType::Double);
  EXPECT_DOUBLE_EQ(rs->field("BIMP").toDouble(), 12.5);
  EXPECT_EQ(rs->field("CNIPR").type(), VarType::Byte);
  EXPECT_EQ(rs->field("CNIPR").toLong(), 255);
  EXPECT_EQ(rs->field("FDE").toLong(), 2147483647);
  EXPECT_EQ(rs->field("NOMBRE").toString(), forty);
  EXPECT_TRUE(rs->field("NIF").isNull());
  EXPECT_EQ(rs->field("filas").type(), VarType::Long);
  EXPECT_EQ(rs->field("Total").type(), VarType::Double);
  EXPECT_EQ(db->openRecordset("SELECT NOREG FROM tdpfe UNION ALL SELECT 1")->fieldCount(), 1);
  ExpectError(err::kItemNotFound, [&] { rs->field("nada"); });
}

TEST_F(PgEngineTest, AStatementWithOneBadRowChangesNoRowInsideOrOutsideAUnitOfWork) {
  db->execute("INSERT INTO tOperadores (CSCI, NOMBRE) VALUES (1, '" + std::string(30, 'a') + "')");
  db->execute("INSERT INTO tOperadores (CSCI, NOMBRE) VALUES (1, 'b')");
  ExpectError(err::kTextTooLong,
              [&] { db->execute("UPDATE tOperadores SET NOMBRE = NOMBRE || '0123456789+'"); });
  db->begin();
  db->execute("UPDATE tOperadores SET NOMBRE = 'c' WHERE NOMBRE = 'b'");
  ExpectError(err::kDataType,
              [&] { db->execute("UPDATE tOperadores SET CSCI = CSCI + 2147483647"); });
  // The failed statement is undone alone; the unit goes on and commits.
  db->execute("INSERT INTO tOperadores (CSCI, NOMBRE) VALUES (2, 'd')");
  db->commit();
  auto rs = db->openRecordset("SELECT NOMBRE, CSCI FROM tOperadores ORDER BY CSDO");
  EXPECT_EQ(text::Len(rs->field(0).toString()), 30u);
  rs->moveNext();
  EXPECT_EQ(rs->field(0).toString(), "c");
  EXPECT_EQ(rs->field(1).toLong(), 1);
  rs->moveNext();
  EXPECT_EQ(rs->field(0).toString(), "d");
}

// A statement run with values stores what the same statement with their
// literals stores, and refuses what it refuses, however often it runs and
// whatever the types of the values it gets.
TEST_F(PgEngineTest, BoundValuesStoreAndRefuseExactlyWhatTheirLiteralsDo) {
  const std::string bound = "INSERT INTO tOperadores (CSCI, FDE, BIMP, NOMBRE) VALUES (?, ?, ?, ?)";
  const auto literal = [](const std::string& fde, const std::string& bimp,
                          const std::string& nombre) {
    return "INSERT INTO tOperadores (CSCI, FDE, BIMP, NOMBRE) VALUES (1, " + fde + ", " + bimp +
           ", " + nombre + ")";
  };
  const auto both = [&](const std::vector<Value>& values, const std::string& fde,
                        const std::string& bimp, const std::string& nombre) {
    db->execute(literal(fde, bimp, nombre));
    std::vector<Value> params{Value(std::int32_t{2})};
    params.insert(params.end(), values.begin(), values.end());
    db->execute(bound, params);
    EXPECT_EQ(db->lastInsertKey(),
              db->openRecordset("SELECT MAX(CSDO) FROM tOperadores")->field(0).toLong());
  };
  for (int round = 0; round < 3; ++round) {  // prepared on the first, reused after
    both({Value(std::int32_t{20140115}), Value(12.5), Value("Ana")}, "20140115", "12.5", "'Ana'");
    both({Value(12.5), Value("7"), Value::Null()}, "12.5", "'7'", "NULL");
    both({Value("20140101"), Value(std::int16_t{3}), Value("")}, "'20140101'", "3", "''");
  }
  auto rs = db->openRecordset("SELECT CSCI, FDE, BIMP, NOMBRE FROM tOperadores ORDER BY CSDO");
  for (int row = 0; row < 18; row += 2) {
    std::vector<std::string> pair[2];
    for (auto& cells : pair) {
      for (int i = 1; i < 4; ++i)
        cells.push_back(rs->field(i).isNull() ? "NULL" : rs->field(i).toString());
      rs->moveNext();
    }
    EXPECT_EQ(pair[0], pair[1]) << "row " << row;
  }
  EXPECT_EQ(Count("tOperadores WHERE FDE = 13"), 6);  // 12.5 rounds as its literal does
  const auto refused = [&](int number, const std::vector<Value>& values, const std::string& fde,
                           const std::string& bimp, const std::string& nombre) {
    ExpectError(number, [&] { db->execute(literal(fde, bimp, nombre)); });
    std::vector<Value> params{Value(std::int32_t{2})};
    params.insert(params.end(), values.begin(), values.end());
    ExpectError(number, [&] { db->execute(bound, params); });
  };
  refused(err::kDataType, {Value("abc"), Value(1.0), Value("x")}, "'abc'", "1", "'x'");
  refused(err::kDataType, {Value(2147483648.0), Value(1.0), Value("x")}, "2147483648", "1", "'x'");
  refused(err::kTextTooLong, {Value(1), Value(1.0), Value(std::string(41, 'n'))}, "1", "1",
          "'" + std::string(41, 'n') + "'");
  ExpectError(err::kSyntax, [&] {
    db->execute(bound, {Value(2), Value(1), Value(1.0), Value("O'Brien")});
  });
  ExpectError(err::kInvalidCall, [&] { db->execute(bound, {Value(2), Value(1)}); });
  EXPECT_EQ(Count("tOperadores"), 18);
}

// A DELETE with typed values goes with the unit's next round trip; it still
// deletes, and its failure is raised before the unit ends, which then
// leaves nothing of itself.
TEST_F(PgEngineTest, ADeferredDeleteIsAnsweredForBeforeItsUnitEnds) {
  for (int csdo : {1, 2, 3})
    db->execute("INSERT INTO tdpfe (CSCI, CSDO, NOFAC) VALUES (1, " + std::to_string(csdo) +
                ", 0)");
  const std::string remove = "DELETE FROM tdpfe WHERE CSDO = ? and CSCI = ?";
  const auto deleteRow = [&](std::int32_t csdo) {
    db->execute(remove, {Value(csdo), Value(std::int32_t{1})});
  };
  const auto rows = [&] {
    std::string out;
    auto rs = db->openRecordset("SELECT CSDO, NOFAC FROM tdpfe ORDER BY CSDO");
    for (; !rs->eof(); rs->moveNext())
      out += rs->field(0).toString() + ":" + rs->field(1).toString() + " ";
    return out;
  };
  deleteRow(99);  // prepared
  {
    db::Transaction unit(db);
    db->execute("UPDATE tdpfe SET NOFAC = 7 WHERE CSDO = 3");
    deleteRow(1);
    unit.commit();
  }
  EXPECT_EQ(rows(), "2:0 3:7 ");
  {
    db::Transaction outer(db);
    db->execute("UPDATE tdpfe SET NOFAC = 8 WHERE CSDO = 3");
    {
      db::Transaction inner(db);
      deleteRow(2);
    }  // undone
    outer.commit();
  }
  EXPECT_EQ(rows(), "2:0 3:8 ");
  // Another client holds the row: the delete waits out the lock's timeout.
  db->openRecordset("SELECT set_config('lock_timeout', '300ms', false)");
  ServerSession other(userPath);
  other.Query("BEGIN");
  other.Query("SELECT * FROM tdpfe WHERE csdo = 2 FOR UPDATE");
  {
    db::Transaction unit(db);
    db->execute("UPDATE tdpfe SET NOFAC = 9 WHERE CSDO = 3");
    deleteRow(2);
    ExpectError(err::kLocked, [&] { unit.commit(); });
  }
  other.Query("ROLLBACK");
  EXPECT_EQ(rows(), "2:0 3:8 ");
}

TEST_F(PgEngineTest, AUnitOfWorkRolledBackLeavesNothingAndClosingRollsBack) {
  db->begin();
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('a')");
  EXPECT_EQ(Count("TDeclarante"), 1);  // the unit sees its own work
  db->rollback();
  EXPECT_EQ(Count("TDeclarante"), 0);
  db->begin();
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('b')");
  db->close();
  db = std::make_shared<db::pg::Database>(userPath);
  EXPECT_EQ(Count("TDeclarante"), 0);
}

TEST_F(PgEngineTest, NestedUnitsAreSavepointsAndAClosedDatabaseWaitsForTheOuterUnit) {
  {
    db::Transaction outer(db);
    db->execute("INSERT INTO TDeclarante (nombred) VALUES ('outer')");
    {
      db::Transaction inner(db);
      db->execute("INSERT INTO TDeclarante (nombred) VALUES ('inner')");
    }
    db::Transaction kept(db);
    db->execute("INSERT INTO TDeclarante (nombred) VALUES ('kept')");
    kept.commit();
    db->close();  // inside the unit: unusable, but the unit goes on
    ExpectError(err::kObjectInvalid, [&] { db->execute("DELETE FROM TDeclarante"); });
    db->reopen();  // opened again inside the unit: usable again
    db->execute("DELETE FROM TDeclarante WHERE nombred = 'nobody'");
    db->close();
    outer.commit();
  }
  EXPECT_FALSE(db->isOpen());  // closed when the unit ended
  db = std::make_shared<db::pg::Database>(userPath);
  auto rs = db->openRecordset("SELECT nombred FROM TDeclarante ORDER BY CSDE");
  rs->moveLast();
  EXPECT_EQ(rs->recordCount(), 2);
  EXPECT_EQ(rs->field(0).toString(), "kept");
}

TEST_F(PgEngineTest, TextComparesWithoutRegardToCaseAsTheEmbeddedEngine) {
  // Letters beyond ASCII fold as the server's character type says; the
  // embedded engine folds ASCII letters only, so they are left out here.
  for (const char* name : {"ana", "Bea", "ANA", "_z", "b", "[a"})
    db->execute(std::string("INSERT INTO TDeclarante (nombred) VALUES ('") + name + "')");
  EXPECT_EQ(Count("TDeclarante WHERE nombred = 'aNa'"), 2);
  EXPECT_EQ(Count("TDeclarante WHERE nombred IN ('bea', 'X')"), 1);
  EXPECT_EQ(Count("TDeclarante WHERE nombred > 'B'"), 1);
  EXPECT_EQ(Count("(SELECT DISTINCT nombred FROM TDeclarante) AS d"), 5);
  // Sorted as lower-case text by code point: '[' and '_' between 'Z' and 'a'.
  auto rs = db->openRecordset("SELECT nombred FROM TDeclarante ORDER BY nombred, CSDE");
  std::string order;
  for (; !rs->eof(); rs->moveNext()) order += rs->field(0).toString() + " ";
  EXPECT_EQ(order, "[a _z ana ANA b Bea ");
}

TEST_F(PgEngineTest, TopAndOldLikePatternsMatchWithoutRegardToCase) {
  for (const char* nif : {"12345678Z", "12399999a", "99999999R", "1%_45678Z", "A2345678B"})
    db->execute(std::string("INSERT INTO TDeclarante (dni_cifd) VALUES ('") + nif + "')");
  auto top = db->openRecordset("Select TOP 2 CSDE, dni_cifd From TDeclarante order by CSDE desc");
  top->moveLast();
  EXPECT_EQ(top->recordCount(), 2);
  EXPECT_EQ(top->field(1).toString(), "1%_45678Z");
  const auto matches = [&](const std::string& pattern) {
    return Count("TDeclarante Where dni_cifd like '" + pattern + "'");
  };
  EXPECT_EQ(matches("123*"), 2);
  EXPECT_EQ(matches("123999?9A"), 1);
  EXPECT_EQ(matches("#2345678*"), 1);
  EXPECT_EQ(matches("[a-c]*[!0-9]"), 1);
  EXPECT_EQ(matches("1%_*"), 1);
  EXPECT_EQ(matches("1__*"), 0);
  EXPECT_EQ(matches("*z"), 2);
  EXPECT_EQ(Count("TDeclarante Where dni_cifd not like '*z'"), 3);
  db->execute("UPDATE TDeclarante SET nombred = 'a*b TOP 3' WHERE dni_cifd = '99999999r'");
  EXPECT_EQ(Count("TDeclarante WHERE nombred = 'A*B top 3'"), 1);
}

TEST_F(PgEngineTest, CursorCountsVisitedRowsUntilMoveLast) {
  for (int i = 0; i < 5; ++i)
    db->execute("INSERT INTO TDeclarante (nombred) VALUES ('n" + std::to_string(i) + "')");
  auto rs = db->openRecordset("SELECT nombred FROM TDeclarante ORDER BY CSDE");
  EXPECT_EQ(rs->recordCount(), 1);
  rs->moveNext();
  EXPECT_EQ(rs->recordCount(), 2);
  rs->moveLast();
  EXPECT_EQ(rs->recordCount(), 5);
  EXPECT_EQ(rs->absolutePosition(), 4);
  EXPECT_EQ(rs->field(0).toString(), "n4");
  rs->moveFirst();
  EXPECT_EQ(rs->field(0).toString(), "n0");
  int seen = 0;
  for (; !rs->eof(); rs->moveNext()) ++seen;
  EXPECT_EQ(seen, 5);
  EXPECT_EQ(rs->absolutePosition(), -1);
  ExpectError(err::kNoCurrentRecord, [&] { rs->field(0); });
  ExpectError(err::kNoCurrentRecord, [&] { rs->moveNext(); });
  auto empty = db->openRecordset("SELECT * FROM TDeclarante WHERE CSDE = 0");
  EXPECT_TRUE(empty->eof());
  EXPECT_EQ(empty->recordCount(), 0);
  ExpectError(err::kNoCurrentRecord, [&] { empty->moveLast(); });
  db->close();
  ExpectError(err::kObjectInvalid, [&] { rs->eof(); });
  ExpectError(err::kObjectInvalid, [&] { db->execute("DELETE FROM tgeneral"); });
}

TEST_F(PgEngineTest, CountersNeverReuseAKeyAndInsertsReportTheirKey) {
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  EXPECT_EQ(db->lastInsertKey(), 2);
  db->execute("DELETE FROM TDeclaraciones");
  db->begin();
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  db->rollback();
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  EXPECT_EQ(db->lastInsertKey(), 4);
  EXPECT_EQ(db->openRecordset("SELECT MAX(CSCI) FROM TDeclaraciones")->field(0).toLong(), 4);
  db->execute("INSERT INTO tdpfe (CSCI, CSDO) VALUES (4, 4)");  // no counter: the key stays
  EXPECT_EQ(db->lastInsertKey(), 4);
}

TEST_F(PgEngineTest, EarlierLayoutLacksTheTransferColumnsAndTableDefsAddThem) {
  const std::string other = schema + "_old";
  ServerSession admin(server);
  admin.Query("CREATE SCHEMA " + other);
  const std::string earlier = WithSchema(server, other);
  db::pg::CreateUserTables(earlier, UserLayout::Earlier);
  ExpectError(3204, [&] { db::pg::CreateUserTables(earlier, UserLayout::Earlier); });
  {
    db::pg::Database old(earlier);
    auto fe = old.tableDef("TDPFE");
    EXPECT_EQ(fe.fieldNames().size(), 8u);
    auto field = fe.createField("REFCAT", db::ColumnType::Text, 25);
    field.defaultValue = "";
    fe.append(field);
    ExpectError(3191, [&] { fe.append(field); });
    EXPECT_EQ(fe.fieldNames().back(), "REFCAT");
    ExpectError(err::kTextTooLong, [&] {
      old.execute("INSERT INTO tdpfe (CSCI, CSDO, REFCAT) VALUES (1, 1, '" + std::string(26, 'r') +
                  "')");
    });
    old.execute("INSERT INTO tdpfe (CSCI, CSDO) VALUES (1, 1)");
    EXPECT_EQ(old.openRecordset("SELECT REFCAT FROM tdpfe")->field(0).toString(), "");
    ExpectError(err::kItemNotFound, [&] { old.tableDef("tNoExiste"); });
  }
  EXPECT_EQ(db->tableDef("tdpfe").fieldNames().size(), 18u);
  admin.Query("DROP SCHEMA " + other + " CASCADE");
}

TEST_F(PgEngineTest, ConflictingUnitsOfWorkFailWith3050AndSayTheyMayBeTriedAgain) {
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('a')");
  ServerSession other(userPath);
  other.Query("BEGIN ISOLATION LEVEL SERIALIZABLE");
  other.Query("SELECT count(*) FROM tdeclarante");
  db->begin("SERIALIZABLE");
  EXPECT_EQ(Count("TDeclarante"), 1);
  other.Query("UPDATE tdeclarante SET nombred = 'b'");
  other.Query("COMMIT");
  ExpectError(err::kLocked, [&] { db->execute("UPDATE TDeclarante SET nombred = 'c'"); });
  EXPECT_TRUE(db->connection().conflicted());
  // Nothing more runs in the doomed unit, and its commit fails too.
  ExpectError(err::kLocked, [&] { db->execute("INSERT INTO TDeclarante (nombred) VALUES ('d')"); });
  ExpectError(err::kLocked, [&] { db->commit(); });
  db->rollback();
  EXPECT_EQ(db->openRecordset("SELECT nombred FROM TDeclarante")->field(0).toString(), "b");
  EXPECT_EQ(Count("TDeclarante"), 1);
}

TEST_F(PgEngineTest, ADroppedConnectionIsOpenedAgainButNeverInsideAUnitOfWork) {
  ServerSession admin(server);
  const auto backend = [&] {
    return db->openRecordset("SELECT pg_backend_pid()")->field(0).toString();
  };
  const auto drop = [&](const std::string& pid) {
    admin.Query("SELECT pg_terminate_backend(" + pid + ", 5000)");
  };
  // Dropped between units of work: the next one opens a new connection.
  const auto first = backend();
  db->close();
  drop(first);
  db = std::make_shared<db::pg::Database>(userPath);
  const auto second = backend();
  EXPECT_NE(second, first);
  // Dropped after the check but before the unit's first statement: the same.
  db->close();
  db = std::make_shared<db::pg::Database>(userPath);
  drop(second);
  const auto third = backend();
  EXPECT_NE(third, second);
  // Dropped after the unit began but before it sent anything: it runs whole
  // on a new connection; one that never sent anything ends as nothing.
  db->begin();
  drop(third);
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('kept')");
  db->commit();
  EXPECT_EQ(Count("TDeclarante WHERE nombred = 'kept'"), 1);
  const auto fourth = backend();
  EXPECT_NE(fourth, third);
  db->begin();
  drop(fourth);
  db->commit();
  db->execute("DELETE FROM TDeclarante");
  const auto fifth = backend();
  EXPECT_NE(fifth, fourth);
  // Dropped inside a unit of work: it fails, and nothing of it stays.
  db->begin();
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('lost')");
  drop(fifth);
  ExpectError(3151, [&] { db->execute("INSERT INTO TDeclarante (nombred) VALUES ('x')"); });
  ExpectError(3151, [&] { db->commit(); });
  db->rollback();
  db->close();
  db = std::make_shared<db::pg::Database>(userPath);
  EXPECT_EQ(Count("TDeclarante"), 0);
}

TEST_F(PgEngineTest, UnreachableServersAndMissingDatabasesRaiseTheirNumbers) {
  ExpectError(3151, [] { db::pg::Database("postgresql:///kolvar?host=/nonexistent/socket"); });
  const std::string missing = WithParameter(server, "dbname", "no_such_db");
  ExpectError(err::kFileNotFound, [&] { db::pg::Database{missing}; });
}

// Mangled statements either run or raise a numbered error; none breaks the
// connection or leaves a transaction open.
TEST_F(PgEngineTest, MangledStatementsRaiseOnlyKnownNumbers) {
  const std::string seeds[] = {
      "INSERT INTO tOperadores (CSCI, NIF, NOMBRE, BIMP) VALUES (1, '12345678Z', 'ANA', '10.5')",
      "UPDATE tOperadores SET NOMBRE = 'B', BIMP = '3' WHERE CSCI = 1",
      "DELETE FROM tdpfe WHERE CSDO = 3 and CSCI = 1",
      "Select TOP 3 CSDO, NIF From tOperadores Where NIF like '123*' order by CSDO desc"};
  const std::string noise = "'\";*?%_()-,.0123456789 \t\n\\\x01\xC3\xB1";
  std::mt19937 random(340);
  const std::set<int> known = {3000,
                               3022,
                               3314,
                               err::kSyntax,
                               err::kTableNotFound,
                               err::kUnknownColumn,
                               err::kDataType,
                               err::kTextTooLong,
                               err::kInvalidOperation};
  db->begin();
  for (int i = 0; i < 600; ++i) {
    std::string sql = seeds[random() % std::size(seeds)];
    for (int edits = 1 + random() % 3; edits > 0; --edits) {
      const std::size_t at = random() % (sql.size() + 1);
      if (random() % 2 && at < sql.size())
        sql.erase(at, 1 + random() % 4);
      else
        sql.insert(at, 1, noise[random() % noise.size()]);
    }
    try {
      if (sql.find("Select") != std::string::npos) {
        auto rs = db->openRecordset(sql);
        while (!rs->eof()) rs->moveNext();
      } else {
        db->execute(sql);
      }
    } catch (const Error& e) {
      EXPECT_TRUE(known.count(e.number()))
          << e.number() << " " << e.description() << " for " << sql;
    }
  }
  db->commit();
  EXPECT_FALSE(db->connection().inTransaction());
  EXPECT_GE(Count("tOperadores"), 0);
}

}  // namespace
}  // namespace kolvar::testing
