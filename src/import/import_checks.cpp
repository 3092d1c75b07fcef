#include "import/import_checks.h"

#include "core/text.h"
#include "dbaccess/general.h"

namespace kolvar::Importacion {

void AgregarError(Value& errores, std::int16_t& k, findings::ImportCode codigo,
                  const std::string& texto) {
  declared::AppendEntry(errores, k, Value(std::int16_t{codigo}), Value(texto));
}

bool ComprobarLongitud(const std::string& texto, std::int32_t longitud, Value& errores,
                       std::int16_t& k, findings::ImportCode codigo) {
  if (static_cast<std::int64_t>(text::Len(texto)) == longitud) return true;
  AgregarError(errores, k, codigo, "");
  return false;
}

void ComprobarVacio(const std::string& texto, Value& errores, std::int16_t& k,
                    findings::ImportCode codigo) {
  if (text::Trim(texto).empty()) AgregarError(errores, k, codigo, "");
}

void ComprobarNumerico(const std::string& texto, Value& errores, std::int16_t& k,
                       findings::ImportCode codigo) {
  if (texto.empty() || !General::EsNumero(texto)) AgregarError(errores, k, codigo, texto);
}

void ComprobarMes(const std::string& texto, Value& errores, std::int16_t& k,
                  findings::ImportCode codigo) {
  static constexpr const char* kMonths[] = {"01", "02", "03", "04", "05", "06",
                                            "07", "08", "09", "10", "11", "12"};
  for (const char* m : kMonths)
    if (texto == m) return;
  AgregarError(errores, k, codigo, texto);
}

}  // namespace kolvar::Importacion
