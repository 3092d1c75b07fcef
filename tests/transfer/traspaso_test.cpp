#include "transfer/traspaso.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>
#include <vector>

#include "dbaccess/engine.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

// Keeps the messages shown to the user.
class RecordingUi : public UserInterface {
 public:
  void MessageBox(std::string_view text) override { messages.emplace_back(text); }
  std::vector<std::string> messages;
};

constexpr const char* kGroupFailed =
    "Se ha producido un error la creación de los campos de la tabla T10_TIPOLOGIA8";

class TransferTest : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (!Ready()) return;
    SetUserInterface(ui);
    earlierPath = OtherUserDatabase("anterior", UserLayout::Earlier);
  }
  void TearDown() override {
    SetUserInterface(nullptr);
    DatabaseTest::TearDown();
  }

  // Plain statements straight through the engine, the file closed afterwards.
  void Exec(const std::string& path, const std::vector<std::string>& statements) {
    auto database = db::ThreadEngine().openDatabase(path);
    for (const std::string& sql : statements) database->execute(sql);
    database->close();
  }
  // The column names, then one line per row, every value as text ("<null>").
  std::vector<std::string> Dump(const std::string& path, const std::string& table) {
    auto database = db::ThreadEngine().openDatabase(path);
    auto rs = database->openRecordset("select * from " + table + " order by CSDO");
    std::string line;
    for (int i = 0; i < rs->fieldCount(); ++i) line += rs->fieldName(i) + "|";
    std::vector<std::string> out{line};
    for (; !rs->eof(); rs->moveNext()) {
      line.clear();
      for (int i = 0; i < rs->fieldCount(); ++i) {
        const Value v = rs->field(i);
        line += (v.isNull() ? "<null>" : v.toString()) + "|";
      }
      out.push_back(line);
    }
    database->close();
    return out;
  }
  bool Run(const std::string& path) {
    cTraspaso t;
    t.mdbmod(path);
    return t.Traspaso();
  }

  std::shared_ptr<RecordingUi> ui = std::make_shared<RecordingUi>();
  std::string earlierPath;
};

class Transfer : public PerEngine<TransferTest> {};
KOLVAR_PER_ENGINE(Transfer);

TEST_P(Transfer, CurrentDatabaseIsLeftAsItIs) {
  Exec(userPath, {"insert into tdpfe (CSCI, CSDO, NOFAC, SDI, REFCAT, MC, FMC, MAR) "
                  "values (1, 2, 3, 1.5, 'R-1', 'S', 20240101, 'X')",
                  "insert into tdpfr (CSCI, CSDO, CD, MP, MP_CC, IP) values (1, 4, 2.5, 'N', "
                  "'ES00', 9.25)"});
  const auto fe = Dump(userPath, "tdpfe");
  const auto fr = Dump(userPath, "tdpfr");
  EXPECT_TRUE(Run(userPath));
  EXPECT_EQ(Dump(userPath, "tdpfe"), fe);
  EXPECT_EQ(Dump(userPath, "tdpfr"), fr);
  EXPECT_TRUE(ui->messages.empty());
}

TEST_P(Transfer, EarlierDatabaseGetsEveryGroupWithInitialValues) {
  Exec(earlierPath, {"insert into tdpfe (CSCI, CSDO, NOFAC, IIA) values (1, 2, 3, 'a')",
                     "insert into tdpfr (CSCI, CSDO, CD) values (1, 6, 1.5)"});
  EXPECT_TRUE(Run(earlierPath));
  EXPECT_TRUE(ui->messages.empty());
  // The columns come in the same order as in a database made in the current layout.
  EXPECT_EQ(Dump(earlierPath, "tdpfe")[0], Dump(userPath, "tdpfe")[0]);
  EXPECT_EQ(Dump(earlierPath, "tdpfr")[0], Dump(userPath, "tdpfr")[0]);
  const auto fe = Dump(earlierPath, "tdpfe");
  EXPECT_EQ(fe[1], "1|2|3|<null>|a|<null>|<null>|<null>|0||0|0|0|||0|0||");
  EXPECT_EQ(Dump(earlierPath, "tdpfr")[1], "1|6|<null>|<null>|<null>|1.5|||0|0||");

  // The new columns hold their types and sizes.
  Exec(earlierPath, {"update tdpfe set REFCAT='" + std::string(25, 'r') + "', SDI=0.5"});
  ExpectError(err::kTextTooLong, [&] {
    Exec(earlierPath, {"update tdpfe set REFCAT='" + std::string(26, 'r') + "'"});
  });
  ExpectError(err::kTextTooLong, [&] { Exec(earlierPath, {"update tdpfe set MC='AB'"}); });
  ExpectError(err::kTextTooLong, [&] { Exec(earlierPath, {"update tdpfr set MAR='AB'"}); });
  ExpectError(err::kDataType, [&] { Exec(earlierPath, {"update tdpfr set FMP='mañana'"}); });
  ExpectError(err::kDataType, [&] { Exec(earlierPath, {"update tdpfe set EJERMET=3000000000"}); });
  EXPECT_EQ(Dump(earlierPath, "tdpfe")[1],
            "1|2|3|<null>|a|<null>|<null>|<null>|0.5|" + std::string(25, 'r') + "|0|0|0|||0|0||");
}

