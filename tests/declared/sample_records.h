// Record buffers as the client's form fills them, with sample detail fields of
// each register book.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "kolvar/value.h"

namespace kolvar::testing {

// Detail cells 21 and up of each detail table, as text.
inline const std::map<std::string, std::vector<std::string>>& SampleDetails() {
  static const std::map<std::string, std::vector<std::string>> details{
      {"tdpfe",
       {"3", "7", "Tickets 1 a 3", "F-1", "21", "5.2", "1.5", "1234567AB1234C0001XY", "300.25",
        "2013", "12.5", "20140301", "100.75", "C", "ES7620770024003102575766", "X"}},
      {"tdpfr", {"2", "4", "Recibos", "10.5", "20140201", "50.5", "O", "cuenta", "X"}},
      {"tdpbi", {"75", "0.25", "Nave", "-120.5", "20130101", "B-1"}},
      {"tdpdoi", {"A", "B", "DE", "3", "Maquinaria", "Calle 1", "Berlin", "10115", "Otros"}},
  };
  return details;
}

inline std::string TableOfBook(const std::string& cdtl) {
  if (cdtl == "E" || cdtl == "F") return "tdpfe";
  if (cdtl == "R" || cdtl == "S") return "tdpfr";
  if (cdtl == "I" || cdtl == "J") return "tdpbi";
  if (cdtl == "U") return "tdpdoi";
  return "";
}

// A new record (CSDO 0) of declaration `csci` in book `cdtl`, cells 0 to 36.
inline Value SampleRecord(std::int32_t csci, const std::string& cdtl,
                          const std::string& nombre = "Fulano S.L.") {
  const std::vector<std::string> common{
      "",      "0",      "12345678Z", "",           nombre,     "ES",   "1",
      "",      cdtl,     "A",         "20140115",   "20140110", "21",   "1000.5",
      "210.1", "1210.6", "0",         "F-2014/001", "R1",       "2014", "1"};
  Value b = Value::Array({{0, 36}});
  for (std::int32_t i = 0; i < static_cast<std::int32_t>(common.size()); ++i) b(i) = common[i];
  b(0) = csci;
  const auto it = SampleDetails().find(TableOfBook(cdtl));
  if (it != SampleDetails().end())
    for (std::size_t k = 0; k < it->second.size(); ++k)
      b(21 + static_cast<std::int32_t>(k)) = it->second[k];
  return b;
}

// Buffer cell of each column of CargarDatos, in its select order.
inline const std::map<std::string, std::vector<std::int32_t>>& LoadedCells() {
  static const std::map<std::string, std::vector<std::int32_t>> cells{
      {"tdpfe", {21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 34, 35, 32, 33, 36}},
      {"tdpfr", {21, 22, 23, 24, 27, 28, 25, 26, 29}},
      {"tdpbi", {21, 22, 23, 24, 25, 26}},
      {"tdpdoi", {21, 22, 23, 24, 25, 26, 27, 28, 29}},
  };
  return cells;
}

}  // namespace kolvar::testing
