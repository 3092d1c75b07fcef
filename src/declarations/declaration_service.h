// cDeclaraciones: the public service for declarations: list, save, duplicate
// with their declared records, delete with everything under them, find, and
// the summary, counts and listing cells. One unit of work per method.
#pragma once

#include <cstdint>
#include <string>

#include "dbaccess/unit_of_work.h"
#include "kolvar/value.h"

namespace kolvar::declarations {

class cTDeclaraciones;

class cDeclaraciones : public ServiceDatabases {
 public:
  Value ObtenerDeclaraciones(std::int32_t lngDeclarante);
  // Detail rows, then records, then the declaration; each step only after the
  // one before succeeded.
  bool EliminarDeclaracion(std::int32_t lngDeclaracion);
  bool BorrarTodas(std::int32_t lngDeclarante);
  // A new declaration with these values and a copy of every declared record
  // of lngCodDecla; returns the new key.
  std::int32_t DuplicarDeclaracion(std::int32_t lngCodDecla, std::int32_t lngSecDeci,
                                   std::int32_t lngEjercicio, std::int32_t lngDeclarante,
                                   std::int16_t intPeriodo, const std::string& intPerdad,
                                   const std::string& strSust, const std::string& strCompl,
                                   const Value& lngDeclAnt);
  // Inserts (lngCodDecla below 1) or rewrites the declaration; returns its key.
  std::int32_t GuardarDeclaracion(std::int32_t lngCodDecla, std::int32_t lngSecDeci,
                                  std::int32_t lngEjercicio, std::int32_t lngDeclarante,
                                  std::int16_t intPeriodo, const std::string& intPerdad,
                                  const std::string& strSust, const std::string& strCompl,
                                  const Value& lngDeclAnt);
  // Computes nothing: an empty Value, as clients have always received.
  Value ObtenerTotalDeclarados(std::int32_t lngCodeclar);
  std::int32_t ObtenerDeclaracion(std::int32_t lngCodDecl, std::int32_t lngEjercicio,
                                  std::int16_t intPeriodo, std::int16_t intPeriodicidad,
                                  std::int16_t intDeclAnt);
  bool DeclaracionExiste(std::int32_t lngDeclarante, std::int32_t lngEjercicio,
                         std::int16_t intPeriodo, const std::string& intPerdad,
                         std::int32_t lngSecDeci);
  Value ObtenerResumen(std::int32_t lngDeclaracion);
  Value ObtenerDetalles(std::int32_t lngDeclaracion);
  Value ImprimirDetalles(std::int32_t lngDeclaracion, const Value& varBuffer, bool blnFichero);
};

}  // namespace kolvar::declarations
