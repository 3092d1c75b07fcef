#include "declared/record_service.h"

#include "core/retag.h"
#include "dbaccess/conexion.h"
#include "declared/detail_table.h"
#include "declared/record_table.h"

namespace kolvar::declared {

Value cDeclarado::ObtenerDeclarados(std::int32_t lngDeclaracion) {
  return WithTag("cdeclarado.ObtenerDeclarados ", [&] {
    return OnUser([&] {
      cTDeclarados declarados;
      declarados.datTDeclarados_csci(lngDeclaracion);
      return declarados.ObtenerDeclarados();
    });
  });
}

std::int32_t cDeclarado::MayorClaveConDetalle() {
  return OnUser([] { return cTDeclarados().MayorClaveConDetalle(); });
}

std::int32_t cDeclarado::MaxDeclarado() {
  return WithTag("cdeclarado.MaxDeclarado ",
                 [&] { return OnUser([] { return cTDeclarados().MaxDeclarado(); }); });
}

Value cDeclarado::CargarDeclarado(std::int32_t lngDeclarado) {
  return WithTag("cdeclarado.CargarDeclarado ", [&] {
    return OnUser([&] {
      cTDeclarados declarados;
      declarados.datTDeclarados_csdo(lngDeclarado);
      return declarados.CargarDeclarado();
    });
  });
}

Value cDeclarado::CargarDetalle(const char* tag, DetailTable&& detail, std::int32_t lngDeclarado) {
  return WithTag(tag, [&] { return OnUser([&] { return detail.CargarDatos(lngDeclarado); }); });
}

Value cDeclarado::CargarDpdoi(std::int32_t lngDeclarado) {
  return CargarDetalle("cdeclarado.CargarDpdoi ", cTDpdoi(), lngDeclarado);
}

Value cDeclarado::CargarDpbi(std::int32_t lngDeclarado) {
  return CargarDetalle("cdeclarado.CargarDpbi ", cTDpbi(), lngDeclarado);
}

Value cDeclarado::CargarDpfr(std::int32_t lngDeclarado) {
  return CargarDetalle("cdeclarado.CargarDpfr ", cTDpfr(), lngDeclarado);
}

Value cDeclarado::CargarDpfe(std::int32_t lngDeclarado) {
  return CargarDetalle("cdeclarado.CargarDpfe ", cTDpfe(), lngDeclarado);
}

void cDeclarado::EliminarDeclarado(std::int32_t lngDeclarado, std::int32_t lngDeclaracion) {
  WithTag("cdeclarado.EliminarDeclarado ", [&] {
    WritingOnUser([&] {
      cTDeclarados declarados;
      declarados.datTDeclarados_csdo(lngDeclarado);
      declarados.datTDeclarados_csci(lngDeclaracion);
      if (declarados.BorrarDatosPropios()) declarados.EliminarDeclarado();
    });
  });
}

bool cDeclarado::comprobarFechaDeIngreso(const std::string& fecha, const std::string& pais) {
  return WithTag("cdeclarado.comprobarFechaDeIngreso ", [&] {
    return OnReference([&] { return cTDeclarados().comprobarFechaDeIngreso(fecha, pais); });
  });
}

}  // namespace kolvar::declared
