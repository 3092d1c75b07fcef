// FieldBuffers of declared records for the line-validation tests: a clean
// record of a book and year, with the fields a test changes.
#pragma once

#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "import/declared_line_validation.h"
#include "kolvar/value.h"

namespace kolvar::testing {

using Fields = std::map<std::string, std::string>;
using Findings = std::vector<std::pair<int, std::string>>;

// Clean rows in layout order, "KEY=value" separated by '|'; `Y` is the year.
inline std::string CleanRows(const std::string& book, int year) {
  std::string rows =
      "TIPOREG=2|MODELO=340|EJERCICIO=Y|NIFDTE=12345678Z|NIF=12345678Z|NREP=|NOMBRE=PEREZ|PAIS=|"
      "CNIPR=1|NIFDPR=|CDTL=" +
      book +
      "|CDO=|FDE=20130115|FDO=20130115|TIPOIMP=02100|"
      "BIMP= 0000000010000|CUOTA= 0000000002100|IMPTF= 0000000012100|"
      "BASEIMPCOSTE= 0000000000000|IDFACTURA=F1|NODEREG=";
  if (book == "E" || book == "F") {
    rows +=
        "|PFE_NOFAC=00000001|PFE_NOREG=01|PFE_IIA=|PFE_IFR=|PFE_TRE=00000|PFE_CRE= 0000000000000";
    if (year >= 2012)
      rows += "|PFE_SDI=0|PFE_REFCAT=|PFE_IPM=000000000000000|PFE_EJERMET=0000|PFE_IPPTDI=0";
    if (year >= 2014)
      rows += "|PFE_FMC=00000000|PFE_IC= 000000000000|PFE_MC= |PFE_MC_CC=|PFE_MARCA= ";
  } else if (book == "R" || book == "S") {
    rows += "|PFR_NOFAC=1|PFR_NOREG=01|PFR_IIA=|PFR_CD= 0000000000000";
    if (year >= 2014)
      rows += "|PFR_FMP=00000000|PFR_IP= 000000000000|PFR_MP= |PFR_MP_CC=|PFR_MARCA= ";
  } else if (book == "I" || book == "J") {
    rows +=
        "|PBI_PAD=100|PBI_RAD= 0000000000000|PBI_IDE=|PBI_RADE= 0000000000000|"
        "PBI_FIU=20130101|PBI_IDBIEN=MAQUINA";
  } else if (book == "U") {
    rows +=
        "|PDOI_TOI=A|PDOI_CD=D|PDOI_CEM=FR|PDOI_PDE=001|PDOI_DESBIEN=PIEZAS|PDOI_DOI=|"
        "PDOI_POI=|PDOI_CP=|PDOI_OFOD=";
  }
  return rows;
}

// "A|B|C" split at each '|'.
inline std::vector<std::string> Split(const std::string& text) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, '|');) parts.push_back(part);
  return parts;
}

// "KEY=value|KEY=value" as field changes.
inline Fields Changes(const std::string& text) {
  Fields out;
  for (const std::string& row : Split(text))
    out[row.substr(0, row.find('='))] = row.substr(row.find('=') + 1);
  return out;
}

// "code:text|code:text" as expected findings.
inline Findings Expected(const std::string& text) {
  Findings out;
  for (const std::string& e : Split(text))
    out.emplace_back(std::stoi(e), e.substr(e.find(':') + 1));
  return out;
}

// The FieldBuffer of a clean record with `changes` (keys it lacks are ignored).
inline Value DeclaredFields(const std::string& book, int year, const std::string& changes = "") {
  Value buffer = Value::Array({{0, 37}, {0, 1}});
  const Fields changed = Changes(changes);
  std::int32_t n = 0;
  for (const std::string& row : Split(CleanRows(book, year))) {
    const std::string key = row.substr(0, row.find('='));
    const auto change = changed.find(key);
    std::string value = key == "EJERCICIO" ? std::to_string(year) : row.substr(key.size() + 1);
    buffer(++n, 0) = Value(change == changed.end() ? value : change->second);
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
  std::string mdblec, mdbmod;
  std::size_t length = 500;
};

inline LineRun ForYear(int year, bool soloValidar = true) {
  LineRun run;
  run.year = year;
  run.soloValidar = soloValidar;
  return run;
}

inline Findings Validate(Value& fields, const LineRun& run) {
  return EntriesOf(Importacion::ValidarDeclarado(fields, 500, run.mdblec, run.mdbmod, run.year,
                                                 run.period, 1, 1, std::string(run.length, ' '),
                                                 run.soloValidar));
}

inline Findings Validate(const std::string& book, int year, const std::string& changes) {
  Value fields = DeclaredFields(book, year, changes);
  return Validate(fields, ForYear(year));
}

}  // namespace kolvar::testing
