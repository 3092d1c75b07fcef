// cTLecMDB: single descriptions from the code tables of the reference
// database, in Castilian (language 0) or Basque (any other language), and the
// two web addresses. Works on whatever database the caller opened.
#pragma once

#include <cstdint>
#include <string>

namespace kolvar {

class cTLecMDB {
 public:
  std::int32_t datTIdioma() const { return idioma_; }
  void datTIdioma(std::int32_t v) { idioma_ = v; }
  std::string datTMoneda() const { return moneda_; }  // kept, never queried
  void datTMoneda(std::string v) { moneda_ = std::move(v); }
  std::string datTClaveCod() const { return claveCod_; }
  void datTClaveCod(std::string v) { claveCod_ = std::move(v); }
  std::string datTPaisCod() const { return paisCod_; }
  void datTPaisCod(std::string v) { paisCod_ = std::move(v); }
  std::string datTMC_Codigo() const { return mcCodigo_; }
  void datTMC_Codigo(std::string v) { mcCodigo_ = std::move(v); }
  std::string datTViaCod() const { return viaCod_; }
  void datTViaCod(std::string v) { viaCod_ = std::move(v); }
  std::string datTProvCod() const { return provCod_; }
  void datTProvCod(std::string v) { provCod_ = std::move(v); }

  // The description of the code in upper case; "" when the code is not there.
  std::string ObtenerDesClave() const;
  std::string ObtenerNombreProvincia() const;
  std::string ObtenerDescriVia() const;
  std::string ObtenerDesPais() const;
  std::string ObtenerMC() const;

  // First column of the first row of tgeneral; error 3021 when it is empty.
  std::string RecogerRutaURL() const;
  // The update address, or "" when tgeneral is empty.
  std::string URLAct() const;

 private:
  std::int32_t idioma_ = 0;
  std::string moneda_, claveCod_, paisCod_, mcCodigo_, viaCod_, provCod_;
};

}  // namespace kolvar
