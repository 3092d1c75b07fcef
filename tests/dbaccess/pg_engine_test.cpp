// The engine boundary on a PostgreSQL server, beyond what both engines share
// (tests/dbaccess/engine_test.cpp): bare transactions, conflicts between
// clients, reconnection, and servers that cannot be reached.
#include "dbaccess/pg/pg_engine.h"

#include "dbaccess/engine_fixture.h"
#include "dbaccess/transaction.h"
#include "support/pg_server.h"

namespace kolvar::testing {
namespace {

class PgEngineTest : public EngineFixture {
 protected:
  Engine engine() const override { return Engine::Server; }
  db::pg::Database& Pg() { return static_cast<db::pg::Database&>(*db); }
};

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
    both({Value(12.0), Value("7"), Value::Null()}, "12.0", "'7'", "NULL");
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
  EXPECT_EQ(Count("tOperadores WHERE FDE = 12"), 6);
  const auto refused = [&](int number, const std::vector<Value>& values, const std::string& fde,
                           const std::string& bimp, const std::string& nombre) {
    ExpectError(number, [&] { db->execute(literal(fde, bimp, nombre)); });
    std::vector<Value> params{Value(std::int32_t{2})};
    params.insert(params.end(), values.begin(), values.end());
    ExpectError(number, [&] { db->execute(bound, params); });
  };
  refused(err::kDataType, {Value(12.5), Value(1.0), Value("x")}, "12.5", "1", "'x'");
  // Texts, lengths and counts refused: tests/dbaccess/bound_values_test.cpp.
  refused(err::kDataType, {Value(2147483648.0), Value(1.0), Value("x")}, "2147483648", "1", "'x'");
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
  Pg().begin();
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('a')");
  EXPECT_EQ(Count("TDeclarante"), 1);  // the unit sees its own work
  Pg().rollback();
  EXPECT_EQ(Count("TDeclarante"), 0);
  Pg().begin();
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('b')");
  Reopen();
  EXPECT_EQ(Count("TDeclarante"), 0);
}

TEST_F(PgEngineTest, ConflictingUnitsOfWorkFailWith3050AndSayTheyMayBeTriedAgain) {
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('a')");
  ServerSession other(userPath);
  other.Query("BEGIN ISOLATION LEVEL SERIALIZABLE");
  other.Query("SELECT count(*) FROM tdeclarante");
  Pg().begin("SERIALIZABLE");
  EXPECT_EQ(Count("TDeclarante"), 1);
  other.Query("UPDATE tdeclarante SET nombred = 'b'");
  other.Query("COMMIT");
  ExpectError(err::kLocked, [&] { db->execute("UPDATE TDeclarante SET nombred = 'c'"); });
  EXPECT_TRUE(Pg().connection().conflicted());
  // Nothing more runs in the doomed unit, and its commit fails too.
  ExpectError(err::kLocked, [&] { db->execute("INSERT INTO TDeclarante (nombred) VALUES ('d')"); });
  ExpectError(err::kLocked, [&] { Pg().commit(); });
  Pg().rollback();
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
  db = db::OpenDatabase(userPath);
  const auto second = backend();
  EXPECT_NE(second, first);
  // Dropped after the check but before the unit's first statement: the same.
  Reopen();
  drop(second);
  const auto third = backend();
  EXPECT_NE(third, second);
  // Dropped after the unit began but before it sent anything: it runs whole
  // on a new connection; one that never sent anything ends as nothing.
  Pg().begin();
  drop(third);
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('kept')");
  Pg().commit();
  EXPECT_EQ(Count("TDeclarante WHERE nombred = 'kept'"), 1);
  const auto fourth = backend();
  EXPECT_NE(fourth, third);
  Pg().begin();
  drop(fourth);
  Pg().commit();
  db->execute("DELETE FROM TDeclarante");
  const auto fifth = backend();
  EXPECT_NE(fifth, fourth);
  // Dropped inside a unit of work: it fails, and nothing of it stays.
  Pg().begin();
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('lost')");
  drop(fifth);
  ExpectError(3151, [&] { db->execute("INSERT INTO TDeclarante (nombred) VALUES ('x')"); });
  ExpectError(3151, [&] { Pg().commit(); });
  Pg().rollback();
  Reopen();
  EXPECT_EQ(Count("TDeclarante"), 0);
}

// A long result holds one batch here and a cursor on the server, until it
// is closed; it reads the rows as they were when it was opened, also after
// the unit of work that opened it commits.
TEST_F(PgEngineTest, ALongResultIsReadABatchAtATimeThroughACursor) {
  const int batch = db::pg::Recordset::RowsPerBatch();
  db::pg::Recordset::SetRowsPerBatch(10);
  for (int i = 0; i < 35; ++i)
    db->execute("INSERT INTO TDeclarante (nombred) VALUES ('n" + std::to_string(i) + "')");
  const auto cursors = [&] {
    return db->openRecordset("SELECT count(*) FROM pg_cursors WHERE name <> ''")->field(0).toLong();
  };
  const auto open = [&](const std::string& where) {
    return db->openRecordset("SELECT nombred FROM TDeclarante" + where + " ORDER BY CSDE");
  };
  auto whole = open(" WHERE CSDE <= 10");
  EXPECT_EQ(cursors(), 0);  // ten rows: read whole
  std::shared_ptr<db::Recordset> rs;
  {
    db::Transaction unit(db);
    rs = open("");
    EXPECT_EQ(cursors(), 1);
    unit.commit();
  }
  ServerSession other(userPath);
  other.Query("DELETE FROM tdeclarante WHERE csde > 5");
  std::string names;
  for (; !rs->eof(); rs->moveNext()) names += rs->field(0).toString() + " ";
  EXPECT_EQ(names.substr(names.size() - 8), "n33 n34 ");
  EXPECT_EQ(rs->recordCount(), 35);
  rs->absolutePosition(12);
  EXPECT_EQ(rs->field(0).toString(), "n12");
  rs->close();
  EXPECT_EQ(cursors(), 0);
  // Dropped without a close, and undone with the unit that opened it.
  open("")->moveLast();
  EXPECT_EQ(cursors(), 0);
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('x')");
  for (int i = 0; i < 20; ++i) db->execute("INSERT INTO TDeclarante (nombred) VALUES ('y')");
  {
    db::Transaction unit(db);
    rs = open("");
    EXPECT_EQ(rs->field(0).toString(), "n0");
  }
  EXPECT_EQ(cursors(), 0);
  ExpectError(err::kObjectInvalid, [&] { rs->moveLast(); });
  rs.reset();
  db::pg::Recordset::SetRowsPerBatch(batch);
}

TEST_F(PgEngineTest, UnreachableServersAndMissingDatabasesRaiseTheirNumbers) {
  ExpectError(3151, [] { db::pg::Database("postgresql:///kolvar?host=/nonexistent/socket"); });
  const std::string missing = WithParameter(server, "dbname", "no_such_db");
  ExpectError(err::kFileNotFound, [&] { db::pg::Database{missing}; });
}

}  // namespace
}  // namespace kolvar::testing
