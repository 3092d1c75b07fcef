#include "declarations/declarations_table.h"

#include "core/retag.h"
#include "dbaccess/conexion.h"
#include "dbaccess/sql_literal.h"
#include "declarations/counters.h"

namespace kolvar::declarations {

namespace {

// Snapshots are asked for by type; the connection opens its one kind.
constexpr std::int16_t kSnapshot = 4;

}  // namespace

Value cTDeclaraciones::ObtenerDeclaraciones(std::int32_t lngDeclarante) {
  return WithTag("cTDeclaraciones.ObtenerDeclaraciones ", [&] {
    auto rs = Conexion().openRecordset(
        "Select tdeclaraciones.CSCI,  tdeclaraciones.ejercicio, tdeclaraciones.comp, "
        "tdeclaraciones.sust, tdeclaraciones.pernum,  tdeclaraciones.perdad, "
        "tdeclaraciones.DAnt, tdeclaraciones.SECDECI  "
        "from tdeclaraciones WHERE csde = " +
            Num(lngDeclarante) + " order by tdeclaraciones.ejercicio, tdeclaraciones.CSCI asc",
        kSnapshot);
    Value grid = Value::Array({{0, 8}, {0, 0}});
    std::int16_t r = 1;
    while (!rs->eof()) {
      grid.redimPreserve(r);
      grid(0, r) = rs->field("CSCI");
      grid(1, r) = rs->field("ejercicio");
      grid(2, r) = rs->field("comp");
      grid(3, r) = rs->field("sust");
      grid(4, r) = Value(ContarDeclarados(rs->field("CSCI").toLong()));
      grid(5, r) = rs->field("pernum");
      grid(6, r) = rs->field("perdad");
      grid(7, r) = rs->field("DAnt");
      grid(8, r) = rs->field("SECDECI");
      r = Next16(r);
      rs->moveNext();
    }
    rs->close();
    return grid.ubound(2) < 1 ? Value::Null() : grid;
  });
}

std::int32_t cTDeclaraciones::ObtenerDeclaracion() {
  return WithTag("cTDeclaraciones.ObtenerDeclaracion ", [&] {
    auto rs = Conexion().openRecordset(
        "Select csci from tdeclaraciones WHERE CSDE = " + Num(CodDecr_) +
            " and ejercicio = " + Num(Ejercicio_) + " and PERNUM = " + Num(Periodo_) +
            " and PERDAD = " + SqlText(Periodicidad_) + " and DANT = " + Num(DAnt_),
        kSnapshot);
    const std::int32_t key = rs->recordCount() != 0 ? rs->field("csci").toLong() : 0;
    rs->close();
    return key;
  });
}

std::int32_t cTDeclaraciones::ContarDeclarados(std::int32_t lngDeclaracion) {
  return WithTag("cTDeclaraciones.ContarDeclarados ", [&] {
    auto rs = Conexion().openRecordset(
        "Select  count(CSDO) as declarados from tOperadores"
        " WHERE CSCI = " +
            Num(lngDeclaracion),
        kSnapshot);
    const std::int32_t count = rs->recordCount() > 0 ? rs->field("declarados").toLong() : 0;
    rs->close();
    return count;
  });
}

std::int32_t cTDeclaraciones::Insertar() {
  Conexion().execute(
      "INSERT INTO TDeclaraciones (CSDE, EJERCICIO, PERNUM, PERDAD,SECDECI,COMP,SUST,DANT) "
      "VALUES ( " +
      Num(CodDecr_) + ", " + Num(Ejercicio_) + ", " + Num(Periodo_) + ", " +
      SqlText(Periodicidad_) + ", " + Num(Secdeci_) + ", " +
      SqlTexts({Complementaria_, Sustitutiva_}) + ", " + Num(DAnt_) + ")");
  return Conexion().lastInsertKey();
}

std::int32_t cTDeclaraciones::Modificar() {
  // PERDAD goes in without apostrophes: its digits are stored as text all the
  // same, and a text that is not a number is the syntax error.
  Conexion().execute(
      "UPDATE TDeclaraciones"
      " set  SECDECI = " +
      Num(Secdeci_) + ", EJERCICIO = " + Num(Ejercicio_) + ", PERNUM = " + Num(Periodo_) +
      ", PERDAD = " + SqlNumberText(Periodicidad_) + ", CSDE = " + Num(CodDecr_) +
      ", COMP = " + SqlText(Complementaria_) + ", SUST = " + SqlText(Sustitutiva_) +
      ", DANT = " + Num(DAnt_) + " where CSCI = " + Num(CodDecla_));
  return CodDecla_;
}

bool cTDeclaraciones::Borrar() {
  Conexion().execute("DELETE FROM TDeclaraciones WHERE CSCI = " + Num(CodDecla_));
  return true;
}

Value cTDeclaraciones::MaxFrom(const std::string& sql) {
  auto rs = Conexion().openRecordset(sql, kSnapshot);
  Value max = rs->field(0);
  rs->close();
  return max;
}

std::int32_t cTDeclaraciones::Max_SecDeci() {
  SQL_MAX_ = "SELECT MAX(SECDECI) FROM TDeclaraciones where ";
  SQL_MAX_ += "CSDE = " + Num(CodDecr_) + " and ";
  SQL_MAX_ += "EJERCICIO = " + Num(Ejercicio_) + " and ";
  SQL_MAX_ += "PERNUM = " + Num(Periodo_) + " and ";
  SQL_MAX_ += "PERDAD = ";
  SQL_MAX_ += " " + SqlText(Periodicidad_);
  const Value max = MaxFrom(SQL_MAX_);
  return max.isNull() ? 1 : max.toLong() + 1;
}

std::int32_t cTDeclaraciones::Seleccion_MAX() {
  SQL_MAX_ = "SELECT MAX(CSCI) FROM TDeclaraciones ";
  const Value max = MaxFrom(SQL_MAX_);
  return max.isNull() ? 0 : max.toLong();
}

std::string cTDeclaraciones::ExistsStatement() const {
  return std::string("SELECT count(*) FROM TDeclaraciones where ") + "SECDECI = " + Num(Secdeci_) +
         " and " + " CSDE = " + Num(CodDecr_) + " and " + " EJERCICIO = " + Num(Ejercicio_) +
         " and " + " PERNUM = " + Num(Periodo_) + " and " + " PERDAD = " + " " +
         SqlText(Periodicidad_);
}

bool cTDeclaraciones::DeclaracionExiste() {
  auto rs = Conexion().openRecordset(ExistsStatement(), kSnapshot);
  const bool exists = rs->field(0).toLong() > 0;
  rs->close();
  return exists;
}

}  // namespace kolvar::declarations
