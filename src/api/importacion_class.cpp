#include "api/classes.h"
#include "api/dispatch.h"
#include "import/import_driver.h"

namespace kolvar::api {

void RegisterImportacion() {
  using C = cImportacion;
  ClassInfo<C>::Instance()
      .prop<std::string>("mdblec", &C::mdblec, &C::mdblec)
      .prop<std::string>("mdbmod", &C::mdbmod, &C::mdbmod)
      .prop<std::string>("Declaracion", &C::Declaracion, &C::Declaracion)
      .prop<std::int32_t>("Ejercicio", &C::Ejercicio, &C::Ejercicio)
      .prop<std::int16_t>("Periodo", &C::Periodo, &C::Periodo)
      .prop<std::int16_t>("Periodicidad", &C::Periodicidad, &C::Periodicidad)
      .prop<std::int32_t>("EjercicioMin", &C::EjercicioMin, &C::EjercicioMin)
      .prop<std::int32_t>("EjercicioMax", &C::EjercicioMax, &C::EjercicioMax)
      .prop<bool>("Estatal", &C::Estatal, &C::Estatal)
      .prop<std::int16_t>("ExisDte", &C::ExisDte, &C::ExisDte)
      .prop<bool>("RechazarDeclaracion", &C::RechazarDeclaracion, &C::RechazarDeclaracion)
      .prop<std::uint8_t>("Resultado", &C::Resultado, &C::Resultado)
      .readOnly<std::uint8_t>("Sujeto", &C::Sujeto)
      .prop<std::int16_t>("OpeDeImp", &C::OpeDeImp, &C::OpeDeImp)
      .prop<std::int32_t>("CodDte", &C::CodDte, &C::CodDte)
      .method("ValidarDeclaracionDte", &C::ValidarDeclaracionDte)
      .method("ValDeclaracion", &C::ValDeclaracion)
      .method("importDeclarado", &C::importDeclarado)
      .method("IniciarLote", &C::IniciarLote)
      .method("TerminarLote", &C::TerminarLote)
      .method("CancelarLote", &C::CancelarLote)
      .method("ImportarFichero", &C::ImportarFichero, 1);
  RegisterClass("kolvar.cImportacion", [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace kolvar::api
