// The engine boundary, the same on both engines: one statement per text,
// typed columns, the dialect, text without regard to case, cursor semantics,
// counters, units of work and the error numbers of bad input. Then what only
// a database file has: its lock, and files that are not databases.
#include <sqlite3.h>

#include <fstream>
#include <random>
#include <set>

#include "core/text.h"
#include "dbaccess/engine_fixture.h"
#include "dbaccess/pg/pg_connection.h"
#include "dbaccess/transaction.h"
#include "integrity/database_dump.h"
#include "support/pg_server.h"

namespace kolvar::testing {
namespace {

class EngineTest : public PerEngine<EngineFixture> {};
KOLVAR_PER_ENGINE(EngineTest);

TEST_P(EngineTest, OnlyOneSelectOrActionStatementPerText) {
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

TEST_P(EngineTest, BadStatementsRaiseTheirNumbersAndChangeNothing) {
  db->execute("INSERT INTO TDeclarante (nombred) VALUES ('Ana')");
  ExpectError(err::kSyntax, [&] { db->execute("UPDATE TDeclarante SET nombred = 'O'Brien'"); });
  ExpectError(err::kSyntax, [&] { db->execute("UPDATE TDeclarante SET nombred = 'x' WHERE"); });
  ExpectError(err::kTableNotFound, [&] { db->openRecordset("SELECT * FROM tNoExiste"); });
  ExpectError(err::kTableNotFound, [&] { db->execute("DELETE FROM tNoExiste"); });
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
  if (OnServer())  // the server's text columns do not compare with numbers
    ExpectError(err::kDataType,
                [&] { db->openRecordset("SELECT * FROM TDeclarante WHERE nombred = 5"); });
  EXPECT_EQ(db->openRecordset("SELECT nombred FROM TDeclarante")->field(0).toString(), "Ana");
}

TEST_P(EngineTest, TypedColumnsRefuseWhatTheyCannotHoldAndReadBackTheirTypes) {
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
  db->execute("UPDATE tOperadores SET NOMBRE = '" + std::string(40, 'n') + "'");
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
  EXPECT_EQ(rs->field("csci").type(), VarType::Long);
  EXPECT_EQ(rs->field("BIMP").type(), VarType::Double);
  EXPECT_DOUBLE_EQ(rs->field("BIMP").toDouble(), 12.5);
  EXPECT_EQ(rs->field("CNIPR").type(), VarType::Byte);
  EXPECT_EQ(rs->field("CNIPR").toLong(), 255);
  EXPECT_EQ(rs->field("FDE").toLong(), 2147483647);
  EXPECT_EQ(rs->field("NOMBRE").type(), VarType::String);
  EXPECT_EQ(rs->field("NOMBRE").toString(), forty);
  EXPECT_TRUE(rs->field("NIF").isNull());
  EXPECT_EQ(rs->field("filas").type(), VarType::Long);
  EXPECT_EQ(rs->field("Total").type(), VarType::Double);
  EXPECT_EQ(db->openRecordset("SELECT NOREG FROM tdpfe UNION ALL SELECT 1")->fieldCount(), 1);
  ExpectError(err::kItemNotFound, [&] { rs->field("nada"); });
}

// A number with a fraction is refused by a whole-number column, written or
// bound, on both engines; a whole number written with a point is stored.
TEST_P(EngineTest, AFractionIsRefusedByAWholeNumberColumnAndKeptByAFloatingOne) {
  db->execute("INSERT INTO tOperadores (CSCI, FDE, CNIPR, BIMP) VALUES (1, 7.0, 2, 0.5)");
  for (const char* bad : {"INSERT INTO tOperadores (CSCI, FDE) VALUES (1, 12.5)",
                          "INSERT INTO tOperadores (CSCI, CNIPR) VALUES (1, 0.4)",
                          "INSERT INTO tOperadores (CSCI, BIMP) VALUES (1.25, 1)",
                          "UPDATE tOperadores SET FDE = 0.001",
                          "UPDATE tOperadores SET BIMP = 1, CNIPR = 2.5 WHERE CSCI = 1",
                          "UPDATE tOperadores SET FDE = 1E-1"}) {
    SCOPED_TRACE(bad);
    ExpectError(err::kDataType, [&] { db->execute(bad); });
  }
  ExpectError(err::kDataType, [&] { db->execute("UPDATE tOperadores SET FDE = ?", {Value(2.5)}); });
  ExpectError(err::kDataType, [&] {
    db->execute("INSERT INTO tOperadores (CSCI, CNIPR) VALUES (?, ?)",
                {Value(std::int32_t{1}), Value(0.25f)});
  });
  EXPECT_EQ(RowsUser("SELECT CSCI, FDE, CNIPR, BIMP FROM tOperadores"), "1|7|2|0.5\n");
  db->execute("UPDATE tOperadores SET FDE = 8.00, BIMP = 12.25 WHERE CSCI = 1");
  db->execute("UPDATE tOperadores SET CNIPR = ?, BIMP = ? * 2", {Value(3.0), Value(0.75)});
  db->execute("INSERT INTO tOperadores (CSCI, FDE, BIMP) VALUES (2, ?, ?)",
              {Value(9.0), Value(-2.5)});
  EXPECT_EQ(RowsUser("SELECT CSCI, FDE, CNIPR, BIMP FROM tOperadores ORDER BY CSDO"),
            "1|8|3|1.5\n2|9|NULL|-2.5\n");
  // A fraction in a condition compares; it stores nothing.
  EXPECT_EQ(Count("tOperadores WHERE FDE = 8.5"), 0);
  EXPECT_EQ(Count("tOperadores WHERE FDE < 8.5"), 1);
}

TEST_P(EngineTest, AStatementWithOneBadRowChangesNoRowInsideOrOutsideAUnitOfWork) {
  db->execute("INSERT INTO tOperadores (CSCI, NOMBRE) VALUES (1, '" + std::string(30, 'a') + "')");
  db->execute("INSERT INTO tOperadores (CSCI, NOMBRE) VALUES (1, 'b')");
  ExpectError(err::kTextTooLong,
              [&] { db->execute("UPDATE tOperadores SET NOMBRE = NOMBRE || '0123456789+'"); });
  {
    db::Transaction unit(db);
    db->execute("UPDATE tOperadores SET NOMBRE = 'c' WHERE NOMBRE = 'b'");
    ExpectError(err::kDataType,
                [&] { db->execute("UPDATE tOperadores SET CSCI = CSCI + 2147483647"); });
    // The failed statement is undone alone; the unit goes on and commits.
    db->execute("INSERT INTO tOperadores (CSCI, NOMBRE) VALUES (2, 'd')");
    unit.commit();
  }
  auto rs = db->openRecordset("SELECT NOMBRE, CSCI FROM tOperadores ORDER BY CSDO");
  EXPECT_EQ(text::Len(rs->field(0).toString()), 30u);
  rs->moveNext();
  EXPECT_EQ(rs->field(0).toString(), "c");
  EXPECT_EQ(rs->field(1).toLong(), 1);
  rs->moveNext();
  EXPECT_EQ(rs->field(0).toString(), "d");
  EXPECT_EQ(DumpRows(userPath, "SELECT count(*) FROM tOperadores"), "3\n");
}

TEST_P(EngineTest, UnitsOfWorkNestAsSavepointsAndAClosedDatabaseWaitsForTheOuterUnit) {
  {
    db::Transaction outer(db);
    db->execute("INSERT INTO TDeclarante (nombred) VALUES ('outer')");
    {
      db::Transaction inner(db);
      db->execute("INSERT INTO TDeclarante (nombred) VALUES ('inner')");
    }  // left without commit: only its own row goes
    db::Transaction kept(db);
    db->execute("INSERT INTO TDeclarante (nombred) VALUES ('kept')");
    kept.commit();
    EXPECT_EQ(DumpRows(userPath, "SELECT count(*) FROM TDeclarante"), "0\n");
    db->close();  // inside the unit: unusable, but the unit goes on
    ExpectError(err::kObjectInvalid, [&] { db->execute("DELETE FROM TDeclarante"); });
    db->reopen();  // opened again inside the unit: usable again
    db->execute("DELETE FROM TDeclarante WHERE nombred = 'nobody'");
    db->close();
    outer.commit();
  }
  EXPECT_FALSE(db->isOpen());  // closed when the unit ended
  db = db::OpenDatabase(userPath);
  EXPECT_EQ(DumpRows(userPath, "SELECT nombred FROM TDeclarante ORDER BY CSDE"), "outer\nkept\n");
  {
    db::Transaction left(db);
    db->execute("INSERT INTO TDeclarante (nombred) VALUES ('left')");
  }
  EXPECT_EQ(Count("TDeclarante"), 2);
}

TEST_P(EngineTest, TextComparesWithoutRegardToCase) {
  // ASCII letters only: letters beyond it fold as the server's character
  // type says, and the embedded engine does not fold them.
  for (const char* name : {"ana", "Bea", "ANA", "_z", "b", "[a"})
    db->execute(std::string("INSERT INTO TDeclarante (nombred) VALUES ('") + name + "')");
  EXPECT_EQ(Count("TDeclarante WHERE nombred = 'aNa'"), 2);
  EXPECT_EQ(Count("TDeclarante WHERE nombred IN ('bea', 'X')"), 1);
  EXPECT_EQ(Count("TDeclarante WHERE nombred > 'B'"), 1);
  EXPECT_EQ(Count("(SELECT DISTINCT nombred FROM TDeclarante) AS d"), 5);
  EXPECT_EQ(Count("TDeclarante WHERE nombred = 'ana '"), 0);
  // Sorted as lower-case text by code point: '[' and '_' between 'Z' and 'a'.
  auto rs = db->openRecordset("SELECT nombred FROM TDeclarante ORDER BY nombred, CSDE");
  std::string order;
  for (; !rs->eof(); rs->moveNext()) order += rs->field(0).toString() + " ";
  EXPECT_EQ(order, "[a _z ana ANA b Bea ");
}

TEST_P(EngineTest, TopIsAdaptedAndLikeSpeaksTheDesktopPatternLanguage) {
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
  EXPECT_EQ(Count("TDeclarante WHERE CSDE LIKE '#'"), 5);           // numbers are matched as text
  EXPECT_EQ(Count("TDeclarante WHERE dni_cifd LIKE dni_cifd"), 5);  // a pattern per row
  // A star inside an ordinary literal is left alone.
  db->execute("UPDATE TDeclarante SET nombred = 'a*b TOP 3' WHERE dni_cifd = '99999999r'");
  EXPECT_EQ(Count("TDeclarante WHERE nombred = 'A*B top 3'"), 1);

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
      {"ÑANDÚ", "ñ*ú", 1},   {"ñandu", "ÑANDÚ", 0}, {"é", "?", 1},     {"a.c", "a.c", 1},
      {"abc", "a.c", 0},     {"a+", "a+", 1},       {"aa", "a+", 0},   {"(a)", "(a)", 1},
  };
  for (const Case& c : cases) {
    db->execute("UPDATE TDeclarante SET nombred = '" + std::string(c.text) + "' WHERE CSDE = 1");
    EXPECT_EQ(Count("TDeclarante WHERE CSDE = 1 AND nombred LIKE '" + std::string(c.pattern) + "'"),
              c.matches)
        << c.text << " LIKE " << c.pattern;
  }
  db->execute("UPDATE TDeclarante SET nombred = NULL WHERE CSDE = 1");
  EXPECT_EQ(Count("TDeclarante WHERE CSDE = 1 AND nombred LIKE '*'"), 0);
}

// LIKE folds the letters of ASCII and Latin-1, and no others, on both
// engines; on the server also in a database whose collation folds only ASCII.
TEST_P(EngineTest, LikeFoldsLatinLettersWhateverTheDatabasesCollation) {
  std::shared_ptr<db::Database> c = db;
  const std::string cDatabase = schema + "_c";
  if (OnServer()) {
    ServerSession admin(server);
    admin.Query("DROP DATABASE IF EXISTS " + cDatabase);
    admin.Query("CREATE DATABASE " + cDatabase +
                " TEMPLATE template0 ENCODING 'UTF8' LC_COLLATE 'C' LC_CTYPE 'C'");
    const std::string path = WithParameter(server, "dbname", cDatabase);
    CreateUserDatabase(path);
    c = db::OpenDatabase(path);
    EXPECT_EQ(
        c->openRecordset("SELECT datctype FROM pg_database WHERE datname = current_database()")
            ->field(0)
            .toString(),
        "C");
  }
  c->execute("INSERT INTO TDeclarante (nombred) VALUES ('x')");
  struct Case {
    const char *text, *pattern;
    int matches;
  };
  const Case cases[] = {
      {"ABC", "a?c", 1},
      {"ÑANDÚ", "ñ*ú", 1},
      {"ñandu", "ÑANDÚ", 0},
      {"ÇÀÉÎÕÜÝÞ", "çàéîõüýþ", 1},
      {"çàéîõüýþ", "ÇÀÉÎÕÜÝÞ", 1},
      {"Ÿ", "ÿ", 1},
      {"Ä", "[à-å]", 1},
      {"ä", "[!À-Å]", 0},
      {"×", "÷", 0},
      {"ß", "SS", 0},
      {"Ω", "ω", 0},
      {"Я", "я", 0},
  };
  for (const Case& k : cases) {
    c->execute("UPDATE TDeclarante SET nombred = '" + std::string(k.text) + "'");
    const auto count = [&](const std::string& op) {
      return c
          ->openRecordset("SELECT count(*) FROM TDeclarante WHERE nombred " + op + " '" +
                          k.pattern + "'")
          ->field(0)
          .toLong();
    };
    EXPECT_EQ(count("LIKE"), k.matches) << k.text << " LIKE " << k.pattern;
    EXPECT_EQ(count("NOT LIKE"), 1 - k.matches) << k.text << " NOT LIKE " << k.pattern;
  }
  if (OnServer()) {
    c->close();
    c.reset();
    db::pg::ForgetThreadConnections();
    ServerSession(server).Query("DROP DATABASE " + cDatabase + " WITH (FORCE)");
  }
}

// Deleted keys never come back on either engine. The key an undone insert
// drew comes back on the file engine, where nobody saw it; the server's
// counter is not transactional and skips it.
TEST_P(EngineTest, CountersNeverReuseAKeyAndTheServerSkipsTheKeyOfAnUndoneInsert) {
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  EXPECT_EQ(db->lastInsertKey(), 2);
  db->execute("DELETE FROM TDeclaraciones");
  {
    db::Transaction undone(db);
    db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
    EXPECT_EQ(db->lastInsertKey(), 3);
  }
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  EXPECT_EQ(db->lastInsertKey(), OnServer() ? 4 : 3);
  EXPECT_EQ(db->openRecordset("SELECT MAX(CSCI) FROM TDeclaraciones")->field(0).toLong(),
            db->lastInsertKey());
  EXPECT_EQ(Count("TDeclaraciones"), 1);
  // A key given by the statement: the counter goes on past it.
  db->execute("INSERT INTO TDeclaraciones (CSCI, CSDE) VALUES (10, 1)");
  db->execute("INSERT INTO TDeclaraciones (CSDE) VALUES (1)");
  EXPECT_EQ(db->lastInsertKey(), 11);
  // A table without a counter: the server keeps the key of the last counter
  // (the embedded engine gives the file's row number, which no caller reads).
  const std::int64_t key = db->lastInsertKey();
  db->execute("INSERT INTO tdpfe (CSCI, CSDO) VALUES (4, 4)");
  if (OnServer()) {
    EXPECT_EQ(db->lastInsertKey(), key);
  }
}

TEST_P(EngineTest, ClosingTheDatabaseClosesItsResultSets) {
  auto a = db->openRecordset("SELECT * FROM TDeclarante");
  auto b = db->openRecordset("SELECT * FROM tgeneral");
  EXPECT_EQ(db->recordsets().size(), 2u);
  db->close();
  ExpectError(err::kObjectInvalid, [&] { b->field(0); });
  ExpectError(err::kObjectInvalid, [&] { a->eof(); });
  ExpectError(err::kObjectInvalid, [&] { db->execute("DELETE FROM tgeneral"); });
}

TEST_P(EngineTest, EarlierLayoutLacksTheTransferColumnsAndTableDefsAddThem) {
  const std::string earlier = OtherUserDatabase("anterior", UserLayout::Earlier);
  ExpectError(3204, [&] { CreateUserDatabase(earlier, UserLayout::Earlier); });
  auto old = db::OpenDatabase(earlier);
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
  old->execute("INSERT INTO tdpfe (CSCI, CSDO) VALUES (1, 1)");
  EXPECT_EQ(old->openRecordset("SELECT REFCAT FROM tdpfe")->field(0).toString(), "");
  ExpectError(err::kItemNotFound, [&] { old->tableDef("tNoExiste"); });
  EXPECT_EQ(db->tableDef("tdpfe").fieldNames().size(), 18u);
  old->close();
}

// Mangled statements either run or raise a numbered error; none crashes the
// program, damages the database or leaves a unit of work open.
TEST_P(EngineTest, MangledStatementsRaiseOnlyKnownNumbers) {
  const std::string seeds[] = {
      "INSERT INTO tOperadores (CSCI, NIF, NOMBRE, BIMP) VALUES (1, '12345678Z', 'ANA', '10.5')",
      "UPDATE tOperadores SET NOMBRE = 'B', BIMP = '3' WHERE CSCI = 1",
      "DELETE FROM tdpfe WHERE CSDO = 3 and CSCI = 1",
      "Select TOP 3 CSDO, NIF From tOperadores Where NIF like '123*' order by CSDO desc"};
  const std::string noise = "'\";*?%_()-,.0123456789 \t\n\\\x01\xC3\xB1\xFF";
  std::mt19937 random(340);
  const std::set<int> known = {3000,
                               3022,
                               3191,
                               3314,
                               err::kSyntax,
                               err::kTableNotFound,
                               err::kUnknownColumn,
                               err::kDataType,
                               err::kTextTooLong,
                               err::kInvalidOperation};
  {
    db::Transaction unit(db);
    for (int i = 0; i < (OnServer() ? 600 : 3000); ++i) {
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
    unit.commit();
  }
  EXPECT_EQ(db->unitDepth(), 0);
  // What the unit wrote is there for another client to read.
  EXPECT_EQ(DumpRows(userPath, "SELECT count(*) FROM tOperadores"),
            std::to_string(Count("tOperadores")) + "\n");
  if (!OnServer()) {
    EXPECT_EQ(DumpRows(userPath, "PRAGMA integrity_check"), "ok\n");
  }
}

// What only a database file has: another program's lock on it, and files
// that are not databases.
class FileEngineTest : public EngineFixture {};

TEST_F(FileEngineTest, AFileLockedByAnotherWriterIsBusyAndTheConnectionRecovers) {
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(userPath.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  ExpectError(err::kLocked, [&] { db->execute("INSERT INTO tOperadores (CSCI) VALUES (1)"); });
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  db->execute("INSERT INTO tOperadores (CSCI) VALUES (2)");
  Reopen();  // a statement left inside a transaction would be lost here
  EXPECT_EQ(Count("tOperadores"), 1);
}

// A text that cannot be read inside another statement (it ends in an open
// comment) is counted and positioned by stepping it.
TEST_F(FileEngineTest, AResultThatDoesNotNestIsCountedByStepping) {
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

TEST_F(FileEngineTest, FilesThatAreNotDatabasesAreRefusedAndLeftIntact) {
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

}  // namespace
}  // namespace kolvar::testing
