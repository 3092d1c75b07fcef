// Totals, summary and counts of the declared records of one declaration.
#include "core/retag.h"
#include "dbaccess/general.h"
#include "dbaccess/table_reads.h"
#include "declarations/counters.h"
#include "declarations/declarations_table.h"

namespace kolvar::declarations {

namespace {

constexpr std::int16_t kOneRow = 0;

// The summary's groups of books: the spacing before FROM and where differs
// between the stored statements.
struct SummaryGroup {
  const char* from;
  const char* condition;
};
constexpr SummaryGroup kSummaryGroups[] = {
    {" FROM toperadores where toperadores.csci = ", " and toperadores.CDTL in ('E','F')"},
    {" FROM toperadores  where toperadores.csci = ", " and toperadores.CDTL in ('R','S')"},
    {"  FROM toperadores where toperadores.csci = ", " and toperadores.CDTL in ('I','J')"},
    {"  FROM toperadores where toperadores.csci = ", " and toperadores.CDTL ='U'"},
    {" FROM toperadores where toperadores.csci = ", ""},
};

// Books counted by ObtenerDetalles, elements 1 to 7.
constexpr const char* kCountedBooks[] = {"E", "F", "I", "J", "R", "S", "U"};

}  // namespace

Value cTDeclaraciones::ObtenerTotalesPorDeclaracion() {
  return WithTag("cTDeclaraciones.ObtenerTotalesPorDeclaracion ", [&] {
    return SelectBuffer(
        "SELECT sum(BIMP), sum(CUOTA), sum(IMPTF) from toperadores where csci = " + Num(CodDecla_),
        kOneRow);
  });
}

Value cTDeclaraciones::ObtenerResumen() {
  return WithTag("cTDeclaraciones.ObtenerResumen", [&] {
    Value summary = Value::Array({{0, 4}, {0, 4}});
    std::int16_t g = 0;
    for (const SummaryGroup& group : kSummaryGroups) {
      const Value row = SelectBuffer(
          std::string("SELECT count(*), sum(toperadores.BIMP) as BIMP, sum(toperadores.CUOTA) as "
                      "CUOTA, sum(toperadores.IMPTF) AS IMPTF ,sum( toperadores.BASEIMPCOSTE) AS "
                      "BASEIMPCOSTE") +
              group.from + Num(CodDecla_) + group.condition,
          kOneRow);
      CargarFilaResumen(summary, g++, row);
    }
    return summary;
  });
}

void cTDeclaraciones::CargarFilaResumen(Value& summary, std::int16_t group, const Value& buffer) {
  summary(group, 0) = General::BC(buffer(0));
  for (std::int32_t m = 1; m <= 4; ++m) summary(group, m) = General::BC(buffer(m)) / 100;
}

Value cTDeclaraciones::ObtenerDetalles() {
  return WithTag("cTDeclaraciones.ObtenerDetalles", [&] {
    Value counts = Value::Array({{0, 7}});
    const auto count = [](const std::string& sql) {
      return Value(General::BC(SelectBuffer(sql, kOneRow)(0)));
    };
    counts(0) =
        count("SELECT count(*) FROM toperadores where toperadores.csci = " + Num(CodDecla_));
    std::int32_t i = 1;
    for (const char* book : kCountedBooks)
      counts(i++) =
          count("SELECT count(*) FROM toperadores  where toperadores.csci = " + Num(CodDecla_) +
                " and toperadores.CDTL = " + SqlText(book));
    return counts;
  });
}

}  // namespace kolvar::declarations
