// Listing lines of a declaration's records, book by book, page by page.
#include <cmath>

#include "core/retag.h"
#include "core/text.h"
#include "dbaccess/conexion.h"
#include "declarations/counters.h"
#include "declarations/declarations_table.h"

namespace kolvar::declarations {

namespace {

constexpr std::int16_t kSnapshot = 4;

// The listing codes in the order requests are matched against them, each
// with the statement of its book (the key of the declaration goes between
// the two pieces).
struct ListingBook {
  const char* code;
  const char* head;
  const char* tail;
};
constexpr const char* kPlain = "SELECT * FROM toperadores  where toperadores.csci = ";
constexpr const char* kWithCd =
    "SELECT a.*, b.cd  FROM toperadores as a left join tdpfr as b on a.csdo = b.csdo where "
    "a.csci = ";
constexpr ListingBook kListingBooks[] = {
    {"exp", kPlain, " and toperadores.CDTL = 'E'"}, {"expI", kPlain, " and toperadores.CDTL = 'F'"},
    {"bie", kPlain, " and toperadores.CDTL = 'I'"}, {"bieI", kPlain, " and toperadores.CDTL = 'J'"},
    {"rec", kWithCd, " and a.CDTL = 'R'"},          {"recI", kWithCd, " and a.CDTL = 'S'"},
    {"int", kPlain, " and toperadores.CDTL = 'U'"},
};

const ListingBook* BookOfRequest(const Value& code) {
  for (const ListingBook& book : kListingBooks)
    if (Compare(code, Value(book.code)) == 0) return &book;
  return nullptr;
}

// True only when the comparison is known and holds.
bool AtLeast(const Value& a, const Value& b) {
  const auto order = Compare(a, b);
  return order && *order >= 0;
}

// The first of `count` positions p with p >= from (count when none). The
// test holds from some position on, so it is tried only near that position.
std::int32_t FirstWanted(const Value& from, std::int32_t count) {
  std::int32_t p = 0;
  if (IsNumeric(from)) {
    const double start = std::ceil(from.toDouble());
    if (start > 0) p = start >= count ? count : static_cast<std::int32_t>(start);
  }
  while (p > 0 && AtLeast(Value(p - 1), from)) --p;
  while (p < count && !AtLeast(Value(p), from)) ++p;
  return p;
}

// A text column as the party text uses it: Null is empty.
std::string TextOf(const Value& v) {
  return v.isNull() ? std::string() : v.toString();
}

// CNIPR, the identifier when there is one, and the upper-cased name cut to a
// length that leaves room for it.
std::string PartyText(const db::Recordset& rs, bool blnFichero) {
  const std::string nif = TextOf(rs.field("NIF"));
  const std::string nifdpr = TextOf(rs.field("NIFDPR"));
  std::string text = TextOf(rs.field("CNIPR")) + " ";
  std::size_t length = blnFichero ? 40 : 27;
  if (!text::Trim(nif).empty()) {
    text += nif + " ";
    length = blnFichero ? 33 : 18;
  } else if (!text::Trim(nifdpr).empty()) {
    text += nifdpr + " ";
    length = blnFichero ? 30 : 15;
  }
  return text + text::UCase(text::Left(TextOf(rs.field("NOMBRE")), length));
}

}  // namespace

Value cTDeclaraciones::ImprimirDetalles(const Value& vBuffer, bool blnFichero) {
  return WithTag("cTDeclaraciones.ImprimirDetalles", [&] {
    Value grid = Value::Array({{0, 8}, {0, 0}});
    std::int16_t n = 0;
    const std::int32_t last = vBuffer.ubound(2);
    for (std::int16_t k = 0; k <= last; k = Next16(k)) {
      const ListingBook* book = BookOfRequest(vBuffer(0, k));
      if (!book) continue;
      auto rs = Conexion().openRecordset(book->head + Num(CodDecla_) + book->tail, kSnapshot);
      rs->moveLast();
      rs->moveFirst();
      // Positions grow one by one, so the wanted ones are one run: from the
      // first at or after the request's start to the last at or before its end.
      const std::int32_t count = rs->recordCount();
      std::int32_t p = FirstWanted(vBuffer(1, k), count);
      if (p < count) rs->absolutePosition(p);
      for (; p < count && AtLeast(vBuffer(2, k), Value(p)); ++p, rs->moveNext()) {
        grid.redimPreserve(n);
        CargarLineaDetalle(grid, *rs, n, book->code, blnFichero);
        n = Next16(grid.ubound(2));
      }
      rs->close();
    }
    return grid;
  });
}

void cTDeclaraciones::CargarLineaDetalle(Value& grid, db::Recordset& rs, std::int16_t line,
                                         const std::string& code, bool blnFichero) {
  // A failing cell ends the line quietly; the cells after it stay empty.
  try {
    grid(0, line) = code;
    grid(1, line) = PartyText(rs, blnFichero);
    std::int32_t column = 2;
    for (const char* name : {"CDTL", "CDO", "FDE", "BIMP", "CUOTA", "IMPTF"})
      grid(column++, line) = rs.field(name);
    try {
      grid(8, line) = rs.field("CD");
    } catch (const Error& e) {
      if (e.number() != err::kItemNotFound) throw;
      grid(8, line) = "0";  // only the received-invoice books bring CD
    }
  } catch (const Error&) {
  }
}

}  // namespace kolvar::declarations
