// Module Importacion: the lines of a form-340 file cut into named fields
// (FieldBuffers), the clean-up and record-type check of a line, and the
// validation of the declarant record. A FieldBuffer is a (0 To N, 0 To 1)
// array: row n holds the field's text in column 0 and its key in column 1;
// row 0 and the rows a record does not carry stay Empty.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "import/declared_line_validation.h"
#include "import/import_checks.h"
#include "kolvar/value.h"

namespace kolvar::Importacion {

inline constexpr std::int32_t kFilasDeclarante = 23;
inline constexpr std::int32_t kFilasDeclarado = 37;

// A declarant line (type 1) as its FieldBuffer of 23 rows.
Value DesglosarRegistroDeclarante(const std::string& line);

// A declared-record line (type 2) as its FieldBuffer of 37 rows: the common
// rows 1 to 21, then the rows of the book group named by the letter of row 11
// that the fiscal year carries. With Estatal, the mark of books E/F and R/S
// is "S" for the operation keys Z and 1 to 8.
Value DesglosarRegistroDeclarado(const std::string& line, bool Estatal);

// The sign position of an amount: "N"/"n" becomes "-", a "-" becomes "&"
// (which no digit check accepts); anything else is returned as it is.
std::string ConvertirSigno(std::string_view text);

// The line with every character a form-340 file may not hold replaced by a blank.
std::string DepurarCaracteres(const std::string& line);

// Replaces vBufferErrores by a fresh import ErrorBuffer; True when the line
// starts with 0, 1 or 2, else entry 0 gets code 30 and the first character.
bool ComprobarTipoRegistro(const std::string& line, Value& vBufferErrores);

// Every rule of the declarant record, in row order, as a fresh import
// ErrorBuffer; a line whose length is not `longitud` gives code 67 alone.
Value ValidarRegistroDeclarante(const Value& fieldBuffer, std::int32_t longitud,
                                std::int32_t EjercicioMax, std::int32_t EjercicioMin,
                                const std::string& line);

}  // namespace kolvar::Importacion