TEST_P(Transfer, MarkerIgnoresCaseAndOnlyMissingGroupsAreAdded) {
  // Group 1 present under lower-case names, with values of its own.
  Exec(earlierPath,
       {"alter table tdpfe add column sdi REAL", "alter table tdpfe add column refcat TEXT",
        "alter table tdpfe add column ipm REAL", "alter table tdpfe add column ejermet INTEGER",
        "alter table tdpfe add column ipptdi REAL",
        "insert into tdpfe (CSCI, CSDO, sdi, refcat) values (1, 2, 2.5, 'R')"});
  EXPECT_TRUE(Run(earlierPath));
  EXPECT_TRUE(ui->messages.empty());
  const auto fe = Dump(earlierPath, "tdpfe");
  // Names as the file keeps them; the server folds unquoted names, and its
  // result sets spell known columns as the layout does.
  EXPECT_EQ(
      fe[0],
      OnServer()
          ? "CSCI|CSDO|NOFAC|NOREG|IIA|IFR|TRE|CRE|SDI|REFCAT|IPM|EJERMET|IPPTDI|MC|MC_CC|FMC|"
            "IC|MAR|"
          : "CSCI|CSDO|NOFAC|NOREG|IIA|IFR|TRE|CRE|sdi|refcat|ipm|ejermet|ipptdi|MC|MC_CC|FMC|"
            "IC|MAR|");
  EXPECT_EQ(fe[1],
            "1|2|<null>|<null>|<null>|<null>|<null>|<null>|2.5|R|<null>|<null>|<null>|||0|0||");
}

TEST_P(Transfer, GroupFailingHalfWayKeepsItsFirstColumnsAndTheRunGoesOn) {
  // The last column of group 1 exists without its marker: SDI..EJERMET go in,
  // IPPTDI fails, and the group's update (which would zero IPPTDI) never runs.
  Exec(earlierPath, {"alter table tdpfe add column IPPTDI REAL",
                     "insert into tdpfe (CSCI, CSDO, IPPTDI) values (1, 2, 7.5)",
                     "insert into tdpfr (CSCI, CSDO, CD) values (1, 3, 1)"});
  EXPECT_TRUE(Run(earlierPath));
  EXPECT_EQ(ui->messages, std::vector<std::string>{kGroupFailed});
  const auto fe = Dump(earlierPath, "tdpfe");
  EXPECT_EQ(
      fe[0],
      "CSCI|CSDO|NOFAC|NOREG|IIA|IFR|TRE|CRE|IPPTDI|SDI|REFCAT|IPM|EJERMET|MC|MC_CC|FMC|IC|MAR|");
  EXPECT_EQ(fe[1], "1|2|<null>|<null>|<null>|<null>|<null>|<null>|7.5|0||0|0|||0|0||");
  EXPECT_EQ(Dump(earlierPath, "tdpfr")[1], "1|3|<null>|<null>|<null>|1|||0|0||");
}

TEST_P(Transfer, OtherFailuresAreRaisedWithTheTagAndUndoTheWholeTransfer) {
  Error e = ExpectError(err::kFileNotFound, [&] { Run((dir / "no-existe.db").string()); });
  EXPECT_EQ(e.description().rfind("cTraspaso.Traspaso ", 0), 0u) << e.description();

  // A missing table fails the run, and the groups of the tables before it are undone.
  Exec(earlierPath, {"drop table tdpfr"});
  const auto before = Dump(earlierPath, "tdpfe");
  e = ExpectError(err::kItemNotFound, [&] { Run(earlierPath); });
  EXPECT_EQ(e.description().rfind("cTraspaso.Traspaso ", 0), 0u) << e.description();
  EXPECT_EQ(Dump(earlierPath, "tdpfe"), before);
  EXPECT_NE(before[0], Dump(userPath, "tdpfe")[0]);
  EXPECT_TRUE(ui->messages.empty());
}

// Another program's lock on the file.
class FileTransfer : public TransferTest {};

TEST_F(FileTransfer, WriteLockedFileRaisesAndChangesNothingUntilTheLockIsGone) {
  Exec(earlierPath, {"insert into tdpfe (CSCI, CSDO, NOFAC) values (1, 2, 3)"});
  const auto before = Dump(earlierPath, "tdpfe");
  const auto beforeFr = Dump(earlierPath, "tdpfr");
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(earlierPath.c_str(), &other), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
  const Error e = ExpectError(err::kLocked, [&] { Run(earlierPath); });
  EXPECT_EQ(e.description().rfind("cTraspaso.Traspaso ", 0), 0u) << e.description();
  EXPECT_TRUE(ui->messages.empty());
  sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
  sqlite3_close(other);
  EXPECT_EQ(Dump(earlierPath, "tdpfe"), before);
  EXPECT_EQ(Dump(earlierPath, "tdpfr"), beforeFr);

  EXPECT_TRUE(Run(earlierPath));
  EXPECT_TRUE(ui->messages.empty());
  EXPECT_EQ(Dump(earlierPath, "tdpfe")[0], Dump(userPath, "tdpfe")[0]);
  EXPECT_EQ(Dump(earlierPath, "tdpfr")[0], Dump(userPath, "tdpfr")[0]);
}

TEST_P(Transfer, ThroughTheObjectCreatedByName) {
  Exec(earlierPath, {"insert into tdpfr (CSCI, CSDO) values (1, 2)"});
  auto obj = CreateObject("kolvar.cTraspaso");
  obj->Let("MDBMOD", Value(earlierPath));
  obj->Let("mdblec", Value(referencePath));
  obj->Let("mdbpath", Value(dir.string()));
  ExpectError(err::kNoMember, [&] { obj->Get("mdbPath"); });
  std::vector<Value> none;
  const Value result = obj->Call("traspaso", none);
  EXPECT_EQ(result.type(), VarType::Boolean);
  EXPECT_TRUE(result.toBool());
  EXPECT_EQ(Dump(earlierPath, "tdpfr")[1], "1|2|<null>|<null>|<null>|<null>|||0|0||");
}

}  // namespace
}  // namespace kolvar::testing
