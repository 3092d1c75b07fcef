// The engine boundary: one statement per text, typed columns, the dialect,
// cursor semantics and the error numbers of bad input.
#include <sqlite3.h>

#include <fstream>
#include <random>
#include <set>

#include "core/text.h"
#include "dbaccess/sqlite_engine.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

class EngineTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    db = db::ThreadEngine().openDatabase(userPath);
  }
  void TearDown() override {
    db->close();
    DatabaseTest::TearDown();
  }
  std::int32_t Count(const std::string& table) {
    auto rs = db->openRecordset("SELECT count(*) FROM " + table);
    return rs->field(0).toLong();
  }
  std::shared_ptr<db::Database> db;
};

TEST_F(EngineTest, OnlyOneSelectOrActionStatementPerText) {
  ExpectError(err::kInvalidOperation, [&] {
    db->execute(
        "INSERT INTO TDeclarante (nombred) VALUES ('a'); INSERT INTO TDeclarante (nombred) VALUES "
        "('b')");
  });
  ExpectError(err::kInvalidOperation,
              [&] { db->openRecordset("SELECT 1; DELETE FROM TDeclarante"); });
  ExpectError(err::kInvalidOperation,
              [&] { db->openRecordset("INSERT INTO TDeclarante (nombred) VALUES ('a')"); });
  ExpectError(err::kInvalidOperation, [&] { db->execute("SELECT * FROM TDeclarante"); });
  EXPECT_EQ(Count("TDeclarante"), 0);
  db->execute(
      "INSERT INTO TDeclarante (nombred) VALUES ('a');");  // a closing semicolon is one statement
  EXPECT_EQ(Count("TDeclarante"), 1);
}

TEST_F(EngineTest, BadStatementsRaiseTheirNumbersAndChangeNothing) {
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('Ana')");
  ExpectError(err::kSyntax, [&] { db->execute("UPDATE TDeclarante SET nombred = 'O'Brien'"); });
  ExpectError(err::kSyntax, [&] { db->execute("UPDATE TDeclarante SET nombred = 'x' WHERE"); });
  ExpectError(err::kTableNotFound, [&] { db->openRecordset("SELECT * FROM tNoExiste"); });
  ExpectError(err::kUnknownColumn, [&] { db->openRecordset("SELECT noexiste FROM TDeclarante"); });
  // An unknown column is 3061 in every statement form.
  ExpectError(err::kUnknownColumn,
              [&] { db->execute("INSERT INTO TDeclarante (noexiste) VALUES ('x')"); });
  ExpectError(err::kUnknownColumn,
              [&] { db->execute("UPDATE TDeclarante SET noexiste = 'x' WHERE CSDE = 1"); });
  ExpectError(err::kUnknownColumn,
              [&] { db->execute("DELETE FROM TDeclarante WHERE noexiste = 1"); });
  // Text that does not parse is 3075, whatever its first word.
  ExpectError(err::kSyntax, [&] { db->openRecordset("SELEC nombred FROM TDeclarante"); });
  ExpectError(err::kSyntax, [&] { db->execute("INSER INTO TDeclarante (nombred) VALUES ('x')"); });
  EXPECT_EQ(db->openRecordset("SELECT nombred FROM TDeclarante")->field(0).toString(), "Ana");
}

TEST_F(EngineTest, TypedColumnsRefuseWhatTheyCannotHold) {
  db->execute(
      "INSERT INTO tOperadores (CSCI, BIMP, CNIPR, NOMBRE, FDE) VALUES (1, '12.5', '2', 'x', "
      "'20080101')");
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET BIMP = '12,5'"); });
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET BIMP = 'abc'"); });
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET BIMP = ''"); });
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET CNIPR = 256"); });
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET FDE = 3000000000"); });
  ExpectError(err::kTextTooLong, [&] {
    db->execute("UPDATE tOperadores SET NOMBRE = '" + std::string(41, 'n') + "'");
  });
  db->execute("UPDATE tOperadores SET NOMBRE = '" + std::string(40, 'n') + "'");
  // Forty characters, not bytes: accented letters count once.
  db->execute("UPDATE tOperadores SET NOMBRE = '" + std::string(20, 'n') + [] {
    std::string s;
    for (int i = 0; i < 20; ++i) s += "\xC3\xB1";
    return s;
  }() + "'");

  auto rs =
      db->openRecordset("SELECT CSCI, BIMP, CNIPR, FDE, NOMBRE, count(*) AS n FROM tOperadores");
  EXPECT_EQ(rs->field("csci").type(), VarType::Long);
  EXPECT_EQ(rs->field("BIMP").type(), VarType::Double);
  EXPECT_DOUBLE_EQ(rs->field("BIMP").toDouble(), 12.5);
  EXPECT_EQ(rs->field("CNIPR").type(), VarType::Byte);
  EXPECT_EQ(rs->field("FDE").toLong(), 20080101);
  EXPECT_EQ(rs->field("NOMBRE").type(), VarType::String);
  EXPECT_EQ(rs->field("n").type(), VarType::Long);
  ExpectError(err::kItemNotFound, [&] { rs->field("nada"); });
}

