// cTDeclaraciones: the table of declarations (TDeclaraciones). One object holds
// one declaration in its properties and runs its statements on the shared
// connection, on the user database its caller has opened. The same class
// gives the totals, summary, counts and listing cells of a declaration's
// declared records.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "kolvar/value.h"

namespace kolvar::db {
class Recordset;
}

namespace kolvar::declarations {

class cTDeclaraciones {
 public:
  // Column properties; text values go into statements exactly as stored.
  std::int32_t datTDeclaraciones_CodDecla() const { return CodDecla_; }
  void datTDeclaraciones_CodDecla(std::int32_t v) { CodDecla_ = v; }
  std::int32_t datTDeclaraciones_CodDecr() const { return CodDecr_; }
  void datTDeclaraciones_CodDecr(std::int32_t v) { CodDecr_ = v; }
  std::int32_t datTDeclaraciones_Secdeci() const { return Secdeci_; }
  void datTDeclaraciones_Secdeci(std::int32_t v) { Secdeci_ = v; }
  std::int32_t datTDeclaraciones_Ejercicio() const { return Ejercicio_; }
  void datTDeclaraciones_Ejercicio(std::int32_t v) { Ejercicio_ = v; }
  std::int16_t datTDeclaraciones_Periodo() const { return Periodo_; }
  void datTDeclaraciones_Periodo(std::int16_t v) { Periodo_ = v; }
  const std::string& datTDeclaraciones_Periodicidad() const { return Periodicidad_; }
  void datTDeclaraciones_Periodicidad(std::string v) { Periodicidad_ = std::move(v); }
  const std::string& datTDeclaraciones_Sustitutiva() const { return Sustitutiva_; }
  void datTDeclaraciones_Sustitutiva(std::string v) { Sustitutiva_ = std::move(v); }
  const std::string& datTDeclaraciones_Complementaria() const { return Complementaria_; }
  void datTDeclaraciones_Complementaria(std::string v) { Complementaria_ = std::move(v); }
  std::int32_t datTDeclaraciones_DAnt() const { return DAnt_; }
  void datTDeclaraciones_DAnt(std::int32_t v) { DAnt_ = v; }

  // A plain stored value; no operation uses it.
  std::int16_t MaximoCodigo() const { return MaximoCodigo_; }
  void MaximoCodigo(std::int16_t v) { MaximoCodigo_ = v; }
  // The last statement built by Max_SecDeci or Seleccion_MAX.
  const std::string& SQL_MAX() const { return SQL_MAX_; }
  void SQL_MAX(std::string v) { SQL_MAX_ = std::move(v); }

  // The declarant's declarations by year, then key: a grid (column 0..8,
  // row 0..N) with row 0 empty and the record count in column 4; Null when
  // there is none.
  Value ObtenerDeclaraciones(std::int32_t lngDeclarante);
  // Key of the declaration of (CodDecr, Ejercicio, Periodo, Periodicidad,
  // DAnt), or 0.
  std::int32_t ObtenerDeclaracion();
  // Inserts the declaration; returns the key of the row it wrote.
  std::int32_t Insertar();
  // Rewrites every column of row CodDecla; returns CodDecla.
  std::int32_t Modificar();
  // Deletes row CodDecla only.
  bool Borrar();
  // Next free sequence number of (CodDecr, Ejercicio, Periodo, Periodicidad).
  std::int32_t Max_SecDeci();
  // Greatest key of the whole table, 0 when it is empty.
  std::int32_t Seleccion_MAX();
  // Whether (Secdeci, CodDecr, Ejercicio, Periodo, Periodicidad) is taken.
  bool DeclaracionExiste();
  // The statement DeclaracionExiste opens, from the current properties.
  std::string ExistsStatement() const;

  // Of the records of declaration CodDecla. Totals: sums of BIMP, CUOTA,
  // IMPTF as text (0..3). Summary: (group 0..4, measure 0..4) Doubles.
  // Counts: all records, then books E, F, I, J, R, S, U (0..7) Doubles.
  Value ObtenerTotalesPorDeclaracion();
  Value ObtenerResumen();
  Value ObtenerDetalles();
  // Listing lines (column 0..8, line 0..M-1) for the requests (code, first
  // position, last position) in the columns of vBuffer; blnFichero chooses
  // the longer names of the file form.
  Value ImprimirDetalles(const Value& vBuffer, bool blnFichero);

 private:
  std::int32_t ContarDeclarados(std::int32_t lngDeclaracion);
  // Opens a SELECT and reads its single value.
  Value MaxFrom(const std::string& sql);
  static void CargarFilaResumen(Value& summary, std::int16_t group, const Value& buffer);
  static void CargarLineaDetalle(Value& grid, db::Recordset& rs, std::int16_t line,
                                 const std::string& code, bool blnFichero);

  std::int32_t CodDecla_ = 0;
  std::int32_t CodDecr_ = 0;
  std::int32_t Secdeci_ = 0;
  std::int32_t Ejercicio_ = 0;
  std::int16_t Periodo_ = 0;
  std::string Periodicidad_;
  std::string Sustitutiva_;
  std::string Complementaria_;
  std::int32_t DAnt_ = 0;
  std::int16_t MaximoCodigo_ = 0;
  std::string SQL_MAX_;
};

}  // namespace kolvar::declarations
