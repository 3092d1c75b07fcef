// Copying the declared records of one declaration into another, each with the
// detail row of its book.
#include "dbaccess/conexion.h"
#include "dbaccess/sql_literal.h"
#include "declared/detail_table.h"
#include "declared/record_table.h"
#include "kolvar/ui.h"

namespace kolvar::declared {

bool cTDeclarados::DuplicarDeclarados(std::int32_t lngNuevoCodigoDeclaracion,
                                      std::int32_t lngCodDeclaOrigen) {
  auto rs = Conexion().openRecordset(
      "select csdo, NIF,NREP,NOMBRE,PAIS,CNIPR,NIFDPR,CDTL,CDO,FDE,FDO,TIPOIMP,BIMP,CUOTA,IMPTF, "
      "BASEIMPCOSTE,IDFACTURA,NODEREG from tOperadores where CSCI = " +
      SqlNumber(lngCodDeclaOrigen));
  constexpr int kCdtl = 7;  // position of CDTL in the query
  while (!rs->eof()) {
    std::vector<std::string> values;
    for (int j = 1; j < rs->fieldCount(); ++j) values.push_back(SqlValueText(rs->field(j)));
    Conexion().execute(
        "Insert into tOperadores (CSCI,NIF,NREP,NOMBRE,PAIS,CNIPR,NIFDPR,CDTL,CDO,FDE,FDO,TIPOIMP,"
        "BIMP,CUOTA,IMPTF, BASEIMPCOSTE,IDFACTURA,NODEREG) values ( " +
        SqlNumber(lngNuevoCodigoDeclaracion) + ", " + SqlTexts(values) + ")");
    const std::int32_t nuevo = Conexion().lastInsertKey();
    if (!DuplicarDatosPropios(lngNuevoCodigoDeclaracion, lngCodDeclaOrigen, rs->field(0).toLong(),
                              nuevo, SqlValueText(rs->field(kCdtl)))) {
      CurrentUserInterface()->MessageBox(
          "Se ha producido un error copiando datos propios del declarado");
      return false;
    }
    rs->moveNext();
  }
  return true;
}

bool cTDeclarados::DuplicarDatosPropios(std::int32_t lngNuevoCodigoDeclaracion,
                                        std::int32_t lngCodDeclaOrigen, std::int32_t lngCSDOrg,
                                        std::int32_t lngCSDO, const std::string& strLibro) {
  std::optional<DetailTable> detail = DetailOfBook(strLibro);
  if (!detail) return false;
  return detail->DuplicarDatosPropios(lngNuevoCodigoDeclaracion, lngCodDeclaOrigen, lngCSDO,
                                      lngCSDOrg);
}

}  // namespace kolvar::declared
