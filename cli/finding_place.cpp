#include "finding_place.h"

#include <sstream>
#include <vector>

#include "form340_layout.h"
#include "text_file.h"

namespace kolvar::cli {

namespace {

struct CodeFields {
  int code;
  std::string_view keys;  // candidates, blank-separated
};

const CodeFields kDeclarant[] = {{43, "EJERCICIO DECLEJE"},
                                 {10, "EJERCICIO DECLEJE"},
                                 {74, "MODELO DECLMOD"},
                                 {75, "NIFDTE"},
                                 {0, "NIFDTE"},
                                 {1, "NOMBRE"},
                                 {71, "TS TOTALBI"},
                                 {77, "TELEFONO"},
                                 {69, "DECLPER PERIODO"},
                                 {78, "DECLNUM"},
                                 {79, "DECLNUM"},
                                 {80, "DECLCOM"},
                                 {81, "DECLSUS"},
                                 {82, "DECLIDA"},
                                 {83, "DECLIDA"},
                                 {84, "DECLIDA"},
                                 {85, "DECLIDA"},
                                 {86, "DECLIDA"},
                                 {48, "NUMREG"},
                                 {60, "TOTALBI"},
                                 {72, "TOTALCUO EJERCICIO"},
                                 {61, "TOTALCUO"},
                                 {62, "TOTALFAC"},
                                 {12, "NIFREP"},
                                 {98, "BLANCOS"},
                                 {89, "EJERCICIO"},
                                 {30, "TIPOREG"}};

const CodeFields kCommon[] = {
    {43, "EJERCICIO"},    {23, "NIF"},          {24, "NREP"},    {12, "NREP"},
    {52, "PAIS"},         {29, "CNIPR NIFDPR"}, {109, "NIFDPR"}, {53, "NIFDPR"},
    {64, "CDTL"},         {65, "CDO"},          {55, "FDE"},     {73, "FDE"},
    {56, "FDE"},          {57, "FDO"},          {58, "FDO"},     {59, "TIPOIMP"},
    {66, "TIPOIMP"},      {90, "BIMP"},         {60, "BIMP"},    {91, "CUOTA"},
    {61, "CUOTA"},        {92, "IMPTF"},        {62, "IMPTF"},   {93, "BASEIMPCOSTE"},
    {63, "BASEIMPCOSTE"}, {30, "TIPOREG"},      {14, "TIPOREG"}};

const CodeFields kIssued[] = {
    {47, "PFE_NOFAC"},   {48, "PFE_NOREG"},    {50, "PFE_TRE"},
    {87, "PFE_TRE"},     {94, "PFE_CRE"},      {51, "PFE_CRE"},
    {99, "PFE_SDI"},     {108, "PFE_SDI"},     {107, "PFE_SDI"},
    {100, "PFE_IPM"},    {106, "PFE_IPM"},     {103, "PFE_IPM"},
    {105, "PFE_IPM"},    {101, "PFE_EJERMET"}, {104, "PFE_EJERMET"},
    {102, "PFE_IPPTDI"}, {126, "PFE_FMC"},     {113, "PFE_FMC"},
    {120, "PFE_IC"},     {124, "PFE_IC"},      {112, "PFE_IC"},
    {114, "PFE_MC"},     {121, "PFE_MC"},      {110, "PFE_MC_CC"},
    {111, "PFE_MC_CC"},  {123, "PFE_MARCA"},   {129, "PFE_FMC PFE_IC PFE_MC PFE_MC_CC"}};

const CodeFields kReceived[] = {
    {47, "PFR_NOFAC"},  {48, "PFR_NOREG"},  {95, "PFR_CD"},
    {49, "PFR_CD"},     {127, "PFR_FMP"},   {113, "PFR_FMP"},
    {120, "PFR_IP"},    {125, "PFR_IP"},    {112, "PFR_IP"},
    {114, "PFR_MP"},    {121, "PFR_MP"},    {115, "PFR_MP_CC"},
    {116, "PFR_MP_CC"}, {123, "PFR_MARCA"}, {128, "PFR_FMP PFR_IP PFR_MP PFR_MP_CC"}};

const CodeFields kInvestment[] = {{34, "PBI_PAD"}, {33, "PBI_PAD"},  {96, "PBI_RAD"},
                                  {39, "PBI_RAD"}, {97, "PBI_RADE"}, {35, "PBI_RADE"},
                                  {40, "PBI_FIU"}, {42, "PBI_FIU"},  {38, "PBI_IDBIEN"}};

const CodeFields kIntraCommunity[] = {{54, "PDOI_TOI"}, {25, "PDOI_TOI"}, {26, "PDOI_CD"},
                                      {44, "PDOI_CEM"}, {45, "PDOI_PDE"}, {46, "PDOI_DESBIEN"}};

template <std::size_t N>
std::string_view Candidates(const CodeFields (&table)[N], int code) {
  for (const CodeFields& c : table)
    if (c.code == code) return c.keys;
  return {};
}

std::string Trimmed(std::u32string_view s) {
  const auto b = s.find_first_not_of(U' ');
  if (b == std::u32string_view::npos) return "";
  return EncodeUtf8(s.substr(b, s.find_last_not_of(U' ') - b + 1));
}

std::string TrimmedText(const std::string& s) {
  return Trimmed(DecodeUtf8(s));
}

}  // namespace

FindingField LocateFinding(int code, const std::string& text, std::u32string_view line, int after) {
  FindingField field;
  if (code == 67) {  // the line's length
    field.width = static_cast<int>(line.size());
    return field;
  }
  const bool declarant = !line.empty() && line[0] == U'1';
  const char book = line.size() >= 99 ? static_cast<char>(line[98]) : ' ';
  int year = 0;
  if (line.size() >= 8)
    for (std::size_t i = 4; i < 8; ++i)
      year = year * 10 + (line[i] >= U'0' && line[i] <= U'9' ? line[i] - U'0' : 0);

  std::string_view keys;
  if (declarant && code == 72 && text.find(" - ") != std::string::npos) {
    keys = "EJERCICIO";  // the header's year and period do not fit the declaration
  } else if (declarant) {
    keys = Candidates(kDeclarant, code);
  } else {
    keys = Candidates(kCommon, code);
    if (keys.empty()) {
      switch (book) {
        case 'E':
        case 'F':
          keys = Candidates(kIssued, code);
          break;
        case 'R':
        case 'S':
          keys = Candidates(kReceived, code);
          break;
        case 'I':
        case 'J':
          keys = Candidates(kInvestment, code);
          break;
        case 'U':
          keys = Candidates(kIntraCommunity, code);
          break;
        default:
          break;
      }
    }
  }
  std::vector<const FieldPlace*> places;
  std::istringstream words{std::string(keys)};
  for (std::string key; words >> key;)
    for (const FieldPlace& p : declarant ? DeclarantPlaces() : DeclaredPlaces(book, year))
      if (p.key == key) places.push_back(&p);
  if (places.empty()) return field;

  // Among several fields, the one that holds the finding's text, at or after
  // the previous finding.
  const FieldPlace* chosen = nullptr;
  const std::string wanted = TrimmedText(text);
  for (const FieldPlace* p : places) {
    if (p->start < after) continue;
    const std::u32string_view value = static_cast<std::size_t>(p->start - 1) < line.size()
                                          ? line.substr(p->start - 1, p->width)
                                          : std::u32string_view();
    if (Trimmed(value) == wanted || (value.size() > 1 && Trimmed(value.substr(1)) == wanted)) {
      chosen = p;
      break;
    }
  }
  if (chosen == nullptr) {
    for (const FieldPlace* p : places)
      if (p->start >= after) {
        chosen = p;
        break;
      }
  }
  if (chosen == nullptr) chosen = places.front();
  field.key = std::string(chosen->key);
  field.start = chosen->start;
  field.width = chosen->width;
  return field;
}

}  // namespace kolvar::cli
