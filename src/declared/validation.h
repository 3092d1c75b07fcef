// Validation of a declared record from the client's form: the fields common to
// every book, then the detail fields of the record's book. Findings go to the
// on-screen ErrorBuffer: (0 To 1, 0 To n), field number in row 0 and finding
// code in row 1 of each column; without findings one column of empty cells.
#pragma once

#include <string>

#include "kolvar/value.h"

namespace kolvar::declared {

// The lookups of the country table that the common rules need; the record
// table answers them on the reference database the service opened.
class RecordLookups {
 public:
  virtual ~RecordLookups() = default;
  virtual bool ComprobarExistPais(const std::string& strPais) = 0;
  virtual bool comprobarFechaDeIngreso(const std::string& fecha, const std::string& pais) = 0;
};

// Starts vBufferErrores afresh with the findings of the common fields.
void ValidarDeclarado(const Value& vBuffer, Value& vBufferErrores, RecordLookups& lookups);

// Continue the same buffer with the findings of each book's detail fields.
void ValidarDpfe(const Value& vBuffer, Value& vBufferErrores);
void ValidarDpfr(const Value& vBuffer, Value& vBufferErrores);
void ValidarDpbi(const Value& vBuffer, Value& vBufferErrores);
void ValidarDpdoi(const Value& vBuffer, Value& vBufferErrores);

}  // namespace kolvar::declared
