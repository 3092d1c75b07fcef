#include "api/classes.h"
#include "api/dispatch.h"
#include "declarants/declarant_service.h"

namespace kolvar::api {

void RegisterDeclarante() {
  using C = cDeclarante;
  ClassInfo<C>::Instance()
      .writeOnly<std::string>("mdbmod", &C::mdbmod)
      .writeOnly<std::string>("mdblec", &C::mdblec)
      .method("CargarDeclarante", &C::CargarDeclarante)
      .method("GuardarDeclarante", &C::GuardarDeclarante)
      .method("EliminarDeclarante", &C::EliminarDeclarante, 1)  // the flag is optional
      .method("ObtenerUltimosDeclarantes", &C::ObtenerUltimosDeclarantes)
      .method("NifRepetido", &C::NifRepetido)
      .method("ObtenerDeclarantes", &C::ObtenerDeclarantes);
  RegisterClass("kolvar.cDeclarante", [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace kolvar::api
