// Validation of one declared-record line of an imported file: the line's
// length, then the rule of every field of its FieldBuffer, in row order.
#pragma once

#include <cstdint>
#include <string>

#include "kolvar/value.h"

namespace kolvar::Importacion {

// Returns a new import ErrorBuffer. In an import pass (blnSoloValidar False)
// an empty cash-basis block of an invoice record is set to 0, 0 and empty
// texts in fieldBuffer itself, so that the record is stored that way.
Value ValidarDeclarado(Value& fieldBuffer, std::int32_t longitud, const std::string& mdblec,
                       const std::string& mdbmod, std::int32_t Ejercicio, std::int16_t Periodo,
                       std::int16_t Periodicidad, std::int32_t Declaracion, const std::string& line,
                       bool blnSoloValidar);

// What ValidarDeclarado in an import pass changes in fieldBuffer, alone: for
// a line whose validation found nothing, in the same batch.
void CambiosDeImportacion(Value& fieldBuffer, const std::string& mdblec, const std::string& mdbmod,
                          std::int32_t Ejercicio, std::int16_t Periodo);

}  // namespace kolvar::Importacion
