// The engine boundary on a PostgreSQL server, beyond what both engines share
// (tests/dbaccess/engine_test.cpp): bare transactions, conflicts between
// clients, reconnection, and servers that cannot be reached.
#include "dbaccess/pg/pg_engine.h"

#include "dbaccess/engine_fixture.h"
#include "support/pg_server.h"

namespace kolvar::testing {
namespace {

class PgEngineTest : public EngineFixture {
 protected:
  Engine engine() const override { return Engine::Server; }
  db::pg::Database& Pg() { return static_cast<db::pg::Database&>(*db); }
};

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
  // Dropped inside a unit of work: it fails, and nothing of it stays.
  Pg().begin();
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('lost')");
  drop(third);
  ExpectError(3151, [&] { db->execute("INSERT INTO TDeclarante (nombred) VALUES ('x')"); });
  ExpectError(3151, [&] { Pg().commit(); });
  Pg().rollback();
  Reopen();
  EXPECT_EQ(Count("TDeclarante"), 0);
}

TEST_F(PgEngineTest, UnreachableServersAndMissingDatabasesRaiseTheirNumbers) {
  ExpectError(3151, [] { db::pg::Database("postgresql:///kolvar?host=/nonexistent/socket"); });
  const std::string missing = WithParameter(server, "dbname", "no_such_db");
  ExpectError(err::kFileNotFound, [&] { db::pg::Database{missing}; });
}

}  // namespace
}  // namespace kolvar::testing
