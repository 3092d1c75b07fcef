// cDeclarante: the public service through which the client loads, saves,
// deletes and lists declarants, one unit of work per method.
#pragma once

#include <cstdint>
#include <string>

#include "dbaccess/unit_of_work.h"
#include "kolvar/value.h"

namespace kolvar {

class cDeclarante : public ServiceDatabases {
 public:
  // Replaces the buffer with the declarant's cells 0 to 17; the postal code
  // goes out split into its first two and last three digits (cells 10, 11).
  void CargarDeclarante(std::int32_t lngCSDE, Value& vBufferResultado);
  // Inserts (key 0) or updates the declarant of the buffer, whose cell 10 is
  // the whole postal code; returns its key. Leaves the database open.
  std::int32_t GuardarDeclarante(const Value& vBufferResultado);
  // With bDeclaraciones, the declarant's declarations go first.
  void EliminarDeclarante(std::int32_t SecDte, bool bDeclaraciones = false);
  Value ObtenerUltimosDeclarantes();
  std::int32_t NifRepetido(const std::string& strNif);
  Value ObtenerDeclarantes();
};

}  // namespace kolvar
