#include "form340_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>

#include "book_choice.h"
#include "form340_layout.h"
#include "text_file.h"

namespace kolvar::cli {

namespace {

// A number read from a grid cell ("" counts as 0), rounded to a whole number.
long long WholeNumber(const std::string& text) {
  if (text.empty()) return 0;
  return std::llround(std::strtod(text.c_str(), nullptr));
}

std::string Cell(const Value& grid, int column, int row) {
  const Value& v = grid(column, row);
  return v.isEmpty() || v.isNull() ? std::string() : v.toString();
}

// A 500-character line filled field by field, by the field keys of the layout.
class LineBuilder {
 public:
  LineBuilder(bool declarant, char book, int year)
      : declarant_(declarant), book_(book), year_(year), chars_(kLineLength, U' ') {}

  // Left-aligned, blank-padded, cut at the field's width.
  void Text(std::string_view key, std::string_view text) {
    const FieldPlace& p = Place(key);
    const std::u32string t = DecodeUtf8(text);
    for (std::size_t i = 0; i < t.size() && i < static_cast<std::size_t>(p.width); ++i)
      chars_[p.start - 1 + i] = t[i];
  }
  // Zero-filled to the field's width.
  void Digits(std::string_view key, long long n) {
    const FieldPlace& p = Place(key);
    Text(key, ZeroFilled(n, p.width));
  }
  // A sign position ("N" negative, blank otherwise) and zero-filled digits.
  void Amount(std::string_view key, long long n) {
    const FieldPlace& p = Place(key);
    Text(key, (n < 0 ? "N" : " ") + ZeroFilled(n < 0 ? -n : n, p.width - 1));
  }
  std::string Line() const { return EncodeUtf8(chars_); }

 private:
  static std::string ZeroFilled(long long n, int width) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    if (static_cast<int>(digits.size()) < width)
      digits.insert(0, width - digits.size() - (n < 0), '0');
    return n < 0 ? "-" + digits : digits;
  }
  const FieldPlace& Place(std::string_view key) const {
    const FieldPlace* p = FindPlace(key, declarant_, book_, year_);
    if (p == nullptr) std::abort();  // a key missing from the layout is a programming error
    return *p;
  }
  bool declarant_;
  char book_;
  int year_;
  std::u32string chars_;
};

// The detail fields of a book's line: where each comes from in the grid, how
// it is written, and the first year whose layout has it (zeros and blanks
// where the cash basis does not apply).
enum class Put { Digits, Amount, Text };
struct DetailCell {
  const char* key;
  int column;
  Put put;
  int fromYear = 0;
};

const std::vector<DetailCell>& DetailCells(char book) {
  static const std::vector<DetailCell> kIssued = {{"PFE_NOFAC", kFeNOFAC, Put::Digits},
                                                  {"PFE_NOREG", kFeNOREG, Put::Digits},
                                                  {"PFE_IIA", kFeIIA, Put::Text},
                                                  {"PFE_IFR", kFeIFR, Put::Text},
                                                  {"PFE_TRE", kFeTRE, Put::Digits},
                                                  {"PFE_CRE", kFeCRE, Put::Amount},
                                                  {"PFE_SDI", kFeSDI, Put::Digits, 2012},
                                                  {"PFE_REFCAT", kFeREFCAT, Put::Text, 2012},
                                                  {"PFE_IPM", kFeIPM, Put::Digits, 2012},
                                                  {"PFE_EJERMET", kFeEJERMET, Put::Digits, 2012},
                                                  {"PFE_IPPTDI", kFeIPPTDI, Put::Digits, 2012},
                                                  {"PFE_FMC", kFeFMC, Put::Digits, 2014},
                                                  {"PFE_IC", kFeIC, Put::Amount, 2014},
                                                  {"PFE_MC", kFeMC, Put::Text, 2014},
                                                  {"PFE_MC_CC", kFeMC_CC, Put::Text, 2014},
                                                  {"PFE_MARCA", kFeMAR, Put::Text, 2014}};
  static const std::vector<DetailCell> kReceived = {
      {"PFR_NOFAC", kFrNOFAC, Put::Digits},   {"PFR_NOREG", kFrNOREG, Put::Digits},
      {"PFR_IIA", kFrIIA, Put::Text},         {"PFR_CD", kFrCD, Put::Amount},
      {"PFR_FMP", kFrFMP, Put::Digits, 2014}, {"PFR_IP", kFrIP, Put::Amount, 2014},
      {"PFR_MP", kFrMP, Put::Text, 2014},     {"PFR_MP_CC", kFrMP_CC, Put::Text, 2014},
      {"PFR_MARCA", kFrMAR, Put::Text, 2014}};
  static const std::vector<DetailCell> kInvestment = {
      {"PBI_PAD", kBiPAD, Put::Digits}, {"PBI_RAD", kBiRAD, Put::Amount},
      {"PBI_IDE", kBiIDE, Put::Text},   {"PBI_RADE", kBiRADE, Put::Amount},
      {"PBI_FIU", kBiFIU, Put::Digits}, {"PBI_IDBIEN", kBiIDBIEN, Put::Text}};
  static const std::vector<DetailCell> kIntraCommunity = {
      {"PDOI_TOI", kDoiTOI, Put::Text},         {"PDOI_CD", kDoiCD, Put::Text},
      {"PDOI_CEM", kDoiCEM, Put::Text},         {"PDOI_PDE", kDoiPDE, Put::Digits},
      {"PDOI_DESBIEN", kDoiDESBIEN, Put::Text}, {"PDOI_DOI", kDoiDOI, Put::Text},
      {"PDOI_POI", kDoiPOI, Put::Text},         {"PDOI_CP", kDoiCP, Put::Text},
      {"PDOI_OFOD", kDoiOFOD, Put::Text}};
  static const std::vector<DetailCell> kNone;
  return ForBook(book, kIssued, kReceived, kInvestment, kIntraCommunity, kNone);
}

}  // namespace

