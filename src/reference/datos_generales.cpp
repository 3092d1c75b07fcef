#include "reference/datos_generales.h"

#include <vector>

#include "dbaccess/table_reads.h"
#include "dbaccess/unit_of_work.h"
#include "kolvar/object.h"
#include "reference/tlecmdb.h"
#include "reference/tpersonalizacion.h"

namespace kolvar {

std::string cDatosGenerales::Lookup(const std::function<std::string(cTLecMDB&)>& read) const {
  return OnReference([&] {
    cTLecMDB lec;
    return read(lec);
  });
}

std::int32_t cDatosGenerales::NumeroDeclarantes() const {
  return OnUser([] {
    auto rs = Conexion().openRecordset("Select count(*) From TDeclarante");
    const std::int32_t count = rs->field(0).toLong();
    rs->close();
    return count;
  });
}

Value cDatosGenerales::CargarResultado(const std::string& strCadena) const {
  return OnReference([&] { return SelectBuffer(strCadena, 2); });
}

std::string cDatosGenerales::ObtenerDescriVia(const std::string& strCod,
                                              std::int32_t lngIdioma) const {
  return Lookup([&](cTLecMDB& lec) {
    lec.datTViaCod(strCod);
    lec.datTIdioma(lngIdioma);
    return lec.ObtenerDescriVia();
  });
}

std::string cDatosGenerales::ObtenerNombreProvincia(const std::string& strCod,
                                                    std::int32_t lngIdioma) const {
  return Lookup([&](cTLecMDB& lec) {
    lec.datTProvCod(strCod);
    lec.datTIdioma(lngIdioma);
    return lec.ObtenerNombreProvincia();
  });
}

std::string cDatosGenerales::ObtenerDesClave(const std::string& strCod,
                                             const std::string& strMoneda,
                                             std::int32_t lngIdioma) const {
  return Lookup([&](cTLecMDB& lec) {
    lec.datTClaveCod(strCod);
    lec.datTMoneda(strMoneda);
    lec.datTIdioma(lngIdioma);
    return lec.ObtenerDesClave();
  });
}

std::string cDatosGenerales::ObtenerDesPais(const std::string& strCodPais,
                                            std::int32_t lngIdioma) const {
  return Lookup([&](cTLecMDB& lec) {
    lec.datTPaisCod(strCodPais);
    lec.datTIdioma(lngIdioma);
    return lec.ObtenerDesPais();
  });
}

std::string cDatosGenerales::ObtenerDesMedioCobro(const std::string& strCodigo,
                                                  std::int32_t lngIdioma) const {
  return Lookup([&](cTLecMDB& lec) {
    lec.datTMC_Codigo(strCodigo);
    lec.datTIdioma(lngIdioma);
    return lec.ObtenerMC();
  });
}

std::string cDatosGenerales::RecogerRutaURL() const {
  return Lookup([](cTLecMDB& lec) { return lec.RecogerRutaURL(); });
}

std::string cDatosGenerales::ObtenerURLAct() const {
  return Lookup([](cTLecMDB& lec) { return lec.URLAct(); });
}

bool cDatosGenerales::ValidaNifCif(const std::string& Cadena, bool blnSinLetra) const {
  const auto misc = CreateObject("SvrUtilLib.cMiscelaneos");
  std::vector<Value> args{Value(Cadena), Value(blnSinLetra)};
  return misc->Call("ValidaNifCif", args).toBool();
}

std::string cDatosGenerales::ObtenerIdioma() const {
  return OnUser([] { return cTPersonalizacion().ObtenerIdioma(); });
}

std::int16_t cDatosGenerales::ObtenerActOnline() const {
  return OnUser([] { return cTPersonalizacion().ObtenerActOnline(); });
}

void cDatosGenerales::CambiarIdioma(const std::string& sidioma) const {
  OnUser([&] {
    cTPersonalizacion settings;
    settings.Idioma(sidioma);
    settings.GuardarIdioma();
  });
}

Value cDatosGenerales::GuardarActOnline(std::int16_t intActOnline) const {
  return OnUser([&] {
    cTPersonalizacion settings;
    settings.ActOnline(intActOnline);
    return settings.GuardarActOnline();
  });
}

}  // namespace kolvar
