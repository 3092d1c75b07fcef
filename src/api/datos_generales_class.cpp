#include "api/classes.h"
#include "api/dispatch.h"
#include "reference/datos_generales.h"

namespace kolvar::api {

void RegisterDatosGenerales() {
  using C = cDatosGenerales;
  ClassInfo<C>::Instance()
      .writeOnly<std::string>("mdbmod", &C::mdbmod)
      .writeOnly<std::string>("mdblec", &C::mdblec)
      .method("NumeroDeclarantes", &C::NumeroDeclarantes)
      .method("CargarResultado", &C::CargarResultado)
      .method("ObtenerDescriVia", &C::ObtenerDescriVia)
      .method("ObtenerNombreProvincia", &C::ObtenerNombreProvincia)
      .method("ObtenerDesClave", &C::ObtenerDesClave)
      .method("ObtenerDesPais", &C::ObtenerDesPais)
      .method("ObtenerDesMedioCobro", &C::ObtenerDesMedioCobro)
      .method("RecogerRutaURL", &C::RecogerRutaURL)
      .method("ObtenerURLAct", &C::ObtenerURLAct)
      .method("ValidaNifCif", &C::ValidaNifCif, 1)  // the letter flag is optional
      .method("ObtenerIdioma", &C::ObtenerIdioma)
      .method("ObtenerActOnline", &C::ObtenerActOnline)
      .method("CambiarIdioma", &C::CambiarIdioma)
      .method("GuardarActOnline", &C::GuardarActOnline);
  RegisterClass("kolvar.cDatosGenerales", [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace kolvar::api
