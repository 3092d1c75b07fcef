// cDatosGenerales: the client's door to the reference data and the user's
// settings. Each method is one unit of work on the shared connection.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "dbaccess/unit_of_work.h"
#include "kolvar/value.h"

namespace kolvar {

class cTLecMDB;

class cDatosGenerales : public ServiceDatabases {
 public:
  // Rows of TDeclarante in the user database.
  std::int32_t NumeroDeclarantes() const;
  // A SELECT of the client's on the reference database, as a table buffer
  // (column, row) with rows from 1; Null without rows.
  Value CargarResultado(const std::string& strCadena) const;

  // Descriptions in upper case: language 0 Castilian, any other Basque; ""
  // for an unknown code.
  std::string ObtenerDescriVia(const std::string& strCod, std::int32_t lngIdioma) const;
  std::string ObtenerNombreProvincia(const std::string& strCod, std::int32_t lngIdioma) const;
  std::string ObtenerDesClave(const std::string& strCod, const std::string& strMoneda,
                              std::int32_t lngIdioma) const;
  std::string ObtenerDesPais(const std::string& strCodPais, std::int32_t lngIdioma) const;
  std::string ObtenerDesMedioCobro(const std::string& strCodigo, std::int32_t lngIdioma) const;

  std::string RecogerRutaURL() const;
  std::string ObtenerURLAct() const;

  // Delegated to the common component created by name.
  bool ValidaNifCif(const std::string& Cadena, bool blnSinLetra = false) const;

  std::string ObtenerIdioma() const;
  std::int16_t ObtenerActOnline() const;
  void CambiarIdioma(const std::string& sidioma) const;
  Value GuardarActOnline(std::int16_t intActOnline) const;

 private:
  // A lookup of cTLecMDB on the reference database.
  std::string Lookup(const std::function<std::string(cTLecMDB&)>& read) const;
};

}  // namespace kolvar
