// Hostile texts in every text cell of the record, detail and declarant
// buffers, through the public classes: a text is stored as one value (with
// apostrophes turned into acute accents where the column does that) or the
// call fails with nothing changed; no other declaration or declarant moves.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "declared/detail_layout.h"
#include "declared/sample_records.h"
#include "integrity/database_dump.h"
#include "support/fixture.h"

namespace kolvar::testing {
namespace {

const std::vector<std::string> kHostile{"x' WHERE 1=1 --", "' OR '1'='1", "x'), (2, 'y", "a--"};

std::string Accented(std::string s) {
  for (std::size_t p; (p = s.find('\'')) != std::string::npos;) s.replace(p, 1, "´");
  return s;
}

class HostileText : public PerEngine<DatabaseTest> {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (!Ready()) return;
    for (auto* obj : {&declarado, &declarante, &declaraciones}) {
      (*obj)->Let("mdbmod", Value(userPath));
      (*obj)->Let("mdblec", Value(referencePath));
    }
    declarado->Let("EjercicioDestino", Value(std::int16_t{2014}));
    for (std::int32_t d : {1, 2}) {
      SaveDeclaration(0, "1", "", "");
      SaveDeclarant(DeclarantBuffer(0, "Declarante " + std::to_string(d)));
      for (const char* book : {"E", "R", "I", "U"}) Save(SampleRecord(d, book));
    }
  }
  // The records of declaration 2 and declarant 2, which no call here touches.
  std::string Others() {
    return DumpRows(userPath,
                    "SELECT * FROM tOperadores WHERE CSCI = 2 UNION ALL SELECT * FROM TDeclarante "
                    "WHERE CSDE = 2 ORDER BY 1");
  }
  static Value Call(const std::shared_ptr<Object>& obj, std::string_view method,
                    std::vector<Value> args) {
    return obj->Call(method, args);
  }
  Value Save(const Value& buffer) { return Call(declarado, "GuardarDeclarado", {buffer, false}); }
  std::int32_t SaveDeclarant(const Value& buffer) {
    return Call(declarante, "GuardarDeclarante", {buffer}).toLong();
  }
  std::int32_t SaveDeclaration(std::int32_t key, const std::string& perdad, const std::string& sust,
                               const std::string& comp) {
    return Call(declaraciones, "GuardarDeclaracion",
                {key, 1, 2014, 1, std::int16_t{3}, perdad, sust, comp, 0})
        .toLong();
  }
  static Value DeclarantBuffer(std::int32_t key, const std::string& name) {
    Value b = Value::Array({{0, 17}});
    const Value cells[] = {key, "12345678Z", name,     "CL", "Mayor", 5,     "B",   "2",        "3",
                           "D", 28001,       "Madrid", "",   "910",   "Ana", "600", "11111111H"};
    for (std::int32_t i = 0; i < 17; ++i) b(i) = cells[i];
    return b;
  }
  std::string Stored(const std::string& table, const std::string& column, const std::string& key,
                     std::int32_t csdo) {
    return DumpRows(userPath, "SELECT " + column + " FROM " + table + " WHERE " + key + " = " +
                                  std::to_string(csdo));
  }
  // Runs `call`, which stores `text` in `column` of the row `key` = `row`, and
  // checks the outcome against the database before it.
  template <class Call>
  void Expect(Call call, const std::string& text, bool accented, const std::string& table,
              const std::string& column, const std::string& key, std::int32_t row) {
    const std::string before = DumpUserDatabase(userPath);
    const std::string others = Others();
    std::int32_t number = 0;
    std::int32_t key_ = row;
    try {
      key_ = call();
    } catch (const Error& e) {
      number = e.number();
    }
    const bool apostrophe = text.find('\'') != std::string::npos;
    if (apostrophe && !accented) {
      EXPECT_EQ(number, err::kSyntax);
    }
    if (number != 0) {
      EXPECT_TRUE(number == err::kSyntax || number == err::kTextTooLong) << number;
      EXPECT_EQ(DumpUserDatabase(userPath), before);
    } else {
      EXPECT_EQ(Stored(table, column, key, key_), (accented ? Accented(text) : text) + "\n");
    }
    EXPECT_EQ(Others(), others);
    EXPECT_EQ(UnmatchedDetails(userPath), "");
  }
  std::shared_ptr<Object> declarado = CreateObject("kolvar.cDeclarado");
  std::shared_ptr<Object> declarante = CreateObject("kolvar.cDeclarante");
  std::shared_ptr<Object> declaraciones = CreateObject("kolvar.cDeclaraciones");
};
KOLVAR_PER_ENGINE(HostileText);

TEST_P(HostileText, RecordAndDetailCellsAreOneValueOrNothing) {
  struct Cell {
    std::string book;
    std::int32_t index;
    std::string table, column;
  };
  std::vector<Cell> cells;
  const char* common[] = {"NIF", "NREP", "NOMBRE", "PAIS", "", "NIFDPR", "CDTL", "CDO"};
  for (std::int32_t i = 2; i <= 9; ++i)
    if (*common[i - 2]) cells.push_back({"E", i, "tOperadores", common[i - 2]});
  cells.push_back({"E", 17, "tOperadores", "IDFACTURA"});
  cells.push_back({"E", 18, "tOperadores", "NODEREG"});
  for (const char* book : {"E", "R", "I", "U"}) {
    const declared::DetailLayout& layout = *declared::LayoutOfBook(book);
    for (const declared::DetailColumn& c : layout.columns)
      if (c.type == VarType::String)
        cells.push_back({book, c.bufferIndex, TableOfBook(book), std::string(c.name)});
  }
  // The first record of each book in declaration 1 is the one updated.
  const std::map<std::string, std::int32_t> existing{{"E", 1}, {"R", 2}, {"I", 3}, {"U", 4}};
  for (const Cell& cell : cells)
    for (const std::string& text : kHostile)
      for (bool update : {false, true}) {
        SCOPED_TRACE(cell.column + " <- " + text + (update ? " (update)" : " (new)"));
        Value b = SampleRecord(1, cell.book);
        if (update) b(1) = existing.at(cell.book);
        b(cell.index) = text;
        Expect(
            [&] {
              Save(b);
              return update ? existing.at(cell.book) : Call(declarado, "MaxDeclarado", {}).toLong();
            },
            text, cell.column == "NREP", cell.table, cell.column, "CSDO", 0);
      }
}

TEST_P(HostileText, DeclarantCellsAreOneValueOrNothing) {
  const std::vector<std::pair<std::int32_t, std::string>> cells{
      {1, "dni_cifd"},  {2, "nombred"},     {3, "viad"},  {4, "domiciliod"},  {6, "letrad"},
      {7, "escalerad"}, {8, "pisod"},       {9, "manod"}, {11, "municipiod"}, {13, "telefonod"},
      {14, "nombrepd"}, {15, "telefonopd"}, {16, "nrep"}};
  const std::set<std::string> accented{"nombred", "domiciliod", "letrad",     "escalerad",
                                       "pisod",   "manod",      "municipiod", "nombrepd"};
  for (const auto& [index, column] : cells)
    for (const std::string& text : kHostile)
      for (std::int32_t key : {0, 1}) {
        SCOPED_TRACE(column + " <- " + text + (key ? " (update)" : " (new)"));
        Value b = DeclarantBuffer(key, "Nombre");
        b(index) = text;
        Expect([&] { return SaveDeclarant(b); }, text, accented.count(column) > 0, "TDeclarante",
               column, "CSDE", key);
      }
}

TEST_P(HostileText, DeclarationTextsAreOneValueOrNothing) {
  for (const std::string& text : kHostile)
    for (std::int32_t key : {0, 1})
      for (const std::string column : {"SUST", "COMP", "PERDAD"}) {
        SCOPED_TRACE(column + " <- " + text + (key ? " (update)" : " (new)"));
        Expect(
            [&] {
              return SaveDeclaration(key, column == "PERDAD" ? text : "1",
                                     column == "SUST" ? text : "", column == "COMP" ? text : "");
            },
            text, false, "TDeclaraciones", column, "CSCI", key);
      }
  // Written bare on update, the periodicity must read as a number.
  const std::string before = DumpUserDatabase(userPath);
  for (const char* perdad : {"1, CSDE = 2", "", "1 OR 1", "-2.5 3"})
    ExpectError(err::kSyntax, [&] { SaveDeclaration(1, perdad, "", ""); });
  EXPECT_EQ(DumpUserDatabase(userPath), before);
  EXPECT_EQ(SaveDeclaration(1, " -2.5 ", "", ""), 1);
  EXPECT_EQ(DumpRows(userPath, "SELECT PERDAD FROM TDeclaraciones WHERE CSCI = 1"), "-2.5\n");
}

}  // namespace
}  // namespace kolvar::testing
