// Result sets on both engines: the count, the position and the end of the
// rows after every kind of move, for results short enough to be kept whole,
// long ones counted without reading them, and rows reached by position.
#include "dbaccess/engine.h"
#include "dbaccess/pg/pg_engine.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

// On the server a result of more than 16 rows is read through a cursor,
// 16 rows at a time.
class Cursor : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (!Ready()) return;
    db = db::ThreadEngine().openDatabase(userPath);
    db::pg::Recordset::SetRowsPerBatch(16);
  }
  void TearDown() override {
    if (db) db->close();
    db::pg::Recordset::SetRowsPerBatch(batch_);
    DatabaseTest::TearDown();
  }
  const int batch_ = db::pg::Recordset::RowsPerBatch();
  // Declarants n0 .. n(count-1), in key order.
  void Fill(int count) {
    for (int i = 0; i < count; ++i)
      db->execute("INSERT INTO TDeclarante (nombred) VALUES ('n" + std::to_string(i) + "')");
  }
  static std::string Name(int i) { return "n" + std::to_string(i); }
  std::shared_ptr<db::Recordset> Open(const std::string& tail = "") {
    return db->openRecordset("SELECT nombred, CSDE FROM TDeclarante" + tail + " ORDER BY CSDE");
  }
  // Walks from the current row to the end.
  static std::vector<std::string> Rest(db::Recordset& rs) {
    std::vector<std::string> names;
    for (; !rs.eof(); rs.moveNext()) names.push_back(rs.field(0).toString());
    return names;
  }
  static std::vector<std::string> Names(int from, int to) {
    std::vector<std::string> names;
    for (int i = from; i < to; ++i) names.push_back(Name(i));
    return names;
  }
  std::shared_ptr<db::Database> db;
};

TEST_P(Cursor, EmptyResultHasNoRowToMoveTo) {
  auto rs = Open();
  EXPECT_TRUE(rs->eof());
  EXPECT_EQ(rs->recordCount(), 0);
  EXPECT_EQ(rs->absolutePosition(), -1);
  ExpectError(err::kNoCurrentRecord, [&] { rs->moveLast(); });
  ExpectError(err::kNoCurrentRecord, [&] { rs->moveFirst(); });
  ExpectError(err::kNoCurrentRecord, [&] { rs->absolutePosition(0); });
  ExpectError(err::kNoCurrentRecord, [&] { rs->field(0); });
  EXPECT_EQ(rs->recordCount(), 0);
}

// 1 row, a result kept whole at its limit and one past it, and one long
// enough that far rows are reached by skipping.
TEST_P(Cursor, MoveLastCountsAndMoveFirstReadsTheSameRows) {
  Fill(120);
  for (int n : {1, 16, 17, 120}) {
    SCOPED_TRACE(n);
    const std::string only = " WHERE CSDE <= " + std::to_string(n);
    auto rs = Open(only);
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->absolutePosition(), 0);
    rs->moveLast();
    EXPECT_EQ(rs->recordCount(), n);
    EXPECT_EQ(rs->absolutePosition(), n - 1);
    EXPECT_FALSE(rs->eof());
    EXPECT_EQ(rs->field("NOMBRED").toString(), Name(n - 1));
    EXPECT_EQ(rs->field(1).toLong(), n);
    rs->moveFirst();
    EXPECT_EQ(rs->absolutePosition(), 0);
    EXPECT_EQ(Rest(*rs), Names(0, n));
    EXPECT_EQ(rs->absolutePosition(), -1);
    EXPECT_EQ(rs->recordCount(), n);
    ExpectError(err::kNoCurrentRecord, [&] { rs->moveNext(); });
    ExpectError(err::kNoCurrentRecord, [&] { rs->field(0); });
    // Back to the last row after the end, and again from the first.
    rs->moveLast();
    EXPECT_EQ(rs->field(0).toString(), Name(n - 1));
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    rs->moveFirst();
    EXPECT_EQ(rs->field(0).toString(), Name(0));
  }
}