TEST_F(EngineTest, AStatementWithOneBadRowChangesNoRow) {
  db->execute("INSERT INTO tOperadores (CSCI, NOMBRE) VALUES (1, '" + std::string(30, 'a') + "')");
  db->execute("INSERT INTO tOperadores (CSCI, NOMBRE) VALUES (1, 'b')");
  ExpectError(err::kTextTooLong,
              [&] { db->execute("UPDATE tOperadores SET NOMBRE = NOMBRE || '0123456789+'"); });
  ExpectError(err::kDataType,
              [&] { db->execute("UPDATE tOperadores SET CSCI = CSCI + 2147483647"); });
  auto rs = db->openRecordset("SELECT NOMBRE, CSCI FROM tOperadores ORDER BY CSDO");
  EXPECT_EQ(text::Len(rs->field(0).toString()), 30u);
  rs->moveNext();
  EXPECT_EQ(rs->field(0).toString(), "b");
  EXPECT_EQ(rs->field(1).toLong(), 1);
  db->execute(
      "UPDATE tOperadores SET NOMBRE = 'c' WHERE CSCI = 1");  // the next statement is free to run
  EXPECT_EQ(Count("tOperadores WHERE NOMBRE = 'c'"), 2);
}

TEST_F(EngineTest, AFileLockedByAnotherWriterIsBusyAndTheConnectionRecovers) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(userPath.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  ExpectError(err::kLocked, [&] { db->execute("INSERT INTO tOperadores (CSCI) VALUES (1)"); });
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  db->execute("INSERT INTO tOperadores (CSCI) VALUES (2)");
  db->close();  // a statement left inside a transaction would be lost here
  db = db::ThreadEngine().openDatabase(userPath);
  EXPECT_EQ(Count("tOperadores"), 1);
}

