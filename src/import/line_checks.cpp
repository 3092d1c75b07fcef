// The first two steps every imported line goes through: its characters
// cleaned, and its record type checked.
#include "core/text.h"
#include "import/importacion.h"
#include "taxid/miscelaneos.h"

namespace kolvar::Importacion {

std::string DepurarCaracteres(const std::string& line) {
  return cMiscelaneos().ValidarCaracErrEnImp(line, " ");
}

bool ComprobarTipoRegistro(const std::string& line, Value& vBufferErrores) {
  vBufferErrores = declared::NewErrorBuffer();
  const Value first(text::Left(line, 1));
  for (std::int16_t tipo = 0; tipo <= 2; ++tipo)
    if (Compare(first, Value(tipo)) == 0) return true;
  std::int16_t k = 0;
  AgregarError(vBufferErrores, k, 30, first.toString());
  return false;
}

}  // namespace kolvar::Importacion
