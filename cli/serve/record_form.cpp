#include "serve/record_form.h"

#include <cmath>
#include <cstdio>
#include <regex>

namespace kolvar::serve {

namespace {

constexpr FieldKind T = FieldKind::Text;
constexpr FieldKind W = FieldKind::Whole;
constexpr FieldKind A = FieldKind::Amount;
constexpr FieldKind R = FieldKind::Rate;
constexpr FieldKind D = FieldKind::Date;

enum class Group { None, Issued, Received, Investment, IntraCommunity };

Group GroupOf(std::string_view book) {
  if (book == "E" || book == "F") return Group::Issued;
  if (book == "R" || book == "S") return Group::Received;
  if (book == "I" || book == "J") return Group::Investment;
  if (book == "U") return Group::IntraCommunity;
  return Group::None;
}

const std::vector<RecordField> kCommon{
    {"NIF", 2, T, ""},         {"NREP", 3, T, ""},     {"NOMBRE", 4, T, ""},
    {"PAIS", 5, T, "country"}, {"CNIPR", 6, W, ""},    {"NIFDPR", 7, T, ""},
    {"CDTL", 8, T, ""},        {"CDO", 9, T, "key"},   {"FDE", 10, D, ""},
    {"FDO", 11, D, ""},        {"TIPOIMP", 12, R, ""}, {"BIMP", 13, A, ""},
    {"CUOTA", 14, A, ""},      {"IMPTF", 15, A, ""},   {"BASEIMPCOSTE", 16, A, ""},
    {"IDFACTURA", 17, T, ""},  {"NODEREG", 18, T, ""}};

// Detail fields in buffer order; the last number is the column of the detail
// table's load.
const std::vector<RecordField> kIssued{
    {"NOFAC", 21, W, "", 0},   {"NOREG", 22, W, "", 1},    {"IIA", 23, T, "", 2},
    {"IFR", 24, T, "", 3},     {"TRE", 25, R, "", 4},      {"CRE", 26, A, "", 5},
    {"SDI", 27, W, "", 6},     {"REFCAT", 28, T, "", 7},   {"IPM", 29, A, "", 8},
    {"EJERMET", 30, W, "", 9}, {"IPPTDI", 31, A, "", 10},  {"FMC", 32, D, "", 13},
    {"IC", 33, A, "", 14},     {"MC", 34, T, "means", 11}, {"MC_CC", 35, T, "", 12},
    {"MAR", 36, T, "", 15}};
const std::vector<RecordField> kReceived{
    {"NOFAC", 21, W, "", 0},   {"NOREG", 22, W, "", 1}, {"IIA", 23, T, "", 2},
    {"CD", 24, A, "", 3},      {"FMP", 25, D, "", 6},   {"IP", 26, A, "", 7},
    {"MP", 27, T, "means", 4}, {"MP_CC", 28, T, "", 5}, {"MAR", 29, T, "", 8}};
const std::vector<RecordField> kInvestment{{"PAD", 21, W, "", 0}, {"RAD", 22, A, "", 1},
                                           {"IDE", 23, T, "", 2}, {"RADE", 24, A, "", 3},
                                           {"FIU", 25, D, "", 4}, {"IDBIEN", 26, T, "", 5}};
const std::vector<RecordField> kIntraCommunity{
    {"TOI", 21, T, "", 0}, {"CD", 22, T, "", 1},      {"CEM", 23, T, "country", 2},
    {"PDE", 24, W, "", 3}, {"DESBIEN", 25, T, "", 4}, {"DOI", 26, T, "", 5},
    {"POI", 27, T, "", 6}, {"CP", 28, T, "", 7},      {"OFOD", 29, T, "", 8}};
const std::vector<RecordField> kNone{};

// The common rules report a field number per input field.
std::string_view CommonFieldByNumber(int number) {
  static const char* const names[] = {"NIF",     "NREP", "NREP",  "",      "PAIS",        "NIFDPR",
                                      "CDTL",    "NIF",  "CNIPR", "CDO",   "FDE",         "FDO",
                                      "TIPOIMP", "BIMP", "CUOTA", "IMPTF", "BASEIMPCOSTE"};
  if (number < 0 || number > 16) return "";
  return names[number];
}

struct CodeField {
  int code;
  std::string_view field;
};

// The detail rules share field numbers between inputs, so their findings are
// placed by code.
std::string_view DetailFieldByCode(Group group, int code) {
  static const std::vector<CodeField> issued{
      {113, "FMC"},     {112, "IC"},   {114, "MC"},     {110, "MC_CC"}, {129, "MC"},
      {111, "MC_CC"},   {47, "NOFAC"}, {48, "NOREG"},   {50, "TRE"},    {87, "TRE"},
      {51, "CRE"},      {73, "IPM"},   {107, "REFCAT"}, {103, "IPM"},   {106, "EJERMET"},
      {104, "EJERMET"}, {105, "IPM"}};
  static const std::vector<CodeField> received{
      {73, "FDE"},    {118, "FMP"},   {128, "MP"},   {117, "IP"},   {119, "MP"},
      {115, "MP_CC"}, {116, "MP_CC"}, {47, "NOFAC"}, {48, "NOREG"}, {49, "CD"}};
  static const std::vector<CodeField> investment{{34, "PAD"},    {33, "PAD"},  {39, "RAD"},
                                                 {38, "IDBIEN"}, {35, "RADE"}, {40, "FIU"},
                                                 {42, "FIU"}};
  static const std::vector<CodeField> intra{
      {25, "TOI"}, {26, "CD"}, {44, "CEM"}, {45, "PDE"}, {46, "DESBIEN"}};
  const std::vector<CodeField>* table = nullptr;
  switch (group) {
    case Group::Issued:
      table = &issued;
      break;
    case Group::Received:
      table = &received;
      break;
    case Group::Investment:
      table = &investment;
      break;
    case Group::IntraCommunity:
      table = &intra;
      break;
    case Group::None:
      return "";
  }
  for (const auto& entry : *table)
    if (entry.code == code) return entry.field;
  return "";
}

std::string KindName(FieldKind kind) {
  switch (kind) {
    case FieldKind::Whole:
      return "whole";
    case FieldKind::Amount:
      return "amount";
    case FieldKind::Rate:
      return "rate";
    case FieldKind::Date:
      return "date";
    case FieldKind::Text:
      break;
  }
  return "text";
}

nlohmann::json Describe(const std::vector<RecordField>& fields) {
  auto list = nlohmann::json::array();
  for (const auto& f : fields)
    list.push_back({{"key", f.key}, {"kind", KindName(f.kind)}, {"lookup", f.lookup}});
  return list;
}

// "12.5" or "-3,05" -> hundredths ("1250", "-305"); anything else unchanged.
std::string Hundredths(const std::string& text) {
  static const std::regex decimal(R"(^\s*(-?)(\d+)(?:[.,](\d{1,2}))?\s*$)");
  std::smatch m;
  if (!std::regex_match(text, m, decimal)) return text;
  std::string fraction = m[3].str();
  fraction.resize(2, '0');
  std::string digits = m[2].str() + fraction;
  const auto first = digits.find_first_not_of('0');
  digits = first == std::string::npos ? "0" : digits.substr(first);
  return (digits == "0" ? "" : m[1].str()) + digits;
}

std::string Trimmed(const std::string& text) {
  const auto b = text.find_first_not_of(" \t");
  if (b == std::string::npos) return "";
  return text.substr(b, text.find_last_not_of(" \t") - b + 1);
}

}  // namespace

const std::vector<RecordField>& CommonFields() {
  return kCommon;
}

const std::vector<RecordField>& DetailFields(std::string_view book) {
  switch (GroupOf(book)) {
    case Group::Issued:
      return kIssued;
    case Group::Received:
      return kReceived;
    case Group::Investment:
      return kInvestment;
    case Group::IntraCommunity:
      return kIntraCommunity;
    case Group::None:
      break;
  }
  return kNone;
}

std::string_view DetailLoadMethod(std::string_view book) {
  switch (GroupOf(book)) {
    case Group::Issued:
      return "CargarDpfe";
    case Group::Received:
      return "CargarDpfr";
    case Group::Investment:
      return "CargarDpbi";
    case Group::IntraCommunity:
      return "CargarDpdoi";
    case Group::None:
      break;
  }
  return "";
}

nlohmann::json FormDescription() {
  nlohmann::json books = nlohmann::json::object();
  for (const char* book : {"E", "F", "R", "S", "I", "J", "U"})
    books[book] = Describe(DetailFields(book));
  return {{"common", Describe(kCommon)}, {"books", books}};
}

std::string ToBufferText(FieldKind kind, const std::string& text) {
  const std::string t = Trimmed(text);
  switch (kind) {
    case FieldKind::Text:
      return text;
    case FieldKind::Whole:
      return t.empty() ? "0" : t;
    case FieldKind::Amount:
    case FieldKind::Rate:
      return t.empty() ? "0" : Hundredths(t);
    case FieldKind::Date: {
      static const std::regex iso(R"(^(\d{4})-(\d{2})-(\d{2})$)");
      std::smatch m;
      if (t.empty()) return "0";
      if (std::regex_match(t, m, iso)) return m[1].str() + m[2].str() + m[3].str();
      return t;
    }
  }
  return text;
}

std::string ToFormText(FieldKind kind, const Value& stored) {
  if (stored.isNull() || stored.isEmpty()) return "";
  switch (kind) {
    case FieldKind::Text: {
      // Fixed-width fields of an imported line keep their padding; the form
      // shows the text without it.
      std::string text = stored.toString();
      text.erase(text.find_last_not_of(' ') + 1);
      return text;
    }
    case FieldKind::Whole:
      return stored.toString();
    case FieldKind::Amount:
    case FieldKind::Rate: {
      char out[64];
      std::snprintf(out, sizeof out, "%.2f", std::round(stored.toDouble()) / 100.0);
      return out;
    }
    case FieldKind::Date: {
      const std::string digits = stored.toString();
      if (digits == "0") return "";
      if (digits.size() == 8)
        return digits.substr(0, 4) + "-" + digits.substr(4, 2) + "-" + digits.substr(6, 2);
      return digits;
    }
  }
  return stored.toString();
}

std::string_view FindingField(std::string_view book, int fieldNumber, int code) {
  if (fieldNumber < 20) return CommonFieldByNumber(fieldNumber);
  return DetailFieldByCode(GroupOf(book), code);
}

}  // namespace kolvar::serve
