// Saving a declared record from the client's record buffer: the common
// columns, validation on request, and the detail row of its book.
#include <algorithm>
#include <numeric>

#include "dbaccess/conexion.h"
#include "dbaccess/conflict_retry.h"
#include "declared/detail_table.h"
#include "declared/error_buffer.h"
#include "declared/record_service.h"
#include "declared/record_table.h"

namespace kolvar::declared {

namespace {

// The common columns from cells 0 to 18 of the buffer, each converted to the
// type of its property.
void LoadRecord(cTDeclarados& d, const Value& b) {
  d.datTDeclarados_csci(b(0).toLong());
  d.datTDeclarados_csdo(b(1).toLong());
  d.datTDeclarados_nif(b(2).toString());
  d.datTDeclarados_nifrep(b(3).toString());
  d.datTDeclarados_nombre(b(4).toString());
  d.datTDeclarados_pais(b(5).toString());
  d.datTDeclarados_cnipr(b(6).toByte());
  d.datTDeclarados_nifdpr(b(7).toString());
  d.datTDeclarados_cdtl(b(8).toString());
  d.datTDeclarados_cdo(b(9).toString());
  d.datTDeclarados_fde(b(10).toLong());
  d.datTDeclarados_fdo(b(11).toLong());
  d.datTDeclarados_tipoimp(b(12).toLong());
  d.datTDeclarados_bimp(b(13).toDouble());
  d.datTDeclarados_cuota(b(14).toDouble());
  d.datTDeclarados_imptf(b(15).toDouble());
  d.datTDeclarados_baseimpcoste(b(16).toDouble());
  d.datTDeclarados_idfactura(b(17).toString());
  d.datTDeclarados_nodereg(b(18).toString());
}

// The detail columns that records of fiscal year `year` store, read from the
// buffer in the order of its cells; the others keep their zero value.
void LoadDetail(DetailTable& detail, const Value& b, std::int16_t year) {
  const auto& columns = detail.layout().columns;
  std::vector<std::size_t> order(columns.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  std::sort(order.begin(), order.end(), [&](std::size_t x, std::size_t y) {
    return columns[x].bufferIndex < columns[y].bufferIndex;
  });
  for (std::size_t i : order)
    if (year >= columns[i].sinceYear) detail.property(i, b(columns[i].bufferIndex));
}

}  // namespace

// One unit of work: the record, its key and its detail row are committed
// together or not at all. Every value is converted before anything is written.
Value cDeclarado::GuardarDeclarado(const Value& vBufferResultado, bool blnValidar) {
  cTDeclarados declarado;
  LoadRecord(declarado, vBufferResultado);
  Value errors = blnValidar ? ValidarRegistro(vBufferResultado, declarado) : NewErrorBuffer();
  if (!errors(0, 0).isEmpty()) {
    OpenUser();
    return errors;
  }
  std::optional<DetailTable> detail = DetailOfBook(declarado.datTDeclarados_cdtl());
  if (detail) LoadDetail(*detail, vBufferResultado, EjercicioDestino_);
  const std::int32_t key = declarado.datTDeclarados_csdo();
  return RetryingConflicts([&] {
    declarado.datTDeclarados_csdo(key);  // as given, on every attempt
    db::Transaction unit = OpenUserWriting();
    if (key != 0) {
      if (declarado.Modificar()) GuardarDatosPropios(declarado, detail, false);
    } else {
      declarado.datTDeclarados_csdo(declarado.Insertar());
      if (declarado.datTDeclarados_csdo() >= 1) GuardarDatosPropios(declarado, detail, true);
    }
    unit.commit();
    return errors;
  });
}

Value cDeclarado::ValidarRegistro(const Value& vBufferResultado, cTDeclarados& declarado) {
  Value errors;
  OnReference([&] { declarado.Validar(vBufferResultado, errors); });
  if (std::optional<DetailTable> detail = DetailOfBook(declarado.datTDeclarados_cdtl()))
    detail->Validar(vBufferResultado, errors);
  return errors;
}

void cDeclarado::GuardarDatosPropios(cTDeclarados& declarado, std::optional<DetailTable>& detail,
                                     bool nuevo) {
  const std::int32_t key = declarado.datTDeclarados_csdo();
  if (!nuevo || !techoDeDetalles_ || key <= *techoDeDetalles_) declarado.BorrarDatosPropios();
  if (!detail) return;
  detail->InsertarDatos(Value(key), Value(declarado.datTDeclarados_csci()));
  if (techoDeDetalles_) techoDeDetalles_ = std::max(*techoDeDetalles_, key);
}

}  // namespace kolvar::declared
