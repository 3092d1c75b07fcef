#include "api/classes.h"

namespace kolvar::api {

void RegisterAllClasses() {
  RegisterConexionDAO();
  RegisterDeclarado();
  RegisterTDpfe();
  RegisterTDpfr();
  RegisterTDpbi();
  RegisterTDpdoi();
}

}  // namespace kolvar::api