std::string ComposeDeclarantLine(const Declarant& declarant, const Declaration& declaration,
                                 long records, const FileTotals& totals) {
  LineBuilder l(true, ' ', declaration.year);
  const std::string period = PeriodText(declaration);
  l.Text("TIPOREG", "1");
  l.Text("MODELO", "340");
  l.Digits("EJERCICIO", declaration.year);
  l.Text("NIFDTE", declarant.taxId);
  l.Text("NOMBRE", declarant.name);
  l.Text("TS", "T");
  l.Text("TELEFONO", declarant.phone);
  l.Text("NOMBREPC", declarant.contact);
  l.Text("DECLMOD", "340");
  l.Digits("DECLEJE", declaration.year);
  l.Text("DECLPER", period);
  l.Digits("DECLNUM", declaration.sequence);
  l.Text("DECLCOM", declaration.complementary);
  l.Text("DECLSUS", declaration.substitutive);
  if (declaration.previous > 0) {
    char number[24];
    std::snprintf(number, sizeof number, "340%04d%s%04d", declaration.year, period.c_str(),
                  declaration.previous);
    l.Text("DECLIDA", number);
  } else {
    l.Digits("DECLIDA", 0);
  }
  l.Text("PERIODO", period);
  l.Digits("NUMREG", records);
  l.Amount("TOTALBI", std::llround(totals.base));
  l.Amount("TOTALCUO", std::llround(totals.tax));
  l.Amount("TOTALFAC", std::llround(totals.total));
  l.Text("NIFREP", declarant.representative);
  return l.Line();
}

std::string ComposeRecordLine(const Value& grid, int row, const Declarant& declarant, int year) {
  const auto text = [&](int column) { return Cell(grid, column, row); };
  const auto number = [&](int column) { return WholeNumber(Cell(grid, column, row)); };
  const std::string bookText = text(kCDTL);
  const char book = bookText.size() == 1 ? bookText[0] : ' ';
  LineBuilder l(false, book, year);
  l.Text("TIPOREG", "2");
  l.Text("MODELO", "340");
  l.Digits("EJERCICIO", year);
  l.Text("NIFDTE", declarant.taxId);
  l.Text("NIF", text(kNIF));
  l.Text("NREP", text(kNREP));
  l.Text("NOMBRE", text(kNOMBRE));
  l.Text("PAIS", text(kPAIS));
  l.Digits("CNIPR", number(kCNIPR));
  l.Text("NIFDPR", text(kNIFDPR));
  l.Text("CDTL", bookText);
  l.Text("CDO", text(kCDO));
  l.Digits("FDE", number(kFDE));
  l.Digits("FDO", number(kFDO));
  l.Digits("TIPOIMP", number(kTIPOIMP));
  l.Amount("BIMP", number(kBIMP));
  l.Amount("CUOTA", number(kCUOTA));
  l.Amount("IMPTF", number(kIMPTF));
  l.Amount("BASEIMPCOSTE", number(kBASEIMPCOSTE));
  l.Text("IDFACTURA", text(kIDFACTURA));
  l.Text("NODEREG", text(kNODEREG));
  for (const DetailCell& cell : DetailCells(book)) {
    if (year < cell.fromYear) continue;
    switch (cell.put) {
      case Put::Digits:
        l.Digits(cell.key, number(cell.column));
        break;
      case Put::Amount:
        l.Amount(cell.key, number(cell.column));
        break;
      case Put::Text:
        l.Text(cell.key, text(cell.column));
        break;
    }
  }
  return l.Line();
}

std::vector<std::string> ComposeFile(const Declarant& declarant, const Declaration& declaration,
                                     const Value& totals, const Value& grid) {
  std::vector<int> rows;
  if (grid.isArray()) {
    rows.resize(grid.ubound(2));
    std::iota(rows.begin(), rows.end(), 1);
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
      return WholeNumber(Cell(grid, kCSDO, a)) < WholeNumber(Cell(grid, kCSDO, b));
    });
  }
  FileTotals sums;
  if (totals.isArray()) {
    const auto sum = [&](int i) {
      const Value& v = totals(i);
      return v.isEmpty() || v.isNull() ? 0.0 : static_cast<double>(WholeNumber(v.toString()));
    };
    sums = {sum(0), sum(1), sum(2)};
  }
  std::vector<std::string> lines;
  lines.reserve(rows.size() + 1);
  lines.push_back(
      ComposeDeclarantLine(declarant, declaration, static_cast<long>(rows.size()), sums));
  for (int r : rows) lines.push_back(ComposeRecordLine(grid, r, declarant, declaration.year));
  return lines;
}

}  // namespace kolvar::cli
