#include "api/classes.h"
#include "api/dispatch.h"
#include "declared/record_service.h"

namespace kolvar::api {

void RegisterDeclarado() {
  using C = declared::cDeclarado;
  ClassInfo<C>::Instance()
      .writeOnly<std::string>("mdbmod", &C::mdbmod)
      .writeOnly<std::string>("mdblec", &C::mdblec)
      .writeOnly<std::int16_t>("EjercicioDestino", &C::EjercicioDestino)
      .method("GuardarDeclarado", &C::GuardarDeclarado)
      .method("ObtenerDeclarados", &C::ObtenerDeclarados)
      .method("MaxDeclarado", &C::MaxDeclarado)
      .method("CargarDeclarado", &C::CargarDeclarado)
      .method("CargarDpdoi", &C::CargarDpdoi)
      .method("CargarDpbi", &C::CargarDpbi)
      .method("CargarDpfr", &C::CargarDpfr)
      .method("CargarDpfe", &C::CargarDpfe)
      .method("EliminarDeclarado", &C::EliminarDeclarado)
      .method("comprobarFechaDeIngreso", &C::comprobarFechaDeIngreso);
  RegisterClass("kolvar.cDeclarado", [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace kolvar::api
