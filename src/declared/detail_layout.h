// One description per detail table (tdpfe, tdpfr, tdpbi, tdpdoi): its columns
// in statement order with their property types, the cell of the record buffer
// that feeds each, and the statement texts of its operations.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "kolvar/value.h"

namespace kolvar::declared {

struct DetailColumn {
  std::string_view name;  // column and property name
  VarType type;           // Long, Integer, Single, Double or String
  std::int32_t bufferIndex;
  // Records of a fiscal year before this one do not store the column: it
  // keeps its zero value and its buffer cell is not read.
  std::int16_t sinceYear = 0;
};

struct DetailLayout {
  std::string_view className;  // "cTDpfe"
  std::vector<DetailColumn> columns;

  // CargarDatos: text up to the record key, and the tag of its errors.
  std::string_view loadQuery;
  std::string_view loadTag;
  // InsertarDatos: head, then " VALUES ( " csci ", '" csdo and the values.
  std::string_view insertHead;
  // ModificarDatos: head, assignments, then the two key conditions.
  std::string_view updateHead;
  std::string_view updateWhereCsdo;
  std::string_view updateAndCsci;
  // DuplicarDatosPropios: query up to the source declaration, insert head.
  std::string_view copyQuery;
  std::string_view copyInsertHead;

  void (*validate)(const Value& vBuffer, Value& vBufferErrores);
};

const DetailLayout& DpfeLayout();
const DetailLayout& DpfrLayout();
const DetailLayout& DpbiLayout();
const DetailLayout& DpdoiLayout();

// The table of a register-book letter, tested in the order U, I/J, R/S, E/F
// and exactly (upper case); nullptr for any other letter.
const DetailLayout* LayoutOfBook(std::string_view cdtl);

// The column's zero value (0 of its type, or the empty text), and a value
// converted to the column's type (errors 13, 6 and 94 of the conversion).
Value ZeroOf(VarType type);
Value ConvertTo(VarType type, const Value& v);

}  // namespace kolvar::declared
