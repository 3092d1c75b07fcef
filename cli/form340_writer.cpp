#include "form340_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <numeric>

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
  switch (book) {
    case 'E':
    case 'F':
      l.Digits("PFE_NOFAC", number(kFeNOFAC));
      l.Digits("PFE_NOREG", number(kFeNOREG));
      l.Text("PFE_IIA", text(kFeIIA));
      l.Text("PFE_IFR", text(kFeIFR));
      l.Digits("PFE_TRE", number(kFeTRE));
      l.Amount("PFE_CRE", number(kFeCRE));
      if (year >= 2012) {
        l.Digits("PFE_SDI", number(kFeSDI));
        l.Text("PFE_REFCAT", text(kFeREFCAT));
        l.Digits("PFE_IPM", number(kFeIPM));
        l.Digits("PFE_EJERMET", number(kFeEJERMET));
        l.Digits("PFE_IPPTDI", number(kFeIPPTDI));
      }
      if (year >= 2014) {  // zeros and blanks where the cash basis does not apply
        l.Digits("PFE_FMC", number(kFeFMC));
        l.Amount("PFE_IC", number(kFeIC));
        l.Text("PFE_MC", text(kFeMC));
        l.Text("PFE_MC_CC", text(kFeMC_CC));
        l.Text("PFE_MARCA", text(kFeMAR));
      }
      break;
    case 'R':
    case 'S':
      l.Digits("PFR_NOFAC", number(kFrNOFAC));
      l.Digits("PFR_NOREG", number(kFrNOREG));
      l.Text("PFR_IIA", text(kFrIIA));
      l.Amount("PFR_CD", number(kFrCD));
      if (year >= 2014) {
        l.Digits("PFR_FMP", number(kFrFMP));
        l.Amount("PFR_IP", number(kFrIP));
        l.Text("PFR_MP", text(kFrMP));
        l.Text("PFR_MP_CC", text(kFrMP_CC));
        l.Text("PFR_MARCA", text(kFrMAR));
      }
      break;
    case 'I':
    case 'J':
      l.Digits("PBI_PAD", number(kBiPAD));
      l.Amount("PBI_RAD", number(kBiRAD));
      l.Text("PBI_IDE", text(kBiIDE));
      l.Amount("PBI_RADE", number(kBiRADE));
      l.Digits("PBI_FIU", number(kBiFIU));
      l.Text("PBI_IDBIEN", text(kBiIDBIEN));
      break;
    case 'U':
      l.Text("PDOI_TOI", text(kDoiTOI));
      l.Text("PDOI_CD", text(kDoiCD));
      l.Text("PDOI_CEM", text(kDoiCEM));
      l.Digits("PDOI_PDE", number(kDoiPDE));
      l.Text("PDOI_DESBIEN", text(kDoiDESBIEN));
      l.Text("PDOI_DOI", text(kDoiDOI));
      l.Text("PDOI_POI", text(kDoiPOI));
      l.Text("PDOI_CP", text(kDoiCP));
      l.Text("PDOI_OFOD", text(kDoiOFOD));
      break;
    default:
      break;
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
