#include "declarations/declaration_service.h"

#include "core/retag.h"
#include "declarations/declarations_table.h"
#include "declared/record_table.h"

namespace kolvar::declarations {

namespace {

// The nine columns of a declaration from the arguments of the save methods.
void SetColumns(cTDeclaraciones& t, std::int32_t lngCodDecla, std::int32_t lngSecDeci,
                std::int32_t lngEjercicio, std::int32_t lngDeclarante, std::int16_t intPeriodo,
                const std::string& intPerdad, const std::string& strSust,
                const std::string& strCompl, const Value& lngDeclAnt) {
  t.datTDeclaraciones_CodDecla(lngCodDecla);
  t.datTDeclaraciones_Secdeci(lngSecDeci);
  t.datTDeclaraciones_Ejercicio(lngEjercicio);
  t.datTDeclaraciones_CodDecr(lngDeclarante);
  t.datTDeclaraciones_Periodo(intPeriodo);
  t.datTDeclaraciones_Periodicidad(intPerdad);
  t.datTDeclaraciones_Sustitutiva(strSust);
  t.datTDeclaraciones_Complementaria(strCompl);
  t.datTDeclaraciones_DAnt(lngDeclAnt.toLong());
}

}  // namespace

Value cDeclaraciones::ObtenerDeclaraciones(std::int32_t lngDeclarante) {
  return WithTag("cDeclaraciones.ObtenerDeclaraciones ", [&] {
    return OnUser([&] { return cTDeclaraciones().ObtenerDeclaraciones(lngDeclarante); });
  });
}

bool cDeclaraciones::EliminarDeclaracion(std::int32_t lngDeclaracion) {
  return WritingOnUser([&] {
    cTDeclaraciones declaration;
    declaration.datTDeclaraciones_CodDecla(lngDeclaracion);
    declared::cTDeclarados records;
    records.datTDeclarados_csci(lngDeclaracion);
    return records.BorrarDatosPropiosDeDeclaracion() && records.EliminarDeclarados() &&
           declaration.Borrar();
  });
}

// Every deletion joins one unit of work: all declarations go, or none.
bool cDeclaraciones::BorrarTodas(std::int32_t lngDeclarante) {
  db::Transaction unit = OpenUserWriting();
  const Value grid = cTDeclaraciones().ObtenerDeclaraciones(lngDeclarante);
  if (!grid.isNull())
    for (std::int32_t r = 1; r <= grid.ubound(2); ++r) EliminarDeclaracion(grid(0, r).toLong());
  unit.commit();
  return true;
}

std::int32_t cDeclaraciones::DuplicarDeclaracion(
    std::int32_t lngCodDecla, std::int32_t lngSecDeci, std::int32_t lngEjercicio,
    std::int32_t lngDeclarante, std::int16_t intPeriodo, const std::string& intPerdad,
    const std::string& strSust, const std::string& strCompl, const Value& lngDeclAnt) {
  return WithTag("cDeclaraciones.DuplicarDeclaracion ", [&] {
    cTDeclaraciones t;
    SetColumns(t, lngCodDecla, lngSecDeci, lngEjercicio, lngDeclarante, intPeriodo, intPerdad,
               strSust, strCompl, lngDeclAnt);
    return WritingOnUser([&] {
      const std::int32_t key = t.Insertar();
      if (key > 0) declared::cTDeclarados().DuplicarDeclarados(key, lngCodDecla);
      return key;
    });
  });
}

std::int32_t cDeclaraciones::GuardarDeclaracion(
    std::int32_t lngCodDecla, std::int32_t lngSecDeci, std::int32_t lngEjercicio,
    std::int32_t lngDeclarante, std::int16_t intPeriodo, const std::string& intPerdad,
    const std::string& strSust, const std::string& strCompl, const Value& lngDeclAnt) {
  return WithTag("cDeclaraciones.GuardarDeclaracion ", [&] {
    return WritingOnUser([&] {
      cTDeclaraciones t;
      SetColumns(t, lngCodDecla, lngSecDeci, lngEjercicio, lngDeclarante, intPeriodo, intPerdad,
                 strSust, strCompl, lngDeclAnt);
      return lngCodDecla < 1 ? t.Insertar() : t.Modificar();
    });
  });
}

Value cDeclaraciones::ObtenerTotalDeclarados(std::int32_t lngCodeclar) {
  return WithTag("cDeclaraciones.ObtenerTotalDeclarados ", [&] {
    return OnUser([&] {
      declared::cTDeclarados records;
      records.datTDeclarados_csci(lngCodeclar);
      return Value();
    });
  });
}

std::int32_t cDeclaraciones::ObtenerDeclaracion(std::int32_t lngCodDecl, std::int32_t lngEjercicio,
                                                std::int16_t intPeriodo,
                                                std::int16_t intPeriodicidad,
                                                std::int16_t intDeclAnt) {
  return WithTag("cDeclaraciones.ObtenerDeclaracion ", [&] {
    return OnUser([&] {
      cTDeclaraciones t;
      t.datTDeclaraciones_CodDecr(lngCodDecl);
      t.datTDeclaraciones_Ejercicio(lngEjercicio);
      t.datTDeclaraciones_Periodo(intPeriodo);
      t.datTDeclaraciones_Periodicidad(std::to_string(intPeriodicidad));
      t.datTDeclaraciones_DAnt(intDeclAnt);
      return t.ObtenerDeclaracion();
    });
  });
}

bool cDeclaraciones::DeclaracionExiste(std::int32_t lngDeclarante, std::int32_t lngEjercicio,
                                       std::int16_t intPeriodo, const std::string& intPerdad,
                                       std::int32_t lngSecDeci) {
  return WithTag("cDeclaraciones.DeclaracionExiste ", [&] {
    return OnUser([&] {
      cTDeclaraciones t;
      t.datTDeclaraciones_Secdeci(lngSecDeci);
      t.datTDeclaraciones_Ejercicio(lngEjercicio);
      t.datTDeclaraciones_CodDecr(lngDeclarante);
      t.datTDeclaraciones_Periodo(intPeriodo);
      t.datTDeclaraciones_Periodicidad(intPerdad);
      return t.DeclaracionExiste();
    });
  });
}

Value cDeclaraciones::ObtenerResumen(std::int32_t lngDeclaracion) {
  return WithTag("cDeclaraciones.ObtenerResumen ", [&] {
    return OnUser([&] {
      cTDeclaraciones t;
      t.datTDeclaraciones_CodDecla(lngDeclaracion);
      return t.ObtenerResumen();
    });
  });
}

Value cDeclaraciones::ObtenerDetalles(std::int32_t lngDeclaracion) {
  return WithTag("cDeclaraciones.ObtenerDetalles ", [&] {
    return OnUser([&] {
      cTDeclaraciones t;
      t.datTDeclaraciones_CodDecla(lngDeclaracion);
      return t.ObtenerDetalles();
    });
  });
}

Value cDeclaraciones::ImprimirDetalles(std::int32_t lngDeclaracion, const Value& varBuffer,
                                       bool blnFichero) {
  return WithTag("cDeclaraciones.ImprimirDetalles ", [&] {
    return OnUser([&] {
      cTDeclaraciones t;
      t.datTDeclaraciones_CodDecla(lngDeclaracion);
      return t.ImprimirDetalles(varBuffer, blnFichero);
    });
  });
}

}  // namespace kolvar::declarations
