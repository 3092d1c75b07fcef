#include "form340_layout.h"

namespace kolvar::cli {

namespace {

const std::vector<FieldPlace> kDeclarant = {
    {"TIPOREG", 1, 1},     {"MODELO", 2, 3},     {"EJERCICIO", 5, 4},   {"NIFDTE", 9, 9},
    {"NOMBRE", 18, 40},    {"TS", 58, 1},        {"TELEFONO", 59, 9},   {"NOMBREPC", 68, 40},
    {"DECLMOD", 108, 3},   {"DECLEJE", 111, 4},  {"DECLPER", 115, 2},   {"DECLNUM", 117, 4},
    {"DECLCOM", 121, 1},   {"DECLSUS", 122, 1},  {"DECLIDA", 123, 13},  {"PERIODO", 136, 2},
    {"NUMREG", 138, 9},    {"TOTALBI", 147, 18}, {"TOTALCUO", 165, 18}, {"TOTALFAC", 183, 18},
    {"BLANCOS", 201, 190}, {"NIFREP", 391, 9},   {"BLANCOS", 400, 98}};

const std::vector<FieldPlace> kCommon = {
    {"TIPOREG", 1, 1},   {"MODELO", 2, 3},   {"EJERCICIO", 5, 4},       {"NIFDTE", 9, 9},
    {"NIF", 18, 9},      {"NREP", 27, 9},    {"NOMBRE", 36, 40},        {"PAIS", 76, 2},
    {"CNIPR", 78, 1},    {"NIFDPR", 79, 20}, {"CDTL", 99, 1},           {"CDO", 100, 1},
    {"FDE", 101, 8},     {"FDO", 109, 8},    {"TIPOIMP", 117, 5},       {"BIMP", 122, 14},
    {"CUOTA", 136, 14},  {"IMPTF", 150, 14}, {"BASEIMPCOSTE", 164, 14}, {"IDFACTURA", 178, 40},
    {"NODEREG", 218, 18}};

const std::vector<FieldPlace> kIssued = {{"PFE_NOFAC", 236, 8}, {"PFE_NOREG", 244, 2},
                                         {"PFE_IIA", 246, 80},  {"PFE_IFR", 326, 40},
                                         {"PFE_TRE", 366, 5},   {"PFE_CRE", 371, 14}};
const std::vector<FieldPlace> kIssued2012 = {{"PFE_SDI", 385, 1},
                                             {"PFE_REFCAT", 386, 25},
                                             {"PFE_IPM", 411, 15},
                                             {"PFE_EJERMET", 426, 4},
                                             {"PFE_IPPTDI", 430, 15}};
const std::vector<FieldPlace> kIssued2014 = {{"PFE_FMC", 445, 8},
                                             {"PFE_IC", 453, 13},
                                             {"PFE_MC", 466, 1},
                                             {"PFE_MC_CC", 467, 32},
                                             {"PFE_MARCA", 500, 1}};
const std::vector<FieldPlace> kReceived = {
    {"PFR_NOFAC", 236, 18}, {"PFR_NOREG", 254, 2}, {"PFR_IIA", 256, 80}, {"PFR_CD", 336, 14}};
const std::vector<FieldPlace> kReceived2014 = {{"PFR_FMP", 350, 8},
                                               {"PFR_IP", 358, 13},
                                               {"PFR_MP", 371, 1},
                                               {"PFR_MP_CC", 372, 32},
                                               {"PFR_MARCA", 405, 1}};
const std::vector<FieldPlace> kInvestment = {{"PBI_PAD", 236, 3},  {"PBI_RAD", 239, 14},
                                             {"PBI_IDE", 253, 40}, {"PBI_RADE", 293, 14},
                                             {"PBI_FIU", 307, 8},  {"PBI_IDBIEN", 315, 17}};
const std::vector<FieldPlace> kIntraCommunity = {
    {"PDOI_TOI", 236, 1},  {"PDOI_CD", 237, 1},       {"PDOI_CEM", 238, 2},
    {"PDOI_PDE", 240, 3},  {"PDOI_DESBIEN", 243, 35}, {"PDOI_DOI", 278, 40},
    {"PDOI_POI", 318, 22}, {"PDOI_CP", 340, 10},      {"PDOI_OFOD", 350, 135}};

void Append(std::vector<FieldPlace>& to, const std::vector<FieldPlace>& from) {
  to.insert(to.end(), from.begin(), from.end());
}

}  // namespace

const std::vector<FieldPlace>& DeclarantPlaces() {
  return kDeclarant;
}

const std::vector<FieldPlace>& DeclaredPlaces(char book, int year) {
  // One table per book and block of years, made once.
  static const auto kTables = [] {
    const auto joined = [](std::initializer_list<const std::vector<FieldPlace>*> parts) {
      std::vector<FieldPlace> all = kCommon;
      for (const auto* part : parts) Append(all, *part);
      return all;
    };
    return std::vector<std::vector<FieldPlace>>{
        joined({}),                                      // 0: a letter of no book
        joined({&kIssued}),                              // 1: E, F before 2012
        joined({&kIssued, &kIssued2012}),                // 2: E, F 2012 and 2013
        joined({&kIssued, &kIssued2012, &kIssued2014}),  // 3: E, F from 2014
        joined({&kReceived}),                            // 4: R, S before 2014
        joined({&kReceived, &kReceived2014}),            // 5: R, S from 2014
        joined({&kInvestment}),                          // 6: I, J
        joined({&kIntraCommunity})};                     // 7: U
  }();
  switch (book) {
    case 'E':
    case 'F':
      return kTables[year >= 2014 ? 3 : year >= 2012 ? 2 : 1];
    case 'R':
    case 'S':
      return kTables[year >= 2014 ? 5 : 4];
    case 'I':
    case 'J':
      return kTables[6];
    case 'U':
      return kTables[7];
    default:
      return kTables[0];
  }
}

const FieldPlace* FindPlace(std::string_view key, bool declarant, char book, int year) {
  for (const FieldPlace& p : declarant ? kDeclarant : DeclaredPlaces(book, year))
    if (p.key == key) return &p;
  return nullptr;
}

}  // namespace kolvar::cli
