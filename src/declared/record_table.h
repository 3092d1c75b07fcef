// cTDeclarados: the table of declared records (tOperadores). One object holds
// one record in its properties and runs the statements on the shared
// connection, which its caller has opened on the right database.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

#include "declared/validation.h"
#include "kolvar/value.h"

namespace kolvar::declared {

class cTDeclarados : public RecordLookups {
 public:
  std::int32_t datTDeclarados_csci() const { return csci_; }
  void datTDeclarados_csci(std::int32_t v) { csci_ = v; }
  std::int32_t datTDeclarados_csdo() const { return csdo_; }
  void datTDeclarados_csdo(std::int32_t v) { csdo_ = v; }
  const std::string& datTDeclarados_nif() const { return nif_; }
  void datTDeclarados_nif(std::string v) { nif_ = std::move(v); }
  const std::string& datTDeclarados_nifrep() const { return nifrep_; }
  void datTDeclarados_nifrep(std::string v);  // apostrophes become acute accents
  const std::string& datTDeclarados_nombre() const { return nombre_; }
  void datTDeclarados_nombre(std::string v) { nombre_ = std::move(v); }
  const std::string& datTDeclarados_pais() const { return pais_; }
  void datTDeclarados_pais(std::string v) { pais_ = std::move(v); }
  std::uint8_t datTDeclarados_cnipr() const { return cnipr_; }
  void datTDeclarados_cnipr(std::uint8_t v) { cnipr_ = v; }
  const std::string& datTDeclarados_nifdpr() const { return nifdpr_; }
  void datTDeclarados_nifdpr(std::string v) { nifdpr_ = std::move(v); }
  const std::string& datTDeclarados_cdtl() const { return cdtl_; }
  void datTDeclarados_cdtl(std::string v) { cdtl_ = std::move(v); }
  const std::string& datTDeclarados_cdo() const { return cdo_; }
  void datTDeclarados_cdo(std::string v) { cdo_ = std::move(v); }
  std::int32_t datTDeclarados_fde() const { return fde_; }
  void datTDeclarados_fde(std::int32_t v) { fde_ = v; }
  std::int32_t datTDeclarados_fdo() const { return fdo_; }
  void datTDeclarados_fdo(std::int32_t v) { fdo_ = v; }
  std::int32_t datTDeclarados_tipoimp() const { return tipoimp_; }
  void datTDeclarados_tipoimp(std::int32_t v) { tipoimp_ = v; }
  double datTDeclarados_bimp() const { return bimp_; }
  void datTDeclarados_bimp(double v) { bimp_ = v; }
  double datTDeclarados_cuota() const { return cuota_; }
  void datTDeclarados_cuota(double v) { cuota_ = v; }
  double datTDeclarados_imptf() const { return imptf_; }
  void datTDeclarados_imptf(double v) { imptf_ = v; }
  double datTDeclarados_baseimpcoste() const { return baseimpcoste_; }
  void datTDeclarados_baseimpcoste(double v) { baseimpcoste_ = v; }
  const std::string& datTDeclarados_idfactura() const { return idfactura_; }
  void datTDeclarados_idfactura(std::string v) { idfactura_ = std::move(v); }
  const std::string& datTDeclarados_nodereg() const { return nodereg_; }
  void datTDeclarados_nodereg(std::string v) { nodereg_ = std::move(v); }

  // Inserts the record and returns the key of the row it wrote (not the
  // table's greatest, which another writer may have moved).
  std::int32_t Insertar();
  bool Modificar();
  bool Borrar(std::int32_t lngDeclaracion);  // every record of the declaration
  bool EliminarDeclarados();                 // every record of csci
  bool EliminarDeclarado();                  // the record csdo, not its detail row
  bool BorrarDatosPropios();                 // detail rows of (csci, csdo)
  bool BorrarDatosPropiosDeDeclaracion();    // detail rows of the declaration csci
  std::int32_t MaxDeclarado();
  std::int32_t MayorClaveConDetalle();  // the highest CSDO of any detail row, 0 without
  Value ObtenerDeclarados();
  Value ObtenerDeclaradosParaFichero();
  Value CargarDeclarado();

  // Lookups in the country table of the reference database.
  bool ComprobarExistPais(const std::string& strPais) override;
  bool comprobarFechaDeIngreso(const std::string& fecha, const std::string& pais) override;

  void Validar(const Value& vBuffer, Value& vBufferErrores);

  // Copies every record of a declaration, each with its detail row.
  bool DuplicarDeclarados(std::int32_t lngNuevoCodigoDeclaracion, std::int32_t lngCodDeclaOrigen);
  bool DuplicarDatosPropios(std::int32_t lngNuevoCodigoDeclaracion, std::int32_t lngCodDeclaOrigen,
                            std::int32_t lngCSDOrg, std::int32_t lngCSDO,
                            const std::string& strLibro);

 private:
  std::int32_t csci_ = 0;
  std::int32_t csdo_ = 0;
  std::string nif_;
  std::string nifrep_;
  std::string nombre_;
  std::string pais_;
  std::uint8_t cnipr_ = 0;
  std::string nifdpr_;
  std::string cdtl_;
  std::string cdo_;
  std::int32_t fde_ = 0;
  std::int32_t fdo_ = 0;
  std::int32_t tipoimp_ = 0;
  double bimp_ = 0;
  double cuota_ = 0;
  double imptf_ = 0;
  double baseimpcoste_ = 0;
  std::string idfactura_;
  std::string nodereg_;
};

}  // namespace kolvar::declared
