#include "api/classes.h"
#include "api/dispatch.h"
#include "declarations/declaration_service.h"

namespace kolvar::api {

void RegisterDeclaraciones() {
  using C = declarations::cDeclaraciones;
  ClassInfo<C>::Instance()
      .writeOnly<std::string>("mdbmod", &C::mdbmod)
      .writeOnly<std::string>("mdblec", &C::mdblec)
      .method("ObtenerDeclaraciones", &C::ObtenerDeclaraciones)
      .method("EliminarDeclaracion", &C::EliminarDeclaracion)
      .method("BorrarTodas", &C::BorrarTodas)
      .method("DuplicarDeclaracion", &C::DuplicarDeclaracion)
      .method("GuardarDeclaracion", &C::GuardarDeclaracion)
      .method("ObtenerTotalDeclarados", &C::ObtenerTotalDeclarados)
      .method("ObtenerDeclaracion", &C::ObtenerDeclaracion)
      .method("DeclaracionExiste", &C::DeclaracionExiste)
      .method("ObtenerResumen", &C::ObtenerResumen)
      .method("ObtenerDetalles", &C::ObtenerDetalles)
      .method("ImprimirDetalles", &C::ImprimirDetalles);
  RegisterClass("kolvar.cDeclaraciones", [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace kolvar::api
