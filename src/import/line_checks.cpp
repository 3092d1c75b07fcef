// The first two steps every imported line goes through: its characters
// cleaned, and its record type checked.
#include <vector>

#include "core/text.h"
#include "import/importacion.h"
#include "kolvar/object.h"

namespace kolvar::Importacion {

std::string DepurarCaracteres(const std::string& line) {
  const auto misc = CreateObject("SvrUtilLib.cMiscelaneos");
  std::vector<Value> args{Value(line), Value(" ")};
  return misc->Call("ValidarCaracErrEnImp", args).toString();
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
