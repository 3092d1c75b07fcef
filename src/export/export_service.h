// cExportacion: the data of one declaration from which the client writes the
// form-340 file: its totals and the grid of its declared records with every
// detail column.
#pragma once

#include <cstdint>

#include "dbaccess/unit_of_work.h"
#include "kolvar/value.h"

namespace kolvar {

class cExportacion : public ServiceDatabases {
 public:
  Value ObtenerTotalesPorDeclaracion(std::int32_t lngCodDecl);
  Value ObtenerDeclaradosParaFichero(std::int32_t lngDeclaracion);
};

}  // namespace kolvar
