#include "declared/record_table.h"

#include <algorithm>

#include "core/retag.h"
#include "dbaccess/batch_state.h"
#include "dbaccess/conexion.h"
#include "dbaccess/general.h"
#include "dbaccess/sql_literal.h"
#include "dbaccess/table_reads.h"

namespace kolvar::declared {

namespace {

std::string Num(std::int32_t v) {
  return SqlNumber(v);
}
std::string Num(double v) {
  return SqlNumber(v);
}

// Detail tables in the order their rows are deleted.
constexpr const char* kDetailTables[] = {"tdpdoi", "tdpbi", "tdpfe", "tdpfr"};

}  // namespace

void cTDeclarados::datTDeclarados_nifrep(std::string v) {
  nifrep_ = General::QuitarApostrofo(std::move(v));
}

std::int32_t cTDeclarados::Insertar() {
  const std::vector<std::string> values{
      nif_,          nifrep_,    nombre_,     pais_,       Num(std::int32_t{cnipr_}),
      nifdpr_,       cdtl_,      cdo_,        Num(fde_),   Num(fdo_),
      Num(tipoimp_), Num(bimp_), Num(cuota_), Num(imptf_), Num(baseimpcoste_),
      idfactura_,    nodereg_};
  std::vector<Value> params = SqlTextValues(values);
  params.insert(params.begin(), Value(csci_));
  Conexion().execute(
      "INSERT INTO tOperadores (CSCI,NIF,NREP,NOMBRE,PAIS,CNIPR,NIFDPR,CDTL,CDO,FDE,FDO,TIPOIMP,"
      "BIMP,CUOTA,IMPTF, BASEIMPCOSTE,IDFACTURA,NODEREG ) "
      " VALUES ( " +
          SqlParameters(params.size()) + ")",
      params);
  return Conexion().lastInsertKey();
}

bool cTDeclarados::Modificar() {
  Conexion().execute(
      "UPDATE tOperadores SET NIF=" + SqlText(nif_) + ", NREP=" + SqlText(nifrep_) + ", " +
      "NOMBRE=" + SqlText(nombre_) + ", PAIS=" + SqlText(pais_) +
      ", CNIPR=" + SqlText(Num(std::int32_t{cnipr_})) + ", " + "NIFDPR=" + SqlText(nifdpr_) +
      ",  CDTL=" + SqlText(cdtl_) + ", CDO=" + SqlText(cdo_) + ", " + "FDE=" + SqlText(Num(fde_)) +
      ", FDO=" + SqlText(Num(fdo_)) + ", TIPOIMP=" + SqlText(Num(tipoimp_)) + ", " +
      "BIMP=" + SqlText(Num(bimp_)) + ", CUOTA=" + SqlText(Num(cuota_)) +
      ", IMPTF=" + SqlText(Num(imptf_)) + ", " + "BASEIMPCOSTE=" + SqlText(Num(baseimpcoste_)) +
      ", IDFACTURA=" + SqlText(idfactura_) + ", NODEREG=" + SqlText(nodereg_) + " " +
      "WHERE CSCI = " + Num(csci_) + " and  CSDO = " + Num(csdo_));
  return true;
}

bool cTDeclarados::Borrar(std::int32_t lngDeclaracion) {
  Conexion().execute("DELETE FROM tOperadores WHERE CSCI = " + Num(lngDeclaracion));
  return true;
}

bool cTDeclarados::EliminarDeclarados() {
  return Borrar(csci_);
}

bool cTDeclarados::EliminarDeclarado() {
  Conexion().execute("DELETE FROM tOperadores WHERE CSDO = " + Num(csdo_));
  return true;
}

bool cTDeclarados::BorrarDatosPropios() {
  for (const char* table : kDetailTables)
    Conexion().execute(std::string("DELETE FROM ") + table + " WHERE CSDO = ? and CSCI = ?",
                       {Value(csdo_), Value(csci_)});
  return true;
}

bool cTDeclarados::BorrarDatosPropiosDeDeclaracion() {
  for (const char* table : kDetailTables)
    Conexion().execute(std::string("DELETE FROM ") + table + " WHERE CSCI = " + Num(csci_));
  return true;
}

std::int32_t cTDeclarados::MaxDeclarado() {
  auto rs = Conexion().openRecordset("SELECT MAX(csdo) FROM tOperadores ");
  const Value max = rs->field(0);
  rs->close();
  return max.isNull() ? 0 : max.toLong();
}

std::int32_t cTDeclarados::MayorClaveConDetalle() {
  std::int32_t most = 0;
  for (const char* table : kDetailTables) {
    auto rs = Conexion().openRecordset(std::string("SELECT MAX(CSDO) FROM ") + table);
    const Value max = rs->field(0);
    rs->close();
    if (!max.isNull()) most = std::max(most, max.toLong());
  }
  return most;
}

Value cTDeclarados::ObtenerDeclarados() {
  return WithTag("cTDeclarados.ObtenerDeclarados ", [&] {
    return SelectBuffer(
        "Select CSDO,  NIF, NOMBRE, CDTL, CDO, IMPTF "
        "from tOperadores "
        "WHERE CSCI = " +
            Num(csci_) + " Order by CSDO",
        2);
  });
}

Value cTDeclarados::ObtenerDeclaradosParaFichero() {
  return WithTag("cTDeclarados.ObtenerDeclaradosParaFichero ", [&] {
    return SelectBuffer(
        "SELECT toperadores.*, "
        "tdpfe.NOFAC,tdpfe.NOREG,tdpfe.IIA,tdpfe.IFR,tdpfe.TRE,tdpfe.CRE,tdpfe.SDI,tdpfe.REFCAT,"
        "tdpfe.IPM,tdpfe.EJERMET,tdpfe.IPPTDI"
        ", tdpfr.NOFAC,tdpfr.NOREG,tdpfr.IIA,tdpfr.CD"
        ", tdpbi.PAD,tdpbi.RAD,tdpbi.IDE,tdpbi.RADE,tdpbi.FIU,tdpbi.IDBIEN "
        ", tdpdoi.TOI,tdpdoi.CD,tdpdoi.CEM,tdpdoi.PDE,tdpdoi.DESBIEN,tdpdoi.DOI,tdpdoi.POI,"
        "tdpdoi.CP,tdpdoi.OFOD"
        ", tdpfe.FMC,tdpfe.IC,tdpfe.MC,tdpfe.MC_CC,tdpfe.MAR"
        ", tdpfr.FMP,tdpfr.IP,tdpfr.MP,tdpfr.MP_CC,tdpfr.MAR"
        " FROM (((toperadores LEFT JOIN tdpdoi ON (toperadores.CSCI = tdpdoi.CSCI) AND "
        "(toperadores.CSDO = tdpdoi.CSDO)) "
        "LEFT JOIN tdpbi ON (toperadores.CSDO = tdpbi.CSDO) AND (toperadores.CSCI = tdpbi.CSCI)) "
        "LEFT JOIN tdpfr ON (toperadores.CSDO = tdpfr.CSDO) AND (toperadores.CSCI = tdpfr.CSCI)) "
        "LEFT JOIN tdpfe ON (toperadores.CSDO = tdpfe.CSDO) AND (toperadores.CSCI = tdpfe.CSCI) "
        "WHERE toperadores.CSCI = " +
            Num(csci_),
        2);
  });
}

Value cTDeclarados::CargarDeclarado() {
  return WithTag("cTDeclarados.CargarDeclarado ", [&] {
    return SelectBuffer(
        "Select NIF,NREP,NOMBRE,PAIS,CNIPR,NIFDPR,CDTL,CDO,FDE,FDO,TIPOIMP,BIMP,CUOTA,IMPTF, "
        "BASEIMPCOSTE,IDFACTURA,NODEREG "
        "from tOperadores "
        "WHERE csdo = " +
            Num(csdo_),
        0);
  });
}

bool cTDeclarados::ComprobarExistPais(const std::string& strPais) {
  auto rs =
      Conexion().openRecordset("SELECT count(*) FROM tpaises WHERE codigo=" + SqlText(strPais));
  const bool exists = rs->field(0).toLong() != 0;
  rs->close();
  return exists;
}

bool cTDeclarados::comprobarFechaDeIngreso(const std::string& fecha, const std::string& pais) {
  const std::string sql = "select paisfecing from tpaises where paisint =" + SqlText(pais);
  const std::string entered =
      db::RememberedInBatch(Conexion().database()->path(), "entered:" + fecha + ":" + sql, [&] {
        auto rs = Conexion().openRecordset(sql);
        const std::optional<int> order = Compare(Value(fecha), rs->field(0));
        rs->close();
        return std::string(order && *order < 0 ? "0" : "1");
      });
  return entered == "1";
}

void cTDeclarados::Validar(const Value& vBuffer, Value& vBufferErrores) {
  ValidarDeclarado(vBuffer, vBufferErrores, *this);
}

}  // namespace kolvar::declared
