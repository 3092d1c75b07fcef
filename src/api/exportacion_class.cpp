#include "api/classes.h"
#include "api/dispatch.h"
#include "export/export_service.h"

namespace kolvar::api {

void RegisterExportacion() {
  using C = cExportacion;
  ClassInfo<C>::Instance()
      .writeOnly<std::string>("mdbmod", &C::mdbmod)
      .writeOnly<std::string>("mdblec", &C::mdblec)
      .method("ObtenerTotalesPorDeclaracion", &C::ObtenerTotalesPorDeclaracion)
      .method("ObtenerDeclaradosParaFichero", &C::ObtenerDeclaradosParaFichero);
  RegisterClass("kolvar.cExportacion", [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace kolvar::api
