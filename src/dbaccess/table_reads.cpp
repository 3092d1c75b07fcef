#include "dbaccess/table_reads.h"

#include "dbaccess/conexion.h"
#include "dbaccess/general.h"

namespace kolvar {

Value SelectBuffer(const std::string& sql, std::int16_t mode) {
  auto rs = Conexion().openRecordset(sql);
  Value buffer = General::CargarBuffer(*rs, mode);
  rs->close();
  return buffer;
}

}  // namespace kolvar