TEST_F(EngineTest, TopIsAdaptedAndLikeSpeaksTheDesktopPatternLanguage) {
  for (const char* nif : {"12345678Z", "12399999A", "99999999R"})
    db->execute(std::string("INSERT INTO TDeclarante (dni_cifd) VALUES ('") + nif + "')");
  auto top = db->openRecordset("Select TOP 2 CSDE, dni_cifd From TDeclarante order by CSDE desc");
  top->moveLast();
  EXPECT_EQ(top->recordCount(), 2);
  EXPECT_EQ(top->field(1).toString(), "12399999A");
  auto like = db->openRecordset("Select CSDE From TDeclarante Where dni_cifd like '123*'");
  like->moveLast();
  EXPECT_EQ(like->recordCount(), 2);
  EXPECT_EQ(Count("TDeclarante WHERE CSDE LIKE '#'"), 3);           // numbers are matched as text
  EXPECT_EQ(Count("TDeclarante WHERE dni_cifd LIKE dni_cifd"), 3);  // a pattern per row
  // A star inside an ordinary literal is left alone.
  db->execute("UPDATE TDeclarante SET nombred = 'a*b TOP 3' WHERE CSDE = 1");
  EXPECT_EQ(
      db->openRecordset("SELECT nombred FROM TDeclarante WHERE CSDE = 1")->field(0).toString(),
      "a*b TOP 3");

  struct Case {
    const char *text, *pattern;
    int matches;
  };
  const Case cases[] = {
      {"abc", "a*", 1},      {"abc", "*c", 1},      {"abc", "*b", 0},  {"", "*", 1},
      {"aXbXc", "a*b*c", 1}, {"ab", "a*b*c", 0},    {"abc", "a?c", 1}, {"ac", "a?c", 0},
      {"abcd", "a?c", 0},    {"a1c", "a#c", 1},     {"abc", "a#c", 0}, {"a12c", "a#c", 0},
      {"b", "[a-c]", 1},     {"d", "[a-c]", 0},     {"`", "[a-c]", 0}, {"d", "[!a-c]", 1},
      {"b", "[!a-c]", 0},    {"", "[!a-c]", 0},     {"x", "[xyz]", 1}, {"w", "[xyz]", 0},
      {"7", "[0-9]", 1},     {"%", "%", 1},         {"x", "%", 0},     {"ab", "a%", 0},
      {"a%", "a%", 1},       {"_", "_", 1},         {"a", "_", 0},     {"a*b", "a[*]b", 1},
      {"axb", "a[*]b", 0},   {"a#", "a[#]", 1},     {"a1", "a[#]", 0}, {"a[", "a[", 1},
      {"ab", "a[]b", 1},     {"ABC", "a*c", 1},     {"abc", "A?C", 1}, {"B", "[a-c]", 1},
      {"ÑANDÚ", "ñ*ú", 1},   {"ñandu", "ÑANDÚ", 0}, {"é", "?", 1},
  };
  for (const Case& c : cases) {
    auto rs = db->openRecordset(std::string("SELECT '") + c.text + "' LIKE '" + c.pattern + "'");
    EXPECT_EQ(rs->field(0).toLong(), c.matches) << c.text << " LIKE " << c.pattern;
  }
  auto escaped = db->openRecordset(
      "SELECT 'a*b' LIKE 'a!*b' ESCAPE '!', 'axb' LIKE 'a!*b' ESCAPE '!', NULL LIKE 'a'");
  EXPECT_EQ(escaped->field(0).toLong(), 1);
  EXPECT_EQ(escaped->field(1).toLong(), 0);
  EXPECT_TRUE(escaped->field(2).isNull());
}

TEST_F(EngineTest, CursorCountsVisitedRowsUntilMoveLast) {
  for (int i = 0; i < 5; ++i)
    db->execute("INSERT INTO TDeclarante (nombred) VALUES ('n" + std::to_string(i) + "')");
  auto rs = db->openRecordset("SELECT nombred FROM TDeclarante ORDER BY CSDE");
  EXPECT_EQ(rs->recordCount(), 1);
  rs->moveLast();
  EXPECT_EQ(rs->recordCount(), 5);
  EXPECT_EQ(rs->absolutePosition(), 4);
  EXPECT_EQ(rs->field(0).toString(), "n4");
  rs->moveFirst();
  EXPECT_EQ(rs->field(0).toString(), "n0");
  int seen = 0;
  for (; !rs->eof(); rs->moveNext()) ++seen;
  EXPECT_EQ(seen, 5);
  ExpectError(err::kNoCurrentRecord, [&] { rs->field(0); });
  ExpectError(err::kNoCurrentRecord, [&] { rs->moveNext(); });

  auto empty = db->openRecordset("SELECT * FROM TDeclarante WHERE CSDE = 0");
  EXPECT_TRUE(empty->eof());
  EXPECT_EQ(empty->recordCount(), 0);
  ExpectError(err::kNoCurrentRecord, [&] { empty->moveLast(); });
}

// A text that cannot be read inside another statement (it ends in an open
// comment) is counted and positioned by stepping it.
TEST_F(EngineTest, AResultThatDoesNotNestIsCountedByStepping) {
  for (int i = 0; i < 60; ++i)
    db->execute("INSERT INTO TDeclarante (nombred) VALUES ('n" + std::to_string(i) + "')");
  auto rs = db->openRecordset("SELECT nombred FROM TDeclarante ORDER BY CSDE /* open comment");
  rs->moveLast();
  EXPECT_EQ(rs->recordCount(), 60);
  EXPECT_EQ(rs->field(0).toString(), "n59");
  for (int p : {50, 20, 55, 2}) {
    rs->absolutePosition(p);
    EXPECT_EQ(rs->field(0).toString(), "n" + std::to_string(p));
  }
  int seen = 0;
  for (rs->moveFirst(); !rs->eof(); rs->moveNext())
    EXPECT_EQ(rs->field(0).toString(), "n" + std::to_string(seen++));
  EXPECT_EQ(seen, 60);
}