TEST_P(Cursor, RowsByPositionForwardAndBackAndOnlyWithinTheCount) {
  Fill(120);
  auto rs = Open();
  // Before MoveLast only the rows seen so far are known.
  ExpectError(err::kNoCurrentRecord, [&] { rs->absolutePosition(1); });
  rs->moveNext();
  rs->absolutePosition(0);
  EXPECT_EQ(rs->field(0).toString(), Name(0));
  rs->moveLast();
  for (int p : {100, 101, 119, 40, 0, 60, 20, 15, 16, 119, 3}) {
    rs->absolutePosition(p);
    EXPECT_EQ(rs->absolutePosition(), p);
    EXPECT_EQ(rs->field(0).toString(), Name(p)) << p;
  }
  rs->absolutePosition(110);
  EXPECT_EQ(Rest(*rs), Names(110, 120));
  rs->absolutePosition(30);  // from the end of the rows
  EXPECT_FALSE(rs->eof());
  rs->moveNext();
  EXPECT_EQ(rs->field(0).toString(), Name(31));
  ExpectError(err::kNoCurrentRecord, [&] { rs->absolutePosition(120); });
  ExpectError(err::kNoCurrentRecord, [&] { rs->absolutePosition(-1); });
  EXPECT_EQ(rs->absolutePosition(), 31);
}

TEST_P(Cursor, WalkingToTheEndCountsAsMoveLastDoes) {
  Fill(40);
  auto rs = Open();
  for (int i = 0; i < 5; ++i) rs->moveNext();
  EXPECT_EQ(rs->recordCount(), 6);
  rs->moveFirst();  // read again from the first row
  EXPECT_EQ(rs->recordCount(), 6);
  rs->moveNext();
  EXPECT_EQ(rs->field(0).toString(), Name(1));
  rs->moveFirst();
  EXPECT_EQ(Rest(*rs), Names(0, 40));
  EXPECT_EQ(rs->recordCount(), 40);
  rs->moveLast();
  EXPECT_EQ(rs->field(0).toString(), Name(39));
  // Counted from a row past the first: the rows before it are not kept.
  auto late = Open();
  late->moveNext();
  late->moveLast();
  EXPECT_EQ(late->recordCount(), 40);
  late->moveFirst();
  EXPECT_EQ(Rest(*late), Names(0, 40));
}

TEST_P(Cursor, EachResultSetCountsTheRowsAsTheyAreWhenOpened) {
  Fill(30);
  auto before = Open();
  before->moveLast();
  EXPECT_EQ(before->recordCount(), 30);
  db->execute("DELETE FROM TDeclarante WHERE CSDE > 20");
  db->execute("UPDATE TDeclarante SET nombred = 'edited' WHERE CSDE = 1");
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('new')");
  auto after = Open();
  after->moveLast();
  EXPECT_EQ(after->recordCount(), 21);
  EXPECT_EQ(after->field(0).toString(), "new");
  after->moveFirst();
  std::vector<std::string> expected = Names(0, 20);
  expected[0] = "edited";
  expected.push_back("new");
  EXPECT_EQ(Rest(*after), expected);
  auto none = Open(" WHERE CSDE > 1000");
  EXPECT_EQ(none->recordCount(), 0);
}

// The same text opened again (on the file, its statement kept from the last
// time) reads the rows as they are now, from the first, also when the last
// result set was closed halfway and another connection wrote meanwhile.
TEST_P(Cursor, AResultSetOpenedAgainReadsTheRowsAsTheyAreNow) {
  Fill(3);
  auto first = Open();
  first->moveNext();
  first->close();
  db->execute("UPDATE TDeclarante SET nombred = 'edited' WHERE CSDE = 1");
  auto other = db::OpenDatabase(userPath);
  other->execute("DELETE FROM TDeclarante WHERE CSDE = 2");
  other->close();
  auto again = Open();
  EXPECT_EQ(again->recordCount(), 1);
  EXPECT_EQ(Rest(*again), (std::vector<std::string>{"edited", "n2"}));
  auto alongside = Open();  // while `again` is open
  alongside->moveLast();
  EXPECT_EQ(alongside->recordCount(), 2);
  again->moveFirst();
  EXPECT_EQ(again->field(0).toString(), "edited");
}

KOLVAR_PER_ENGINE(Cursor);

}  // namespace
}  // namespace kolvar::testing
