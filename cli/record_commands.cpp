#include "record_commands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>

#include "amounts.h"
#include "book_choice.h"
#include "declaration_commands.h"
#include "errors.h"
#include "ui_text.h"

namespace kolvar::cli {

namespace {

enum class Kind { Text, Whole, Amount, Date, Rate };

struct CommonField {
  const char* name;
  int index;  // in the record buffer
  Kind kind;
};
const CommonField kCommon[] = {{"nif", 2, Kind::Text},          {"representative", 3, Kind::Text},
                               {"name", 4, Kind::Text},         {"country", 5, Kind::Text},
                               {"id_key", 6, Kind::Whole},      {"foreign_id", 7, Kind::Text},
                               {"book", 8, Kind::Text},         {"operation", 9, Kind::Text},
                               {"issued", 10, Kind::Date},      {"operated", 11, Kind::Date},
                               {"rate", 12, Kind::Rate},        {"base", 13, Kind::Amount},
                               {"tax", 14, Kind::Amount},       {"total", 15, Kind::Amount},
                               {"cost_base", 16, Kind::Amount}, {"invoice", 17, Kind::Text},
                               {"register", 18, Kind::Text}};

struct DetailField {
  const char* name;
  Kind kind;
};

// The detail fields of each book in the order of the record buffer (from 21).
const std::vector<DetailField>& DetailFields(char book) {
  static const std::vector<DetailField> kIssued = {
      {"NOFAC", Kind::Whole},   {"NOREG", Kind::Whole},   {"IIA", Kind::Text},
      {"IFR", Kind::Text},      {"TRE", Kind::Rate},      {"CRE", Kind::Amount},
      {"SDI", Kind::Whole},     {"REFCAT", Kind::Text},   {"IPM", Kind::Amount},
      {"EJERMET", Kind::Whole}, {"IPPTDI", Kind::Amount}, {"FMC", Kind::Date},
      {"IC", Kind::Amount},     {"MC", Kind::Text},       {"MC_CC", Kind::Text},
      {"MAR", Kind::Text}};
  static const std::vector<DetailField> kReceived = {
      {"NOFAC", Kind::Whole}, {"NOREG", Kind::Whole}, {"IIA", Kind::Text},
      {"CD", Kind::Amount},   {"FMP", Kind::Date},    {"IP", Kind::Amount},
      {"MP", Kind::Text},     {"MP_CC", Kind::Text},  {"MAR", Kind::Text}};
  static const std::vector<DetailField> kInvestment = {
      {"PAD", Kind::Whole},   {"RAD", Kind::Amount}, {"IDE", Kind::Text},
      {"RADE", Kind::Amount}, {"FIU", Kind::Date},   {"IDBIEN", Kind::Text}};
  static const std::vector<DetailField> kIntraCommunity = {
      {"TOI", Kind::Text},  {"CD", Kind::Text},      {"CEM", Kind::Text},
      {"PDE", Kind::Whole}, {"DESBIEN", Kind::Text}, {"DOI", Kind::Text},
      {"POI", Kind::Text},  {"CP", Kind::Text},      {"OFOD", Kind::Text}};
  static const std::vector<DetailField> kNone;
  return ForBook(book, kIssued, kReceived, kInvestment, kIntraCommunity, kNone);
}
// The order in which the library loads a book's detail row.
const std::vector<std::string>& LoadedOrder(char book) {
  static const std::vector<std::string> kIssued = {
      "NOFAC", "NOREG",   "IIA",    "IFR", "TRE",   "CRE", "SDI", "REFCAT",
      "IPM",   "EJERMET", "IPPTDI", "MC",  "MC_CC", "FMC", "IC",  "MAR"};
  static const std::vector<std::string> kReceived = {"NOFAC", "NOREG", "IIA", "CD", "MP",
                                                     "MP_CC", "FMP",   "IP",  "MAR"};
  static const std::vector<std::string> kInvestment = {"PAD",  "RAD", "IDE",
                                                       "RADE", "FIU", "IDBIEN"};
  static const std::vector<std::string> kIntraCommunity = {"TOI", "CD",  "CEM", "PDE", "DESBIEN",
                                                           "DOI", "POI", "CP",  "OFOD"};
  static const std::vector<std::string> kNone;
  return ForBook(book, kIssued, kReceived, kInvestment, kIntraCommunity, kNone);
}

// The library's text of a typed value: digits and a hyphen only.
std::string Converted(const std::string& option, const std::string& value, Kind kind, Lang lang) {
  switch (kind) {
    case Kind::Text:
      return value;
    case Kind::Whole:
      return std::to_string(WholeArgument(option, value, 0, 2147483647, lang));
    case Kind::Amount:
    case Kind::Rate:
      return std::to_string(CentsArgument(option, value, lang));
    case Kind::Date:
      return std::to_string(DateArgument(option, value, lang));
  }
  return value;
}

std::string OptionName(const std::string& field) {
  std::string option = "--" + field;
  std::replace(option.begin(), option.end(), '_', '-');
  return option;
}

std::string CellText(const Value& v) {
  return v.isEmpty() || v.isNull() ? std::string() : v.toString();
}

// A record buffer with the numbers the library converts set to 0.
Value EmptyBuffer() {
  Value b = Value::Array({{0, 37}});
  for (const CommonField& f : kCommon)
    b(f.index) = Value(f.kind == Kind::Text ? std::string() : std::string("0"));
  return b;
}

void SetDetailDefaults(Value& b, char book) {
  const auto& fields = DetailFields(book);
  for (std::size_t i = 0; i < fields.size(); ++i)
    b(21 + static_cast<int>(i)) =
        Value(fields[i].kind == Kind::Text ? std::string() : std::string("0"));
}

char BookOf(const Value& b) {
  const std::string text = CellText(b(8));
  return text.size() == 1 ? text[0] : ' ';
}

// Applies the named fields; a detail name that the book does not have is a
// UsageError.
void Apply(Value& b, const Fields& fields, Lang lang) {
  const char before = BookOf(b);
  for (const CommonField& f : kCommon)
    if (auto it = fields.find(f.name); it != fields.end())
      b(f.index) = Value(Converted(OptionName(f.name), it->second, f.kind, lang));
  const char book = BookOf(b);
  if (book != before) SetDetailDefaults(b, book);
  if (fields.count("foreign_id") && !fields.count("id_key")) b(6) = Value(std::string("2"));
  const auto& details = DetailFields(book);
  for (const auto& [name, value] : fields) {
    if (std::any_of(std::begin(kCommon), std::end(kCommon),
                    [&](const CommonField& f) { return name == f.name; }))
      continue;
    auto d = std::find_if(details.begin(), details.end(),
                          [&](const DetailField& f) { return name == f.name; });
    if (d == details.end()) {
      std::string names;
      for (const DetailField& f : details) names += std::string(names.empty() ? "" : " ") + f.name;
      throw UsageError(Format(Say::BadChoice, lang, {"--detail", name, names}));
    }
    b(21 + static_cast<int>(d - details.begin())) = Value(Converted(name, value, d->kind, lang));
  }
}

RecordSaved Save(const Library& library, Value b, const Declaration& decl) {
  b(0) = Value(decl.key);
  b(19) = Value(std::to_string(decl.year));
  b(20) = Value(std::to_string(decl.period));
  const Value errors = library.SaveRecord(b, decl.year, true);
  RecordSaved saved;
  if (errors.isArray() && !errors(0, 0).isEmpty()) {
    for (int k = 0; k <= errors.ubound(2); ++k)
      saved.findings.push_back({errors(0, k).toLong(), errors(1, k).toLong()});
    return saved;
  }
  const std::int32_t key = b(1).toLong();
  if (key != 0) {
    saved.key = key;
  } else {
    auto service = CreateObject("kolvar.cDeclarado");
    service->Let("mdbmod", Value(library.paths().user));
    saved.key = CallMethod(*service, "MaxDeclarado", {}).toLong();
  }
  return saved;
}

struct Located {
  Declaration declaration;
  Value buffer;
};

// The record with its declaration, as a record buffer.
Located Locate(const Library& library, std::int32_t record, Lang lang) {
  const Value row = library.LoadRecord(record);
  if (!row.isArray()) throw UsageError(Format(Say::UnknownRecord, lang, {std::to_string(record)}));
  std::optional<Declaration> owner;
  for (const Declaration& d : library.AllDeclarations()) {
    const Value grid = library.RecordsOf(d.key);
    for (int r = 1; grid.isArray() && r <= grid.ubound(2) && !owner; ++r)
      if (grid(0, r).toLong() == record) owner = d;
    if (owner) break;
  }
  if (!owner) throw UsageError(Format(Say::UnknownRecord, lang, {std::to_string(record)}));
  Located found{*owner, EmptyBuffer()};
  Value& b = found.buffer;
  b(1) = Value(record);
  for (int i = 0; i <= 16; ++i) b(2 + i) = Value(CellText(row(i)));
  const char book = BookOf(b);
  SetDetailDefaults(b, book);
  const Value detail = library.LoadDetail(book, record);
  if (detail.isArray()) {
    const auto& order = LoadedOrder(book);
    const auto& fields = DetailFields(book);
    for (std::size_t i = 0; i < order.size(); ++i) {
      auto d = std::find_if(fields.begin(), fields.end(),
                            [&](const DetailField& f) { return order[i] == f.name; });
      b(21 + static_cast<int>(d - fields.begin())) = Value(CellText(detail(static_cast<int>(i))));
    }
  }
  return found;
}

double Number(const std::string& text) {
  return text.empty() ? 0 : std::strtod(text.c_str(), nullptr);
}

}  // namespace

RecordSaved AddRecord(const Library& library, std::int32_t declaration, const Fields& fields,
                      Lang lang) {
  const Declaration decl = ExistingDeclaration(library, declaration, lang);
  Value b = EmptyBuffer();
  b(1) = Value(std::int32_t{0});
  b(6) = Value(std::string("1"));
  Apply(b, fields, lang);
  return Save(library, b, decl);
}

RecordSaved EditRecord(const Library& library, std::int32_t record, const Fields& fields,
                       Lang lang) {
  Located found = Locate(library, record, lang);
  Apply(found.buffer, fields, lang);
  return Save(library, found.buffer, found.declaration);
}

RecordSaved DuplicateRecord(const Library& library, std::int32_t record, Lang lang) {
  Located found = Locate(library, record, lang);
  found.buffer(1) = Value(std::int32_t{0});
  return Save(library, found.buffer, found.declaration);
}

nlohmann::json ListRecords(const Library& library, std::int32_t declaration, Lang lang) {
  ExistingDeclaration(library, declaration, lang);
  nlohmann::json rows = nlohmann::json::array();
  const Value grid = library.RecordsOf(declaration);
  for (int r = 1; grid.isArray() && r <= grid.ubound(2); ++r)
    rows.push_back({{"key", grid(0, r).toLong()},
                    {"nif", CellText(grid(1, r))},
                    {"name", CellText(grid(2, r))},
                    {"book", CellText(grid(3, r))},
                    {"operation", CellText(grid(4, r))},
                    {"total", FromCents(Number(CellText(grid(5, r))))}});
  return rows;
}

nlohmann::json ShowRecord(const Library& library, std::int32_t record, Lang lang) {
  const Located found = Locate(library, record, lang);
  const Value& b = found.buffer;
  nlohmann::json doc = {{"key", record}, {"declaration", found.declaration.key}};
  for (const CommonField& f : kCommon) {
    const std::string text = CellText(b(f.index));
    switch (f.kind) {
      case Kind::Amount:
      case Kind::Rate:
        doc[f.name] = FromCents(Number(text));
        break;
      case Kind::Date:
        doc[f.name] = DateText(std::llround(Number(text)));
        break;
      case Kind::Whole:
        doc[f.name] = std::llround(Number(text));
        break;
      case Kind::Text:
        doc[f.name] = text;
        break;
    }
  }
  nlohmann::json detail = nlohmann::json::object();
  const auto& fields = DetailFields(BookOf(b));
  for (std::size_t i = 0; i < fields.size(); ++i)
    detail[fields[i].name] = CellText(b(21 + static_cast<int>(i)));
  doc["detail"] = detail;
  return doc;
}

void DeleteRecord(const Library& library, std::int32_t record, Lang lang) {
  const Located found = Locate(library, record, lang);
  library.DeleteRecord(record, found.declaration.key);
}

}  // namespace kolvar::cli
