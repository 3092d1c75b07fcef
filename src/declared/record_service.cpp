#include "declared/record_service.h"

#include "core/retag.h"
#include "dbaccess/conexion.h"
#include "declared/detail_table.h"
#include "declared/record_table.h"

namespace kolvar::declared {

void cDeclarado::AbrirUsuario() {
  Conexion().mdb(bd340mod);
  Conexion().InicializaBD(mdbmod_);
}

void cDeclarado::AbrirReferencia() {
  Conexion().mdb(bd340lec);
  Conexion().InicializaBD(mdblec_);
}

Value cDeclarado::ObtenerDeclarados(std::int32_t lngDeclaracion) {
  return WithTag("cdeclarado.ObtenerDeclarados ", [&] {
    AbrirUsuario();
    cTDeclarados declarados;
    declarados.datTDeclarados_csci(lngDeclaracion);
    Value result = declarados.ObtenerDeclarados();
    Conexion().Cerrar();
    return result;
  });
}

std::int32_t cDeclarado::MaxDeclarado() {
  return WithTag("cdeclarado.MaxDeclarado ", [&] {
    AbrirUsuario();
    const std::int32_t max = cTDeclarados().MaxDeclarado();
    Conexion().Cerrar();
    return max;
  });
}

Value cDeclarado::CargarDeclarado(std::int32_t lngDeclarado) {
  return WithTag("cdeclarado.CargarDeclarado ", [&] {
    AbrirUsuario();
    cTDeclarados declarados;
    declarados.datTDeclarados_csdo(lngDeclarado);
    Value result = declarados.CargarDeclarado();
    Conexion().Cerrar();
    return result;
  });
}

Value cDeclarado::CargarDetalle(const char* tag, DetailTable&& detail, std::int32_t lngDeclarado) {
  return WithTag(tag, [&] {
    AbrirUsuario();
    Value result = detail.CargarDatos(lngDeclarado);
    Conexion().Cerrar();
    return result;
  });
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
    AbrirUsuario();
    cTDeclarados declarados;
    declarados.datTDeclarados_csdo(lngDeclarado);
    declarados.datTDeclarados_csci(lngDeclaracion);
    if (declarados.BorrarDatosPropios()) declarados.EliminarDeclarado();
    Conexion().Cerrar();
  });
}

bool cDeclarado::comprobarFechaDeIngreso(const std::string& fecha, const std::string& pais) {
  return WithTag("cdeclarado.comprobarFechaDeIngreso ", [&] {
    AbrirReferencia();
    const bool result = cTDeclarados().comprobarFechaDeIngreso(fecha, pais);
    Conexion().Cerrar();
    return result;
  });
}

}  // namespace kolvar::declared
