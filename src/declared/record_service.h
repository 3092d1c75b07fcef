// cDeclarado: the public service for single declared records. Each method is
// one unit of work on the shared connection: it opens the database it needs,
// uses the table classes and, except GuardarDeclarado, closes it again. The
// methods that write do it in one transaction.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "dbaccess/unit_of_work.h"
#include "kolvar/value.h"

namespace kolvar::declared {

class cTDeclarados;
class DetailTable;

class cDeclarado : public ServiceDatabases {
 public:
  void EjercicioDestino(std::int16_t v) { EjercicioDestino_ = v; }

  // Validates (when asked) and saves the record of the buffer with the detail
  // row of its book; returns the findings. Leaves the user database open.
  Value GuardarDeclarado(const Value& vBufferResultado, bool blnValidar);
  Value ObtenerDeclarados(std::int32_t lngDeclaracion);
  std::int32_t MaxDeclarado();
  // For bulk saving of new records: the highest record key a detail row
  // carries. While the ceiling is known (nothing else writes meanwhile), a
  // record GuardarDeclarado inserts under a key above it has no detail rows
  // to delete; the detail rows it stores raise it.
  std::int32_t MayorClaveConDetalle();
  void TechoDeDetalles(std::optional<std::int32_t> v) { techoDeDetalles_ = v; }
  std::optional<std::int32_t> TechoDeDetalles() const { return techoDeDetalles_; }
  Value CargarDeclarado(std::int32_t lngDeclarado);
  Value CargarDpdoi(std::int32_t lngDeclarado);
  Value CargarDpbi(std::int32_t lngDeclarado);
  Value CargarDpfr(std::int32_t lngDeclarado);
  Value CargarDpfe(std::int32_t lngDeclarado);
  // Deletes the record's detail rows, then the record.
  void EliminarDeclarado(std::int32_t lngDeclarado, std::int32_t lngDeclaracion);
  bool comprobarFechaDeIngreso(const std::string& fecha, const std::string& pais);

 private:
  Value ValidarRegistro(const Value& vBufferResultado, cTDeclarados& declarado);
  // The record's detail rows replaced by `detail`, already filled (none for a
  // letter without a detail table).
  // A new record (`nuevo`) above the ceiling has none to replace.
  void GuardarDatosPropios(cTDeclarados& declarado, std::optional<DetailTable>& detail, bool nuevo);

  Value CargarDetalle(const char* tag, DetailTable&& detail, std::int32_t lngDeclarado);

  std::int16_t EjercicioDestino_ = 0;
  std::optional<std::int32_t> techoDeDetalles_;
};

}  // namespace kolvar::declared
