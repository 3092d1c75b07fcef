// cTPersonalizacion: the user's language letter and on-line update flag in
// the one-row tgeneral of the user database. Works on whatever database the
// caller opened.
#pragma once

#include <cstdint>
#include <string>

#include "kolvar/value.h"

namespace kolvar {

class cTPersonalizacion {
 public:
  std::int16_t ActOnline() const { return actOnline_; }
  void ActOnline(std::int16_t v) { actOnline_ = v; }
  std::string Idioma() const { return idioma_; }
  void Idioma(std::string v) { idioma_ = std::move(v); }

  // The stored letter trimmed; "C" when tgeneral has no row.
  std::string ObtenerIdioma() const;
  // The stored flag; 0 when tgeneral has no row.
  std::int16_t ObtenerActOnline() const;
  // Unconditional updates of every row; both return Empty.
  Value GuardarIdioma() const;
  Value GuardarActOnline() const;

 private:
  std::int16_t actOnline_ = 0;
  std::string idioma_;
};

}  // namespace kolvar
