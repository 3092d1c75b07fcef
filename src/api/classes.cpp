#include "api/classes.h"

namespace kolvar::api {

void RegisterAllClasses() {
  RegisterConexionDAO();
  RegisterMiscelaneos();
}

}  // namespace kolvar::api
