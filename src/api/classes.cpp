#include "api/classes.h"

namespace kolvar::api {

void RegisterAllClasses() {
  RegisterConexionDAO();
  RegisterDatosGenerales();
}

}  // namespace kolvar::api
