#include "api/classes.h"

namespace kolvar::api {

void RegisterAllClasses() {
  RegisterConexionDAO();
  RegisterDatosGenerales();
  RegisterMiscelaneos();
}

}  // namespace kolvar::api
