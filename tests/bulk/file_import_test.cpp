// A whole declaration file in one batch: the rows it stores match the
// line-by-line calls, findings stop it unless partial import is asked, a
// cancel stores nothing, and the file's text is read in either encoding.
#include <sqlite3.h>

#include <fstream>

#include "form340_lines.h"
#include "integrity/database_dump.h"
#include "kolvar/batch.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

constexpr std::int32_t kDeclaration = 7;

// Every row of every table of the user database, in key order, as text; in
// a file with the type each cell was stored as.
std::string Dump(const std::string& path) {
  std::string out;
  for (const char* table : {"tOperadores", "tdpfe", "tdpfr", "tdpbi", "tdpdoi"}) {
    const std::string select = std::string("SELECT * FROM ") + table + " ORDER BY CSDO";
    out += std::string(table) + "\n";
    if (db::pg::IsServerAddress(path)) {
      out += DumpRows(path, select);
      continue;
    }
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* stmt = nullptr;
    sqlite3_prepare_v2(db, select.c_str(), -1, &stmt, nullptr);
    while (sqlite3_step(stmt) == SQLITE_ROW) {
      for (int i = 0; i < sqlite3_column_count(stmt); ++i) {
        const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(stmt, i));
        out += std::to_string(sqlite3_column_type(stmt, i)) + ":" + (t ? t : "NULL") + "|";
      }
      out += "\n";
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
  }
  return out;
}

class FileImport : public PerEngine<DatabaseTest> {
 protected:
  ImportTarget Target(int year, const std::string& user) const {
    return {user, referencePath, kDeclaration, year, 12, 1};
  }
  std::string Write(const std::string& name, const std::string& bytes) const {
    const std::string path = (dir / name).string();
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  std::int32_t Stored() {
    return ScalarUser("SELECT count(*) FROM tOperadores WHERE CSCI = 7").toLong();
  }
  // The lines of a file through the class created by name, one call each.
  void ImportLineByLine(const std::string& path, int year, const std::string& user) {
    auto import = CreateObject("kolvar.cImportacion");
    import->Let("mdblec", Value(referencePath));
    import->Let("mdbmod", Value(user));
    import->Let("Declaracion", Value(std::to_string(kDeclaration)));
    import->Let("Ejercicio", Value(std::int32_t{year}));
    import->Let("Periodo", Value(std::int16_t{12}));
    import->Let("Periodicidad", Value(std::int16_t{1}));
    import->Let("EjercicioMin", Value(std::int32_t{2008}));
    import->Let("EjercicioMax", Value(std::int32_t{2099}));
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      std::vector<Value> args{Value(line), Value()};
      if (line[0] == '1') import->Call("ValidarDeclaracionDte", args);
      args = {Value(line), Value(), Value(kDeclaration)};
      import->Call("importDeclarado", args);
      ASSERT_EQ(import->Get("Resultado").toLong(), 0) << args[1](0, 0).toString() << " " << line;
    }
  }
};
KOLVAR_PER_ENGINE(FileImport);

TEST_P(FileImport, StoresTheSameRowsAsTheLineByLineCallsForEveryBookAndYear) {
  for (int year : {2011, 2012, 2013, 2014}) {
    const std::string file = (dir / ("f" + std::to_string(year))).string();
    ASSERT_TRUE(generated::WriteFile(file, year, 21));
    const std::string bulk = OtherUserDatabase("bulk" + std::to_string(year));
    const std::string single = OtherUserDatabase("single" + std::to_string(year));
    const ImportResult r = ImportFile(file, Target(year, bulk));
    EXPECT_EQ(r.findingCount, 0) << (r.findings.empty() ? "" : r.findings[0].text);
    EXPECT_EQ(r.lines, 22);
    EXPECT_EQ(r.stored, 21);
    ImportLineByLine(file, year, single);
    const std::string rows = Dump(bulk);
    EXPECT_EQ(rows, Dump(single)) << year;
    EXPECT_NE(rows.find("|\n"), std::string::npos);  // rows were compared, not two empty dumps
  }
}