TEST_F(EngineTest, CountersNeverReuseAKey) {
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  db->execute("DELETE FROM TDeclaraciones");
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  EXPECT_EQ(db->openRecordset("SELECT MAX(CSCI) FROM TDeclaraciones")->field(0).toLong(), 3);
}

TEST_F(EngineTest, ClosingTheDatabaseClosesItsResultSets) {
  auto a = db->openRecordset("SELECT * FROM TDeclarante");
  auto b = db->openRecordset("SELECT * FROM tgeneral");
  EXPECT_EQ(db->recordsets().size(), 2u);
  db->close();
  ExpectError(err::kObjectInvalid, [&] { b->field(0); });
  ExpectError(err::kObjectInvalid, [&] { a->eof(); });
  ExpectError(err::kObjectInvalid, [&] { db->execute("DELETE FROM tgeneral"); });
}

TEST_F(EngineTest, FilesThatAreNotDatabasesAreRefusedAndLeftIntact) {
  ExpectError(err::kFileNotFound,
              [&] { db::ThreadEngine().openDatabase((dir / "nada.db").string()); });
  ExpectError(err::kPathNotValid,
              [&] { db::ThreadEngine().openDatabase((dir / "no/nada.db").string()); });
  const auto text = (dir / "texto.db").string();
  const std::string content(4096, 'x');
  std::ofstream(text) << content;
  ExpectError(3343, [&] { db::ThreadEngine().openDatabase(text); });
  std::ifstream in(text);
  std::string back((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(back, content);
}

TEST_F(EngineTest, EarlierLayoutLacksTheTransferColumnsAndTableDefsAddThem) {
  const auto earlier = (dir / "anterior.db").string();
  CreateUserDatabase(earlier, UserLayout::Earlier);
  auto old = db::ThreadEngine().openDatabase(earlier);
  auto fe = old->tableDef("TDPFE");
  EXPECT_EQ(fe.fieldNames().size(), 8u);
  auto field = fe.createField("REFCAT", db::ColumnType::Text, 25);
  field.defaultValue = "";
  fe.append(field);
  ExpectError(3191, [&] { fe.append(field); });
  EXPECT_EQ(fe.fieldNames().back(), "REFCAT");
  ExpectError(err::kTextTooLong, [&] {
    old->execute("INSERT INTO tdpfe (CSCI, CSDO, REFCAT) VALUES (1, 1, '" + std::string(26, 'r') +
                 "')");
  });
  EXPECT_EQ(db->tableDef("tdpfe").fieldNames().size(), 18u);
  old->close();
}

}  // namespace
}  // namespace kolvar::testing

namespace kolvar::testing {
namespace {

// Mangled statements either run or raise a numbered error; none crashes the
// program or damages the file.
TEST_F(EngineTest, MangledStatementsNeverDamageTheFile) {
  const std::string seeds[] = {
      "INSERT INTO tOperadores (CSCI, NIF, NOMBRE, BIMP) VALUES (1, '12345678Z', 'ANA', '10.5')",
      "UPDATE tOperadores SET NOMBRE = 'B', BIMP = '3' WHERE CSCI = 1",
      "DELETE FROM tdpfe WHERE CSDO = 3 and CSCI = 1",
      "Select TOP 3 CSDO, NIF From tOperadores Where NIF like '123*' order by CSDO desc"};
  const std::string noise = "'\";*?%_()-,.0123456789 \t\n\\\x01\xC3\xB1\xFF";
  std::mt19937 random(340);
  const std::set<int> known = {3000,
                               3022,
                               err::kSyntax,
                               err::kTableNotFound,
                               err::kUnknownColumn,
                               err::kDataType,
                               err::kTextTooLong,
                               err::kInvalidOperation,
                               3191};
  for (int i = 0; i < 3000; ++i) {
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
  std::string verdict;
  sqlite3_exec(
      static_cast<db::sqlite::Database&>(*db).handle(), "PRAGMA integrity_check",
      [](void* out, int, char** values, char**) {
        *static_cast<std::string*>(out) = values[0];
        return 0;
      },
      &verdict, nullptr);
  EXPECT_EQ(verdict, "ok");
}

}  // namespace
}  // namespace kolvar::testing
