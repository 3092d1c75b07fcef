#include "api/classes.h"

namespace kolvar::api {

void RegisterAllClasses() {
  RegisterConexionDAO();
  RegisterMiscelaneos();
  RegisterDeclarado();
  RegisterTDpfe();
  RegisterTDpfr();
  RegisterTDpbi();
  RegisterTDpdoi();
}

}  // namespace kolvar::api
