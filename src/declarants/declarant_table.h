// cTDeclarante: one row of TDeclarante (the taxpayers who file) and its
// statements, run on the database the calling service opened.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "dbaccess/engine.h"
#include "kolvar/value.h"

namespace kolvar {

class cTDeclarante {
 public:
  std::int32_t datTDeclarante_CSDE() const { return csde_; }
  void datTDeclarante_CSDE(std::int32_t v) { csde_ = v; }
  std::string datTDeclarante_dni_cifd() const { return dniCifd_; }
  void datTDeclarante_dni_cifd(std::string v) { dniCifd_ = std::move(v); }
  // Free-text columns keep every apostrophe as an acute accent, so that it
  // cannot end an SQL literal.
  std::string datTDeclarante_nombred() const { return nombred_; }
  void datTDeclarante_nombred(std::string v);
  std::string datTDeclarante_viad() const { return viad_; }
  void datTDeclarante_viad(std::string v) { viad_ = std::move(v); }
  std::string datTDeclarante_domiciliod() const { return domiciliod_; }
  void datTDeclarante_domiciliod(std::string v);
  std::int32_t datTDeclarante_numerod() const { return numerod_; }
  void datTDeclarante_numerod(std::int32_t v) { numerod_ = v; }
  std::string datTDeclarante_letrad() const { return letrad_; }
  void datTDeclarante_letrad(std::string v);
  std::string datTDeclarante_escalerad() const { return escalerad_; }
  void datTDeclarante_escalerad(std::string v);
  std::string datTDeclarante_pisod() const { return pisod_; }
  void datTDeclarante_pisod(std::string v);
  std::string datTDeclarante_manod() const { return manod_; }
  void datTDeclarante_manod(std::string v);
  std::int32_t datTDeclarante_codpostald() const { return codpostald_; }
  void datTDeclarante_codpostald(std::int32_t v) { codpostald_ = v; }
  std::string datTDeclarante_municipiod() const { return municipiod_; }
  void datTDeclarante_municipiod(std::string v);
  std::string datTDeclarante_telefonod() const { return telefonod_; }
  void datTDeclarante_telefonod(std::string v) { telefonod_ = std::move(v); }
  std::string datTDeclarante_nombrepd() const { return nombrepd_; }
  void datTDeclarante_nombrepd(std::string v);
  std::string datTDeclarante_telefonopd() const { return telefonopd_; }
  void datTDeclarante_telefonopd(std::string v) { telefonopd_ = std::move(v); }
  std::string datTDeclarante_dnirepd() const { return dnirepd_; }
  void datTDeclarante_dnirepd(std::string v) { dnirepd_ = std::move(v); }

  bool Insertar();
  bool Borrar();
  // False without a statement when the key is below 1.
  bool Modificar();
  // False without a query when the key is not above 0.
  bool Seleccionar();
  // The greatest key, 0 for an empty table; its result set stays with the object.
  std::int32_t MaxDeclarante();
  Value ObtenerDeclarantes();
  Value ObtenerUltimosDeclarantes();
  // Key of a declarant whose tax identifier begins with datTDeclarante_dni_cifd, or 0.
  std::int32_t ExisteNif(const std::string& strNif);

 private:
  std::int32_t csde_ = 0;
  std::string dniCifd_, nombred_, viad_, domiciliod_;
  std::int32_t numerod_ = 0;
  std::string letrad_, escalerad_, pisod_, manod_;
  std::int32_t codpostald_ = 0;
  std::string municipiod_, telefonod_, nombrepd_, telefonopd_, dnirepd_;
  std::shared_ptr<db::Recordset> lastSelect_;
};

}  // namespace kolvar
