// FieldBuffers of declared records for the line-validation tests: a clean
// record of a book and year, with the fields a test changes.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "import/declared_line_validation.h"
#include "kolvar/value.h"

namespace kolvar::testing {

using Fields = std::map<std::string, std::string>;
using Findings = std::vector<std::pair<int, std::string>>;

// The rows a record of this book and year carries, in layout order, with
// clean values; `changes` replaces values (keys the record lacks are ignored).
inline Value DeclaredFields(const std::string& book, int year, const Fields& changes = {}) {
  std::vector<std::pair<std::string, std::string>> rows = {{"TIPOREG", "2"},
                                                           {"MODELO", "340"},
                                                           {"EJERCICIO", std::to_string(year)},
                                                           {"NIFDTE", "12345678Z"},
                                                           {"NIF", "12345678Z"},
                                                           {"NREP", ""},
                                                           {"NOMBRE", "PEREZ"},
                                                           {"PAIS", ""},
                                                           {"CNIPR", "1"},
                                                           {"NIFDPR", ""},
                                                           {"CDTL", book},
                                                           {"CDO", ""},
                                                           {"FDE", "20130115"},
                                                           {"FDO", "20130115"},
                                                           {"TIPOIMP", "02100"},
                                                           {"BIMP", " 0000000010000"},
                                                           {"CUOTA", " 0000000002100"},
                                                           {"IMPTF", " 0000000012100"},
                                                           {"BASEIMPCOSTE", " 0000000000000"},
                                                           {"IDFACTURA", "F1"},
                                                           {"NODEREG", ""}};
  auto add = [&](std::vector<std::pair<std::string, std::string>> more) {
    rows.insert(rows.end(), more.begin(), more.end());
  };
  if (book == "E" || book == "F") {
    add({{"PFE_NOFAC", "00000001"},
         {"PFE_NOREG", "01"},
         {"PFE_IIA", ""},
         {"PFE_IFR", ""},
         {"PFE_TRE", "00000"},
         {"PFE_CRE", " 0000000000000"}});
    if (year >= 2012)
      add({{"PFE_SDI", "0"},
           {"PFE_REFCAT", ""},
           {"PFE_IPM", "000000000000000"},
           {"PFE_EJERMET", "0000"},
           {"PFE_IPPTDI", "000000000000000"}});
    if (year >= 2014)
      add({{"PFE_FMC", "00000000"},
           {"PFE_IC", " 000000000000"},
           {"PFE_MC", " "},
           {"PFE_MC_CC", ""},
           {"PFE_MARCA", " "}});
  } else if (book == "R" || book == "S") {
    add({{"PFR_NOFAC", "1"}, {"PFR_NOREG", "01"}, {"PFR_IIA", ""}, {"PFR_CD", " 0000000000000"}});
    if (year >= 2014)
      add({{"PFR_FMP", "00000000"},
           {"PFR_IP", " 000000000000"},
           {"PFR_MP", " "},
           {"PFR_MP_CC", ""},
           {"PFR_MARCA", " "}});
  } else if (book == "I" || book == "J") {
    add({{"PBI_PAD", "100"},
         {"PBI_RAD", " 0000000000000"},
         {"PBI_IDE", ""},
         {"PBI_RADE", " 0000000000000"},
         {"PBI_FIU", "20130101"},
         {"PBI_IDBIEN", "MAQUINA"}});
  } else if (book == "U") {
    add({{"PDOI_TOI", "A"},
         {"PDOI_CD", "D"},
         {"PDOI_CEM", "FR"},
         {"PDOI_PDE", "001"},
         {"PDOI_DESBIEN", "PIEZAS"},
         {"PDOI_DOI", ""},
         {"PDOI_POI", ""},
         {"PDOI_CP", ""},
         {"PDOI_OFOD", ""}});
  }
  Value buffer = Value::Array({{0, 37}, {0, 1}});
  std::int32_t n = 0;
  for (auto& [key, value] : rows) {
    ++n;
    const auto change = changes.find(key);
    buffer(n, 0) = Value(change == changes.end() ? value : change->second);
    buffer(n, 1) = Value(key);
  }
  return buffer;
}

// The entries of an import ErrorBuffer, without the empty one of a clean record.
inline Findings EntriesOf(const Value& errores) {
  Findings out;
  for (std::int32_t r = 0; r <= errores.ubound(2); ++r)
    if (!errores(0, r).isEmpty())
      out.emplace_back(errores(0, r).toLong(), errores(1, r).toString());
  return out;
}

struct LineRun {
  int year = 2013;
  std::int16_t period = 5;
  bool soloValidar = true;
  std::string mdblec;
  std::string mdbmod;
  std::size_t length = 500;
};

inline LineRun ForYear(int year, bool soloValidar = true) {
  LineRun run;
  run.year = year;
  run.soloValidar = soloValidar;
  return run;
}

inline Findings Validate(Value& fields, const LineRun& run = {}) {
  return EntriesOf(Importacion::ValidarDeclarado(fields, 500, run.mdblec, run.mdbmod, run.year,
                                                 run.period, 1, 1, std::string(run.length, ' '),
                                                 run.soloValidar));
}

inline Findings Validate(const std::string& book, int year, const Fields& changes,
                         LineRun run = {}) {
  Value fields = DeclaredFields(book, year, changes);
  run.year = year;
  return Validate(fields, run);
}

}  // namespace kolvar::testing
