#include "export/export_service.h"

#include "core/retag.h"
#include "declarations/declarations_table.h"
#include "declared/record_table.h"

namespace kolvar {

Value cExportacion::ObtenerTotalesPorDeclaracion(std::int32_t lngCodDecl) {
  return WithTag("cExportacion.ObtenerTotalesPorDeclaracion ", [&] {
    return OnUser([&] {
      declarations::cTDeclaraciones t;
      t.datTDeclaraciones_CodDecla(lngCodDecl);
      return t.ObtenerTotalesPorDeclaracion();
    });
  });
}

Value cExportacion::ObtenerDeclaradosParaFichero(std::int32_t lngDeclaracion) {
  return WithTag("cExportacion.ObtenerDeclaradosParaFichero ", [&] {
    return OnUser([&] {
      declared::cTDeclarados t;
      t.datTDeclarados_csci(lngDeclaracion);
      return t.ObtenerDeclaradosParaFichero();
    });
  });
}

}  // namespace kolvar
