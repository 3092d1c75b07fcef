// The import's ErrorBuffer and the small checks that the declarant and the
// declared-record line validations share. An import ErrorBuffer holds, per
// entry r, the finding code in (0, r) (16-bit) and a text in (1, r); without
// findings one entry of two empty cells.
#pragma once

#include <cstdint>
#include <string>

#include "core/finding_codes.h"
#include "declared/error_buffer.h"
#include "kolvar/value.h"

namespace kolvar::Importacion {

// Appends code and text at entry k and moves k on.
void AgregarError(Value& errores, std::int16_t& k, findings::ImportCode codigo,
                  const std::string& texto);

// Each appends at most one entry with the code; only the length check's
// result is used by callers.
bool ComprobarLongitud(const std::string& texto, std::int32_t longitud, Value& errores,
                       std::int16_t& k,
                       findings::ImportCode codigo);  // entry text ""
void ComprobarVacio(const std::string& texto, Value& errores, std::int16_t& k,
                    findings::ImportCode codigo);  // trimmed empty; entry text ""
void ComprobarNumerico(
    const std::string& texto, Value& errores, std::int16_t& k,
    findings::ImportCode codigo);  // empty or not only digits; entry text: the text
void ComprobarMes(const std::string& texto, Value& errores, std::int16_t& k,
                  findings::ImportCode codigo);  // not "01".."12"; entry text: the text

}  // namespace kolvar::Importacion