TEST_P(FileImport, AFindingStoresNothingUnlessPartialAndNamesItsField) {
  std::string bad = generated::RecordLine(2014, 1);
  bad.replace(17, 9, "12345678A");  // NIF at 18 with a wrong letter
  const std::string file =
      Write("bad.txt", generated::DeclarantLine(2014) + "\n" + generated::RecordLine(2014, 0) +
                           "\n" + bad + "\n" + generated::RecordLine(2014, 2) + "\n");
  ImportResult r = ImportFile(file, Target(2014, userPath));
  EXPECT_EQ(r.stored, 0);
  EXPECT_EQ(Stored(), 0);
  EXPECT_EQ(r.linesWithFindings, 1);
  ASSERT_EQ(r.findings.size(), 1u);
  EXPECT_EQ(r.findings[0].line, 3);
  EXPECT_EQ(r.findings[0].field, "NIF");
  EXPECT_EQ(r.findings[0].position, 18);
  EXPECT_EQ(r.findings[0].code, 23);
  EXPECT_EQ(r.findings[0].text, "12345678A");

  ImportOptions partial;
  partial.partial = true;
  r = ImportFile(file, Target(2014, userPath), partial);
  EXPECT_EQ(r.stored, 2);
  EXPECT_EQ(Stored(), 2);

  // A header of another year: rejected, nothing stored even when partial.
  r = ImportFile(file, Target(2013, userPath), partial);
  EXPECT_TRUE(r.rejected);
  EXPECT_EQ(r.findings.at(0).code, 72);
  EXPECT_EQ(Stored(), 2);
}

TEST_P(FileImport, ACancelStoresNothingEvenAfterTheLastRecordWasWritten) {
  // Past 4096 lines on the file, for the report in the middle of a pass; the
  // server's run (slower per record) keeps to the reports at each pass's end.
  const int records = OnServer() ? 300 : 5000;
  const std::string file = (dir / "f.txt").string();
  ASSERT_TRUE(generated::WriteFile(file, 2014, records));
  std::vector<ImportProgress> seen;
  const ImportResult r = ImportFile(file, Target(2014, userPath), {}, [&](const ImportProgress& p) {
    seen.push_back(p);
    return !(p.pass == 2 && p.lines == records + 1);  // the final report of the import pass
  });
  EXPECT_TRUE(r.cancelled);
  EXPECT_EQ(r.stored, 0);
  EXPECT_EQ(Stored(), 0);
  const std::size_t perPass = records > 4096 ? 2 : 1;
  ASSERT_EQ(seen.size(), 2 * perPass);  // one every 4096 lines and one at the end, per pass
  if (perPass == 2) {
    EXPECT_EQ(seen[0].lines, 4096);
  }
  EXPECT_EQ(seen[perPass - 1].bytesRead, seen[perPass - 1].bytesTotal);
  EXPECT_EQ(seen[perPass - 1].bytesTotal, (records + 1) * 502);
  EXPECT_EQ(seen[perPass].pass, 2);
  const ImportResult again = ImportFile(file, Target(2014, userPath));
  EXPECT_EQ(again.stored, records);
  EXPECT_EQ(Stored(), records);
}

// The import pass stores the lines the validation pass found clean without
// checking them again, so a file rewritten between the passes stores nothing.
TEST_P(FileImport, AFileChangedBetweenThePassesStoresNothing) {
  const std::string good = generated::DeclarantLine(2014) + "\n" + generated::RecordLine(2014, 0) +
                           "\n" + generated::RecordLine(2014, 1);
  std::string bad = generated::RecordLine(2014, 1);
  bad.replace(17, 9, "12345678A");
  const std::string file = Write("f.txt", good + "\n");
  ExpectError(err::kCopyMismatch, [&] {
    ImportFile(file, Target(2014, userPath), {}, [&](const ImportProgress& p) {
      if (p.pass == 1) Write("f.txt", good.substr(0, good.size() - bad.size()) + bad + "\n");
      return true;
    });
  });
  EXPECT_EQ(Stored(), 0);
}

TEST_P(FileImport, Latin1AndUtf8TextCrLfAndTheEndOfFileMark) {
  std::string latin = generated::RecordLine(2014, 3);
  latin.replace(35, 9,
                "PE\xD1"
                "A SL  ");  // Ñ in ISO-8859-1
  std::string utf = generated::RecordLine(2014, 4);
  utf.replace(35, 9,
              "PE\xC3\x91"
              "A SL  ");  // Ñ in UTF-8: two bytes, one character
  const std::string file = Write(
      "enc.txt", generated::DeclarantLine(2014) + "\r\n" + latin + "\r\n" + utf + "\n\r\n\x1A");
  const ImportResult r = ImportFile(file, Target(2014, userPath));
  EXPECT_EQ(r.lines, 3);
  EXPECT_EQ(r.findingCount, 0) << (r.findings.empty() ? "" : r.findings[0].text);
  EXPECT_EQ(ScalarUser("SELECT count(*) FROM tOperadores WHERE NOMBRE = 'PEÑA SL'").toLong(), 2);
  ExpectError(err::kFileNotFound,
              [&] { ImportFile((dir / "none").string(), Target(2014, userPath)); });
}

}  // namespace
}  // namespace kolvar::testing
