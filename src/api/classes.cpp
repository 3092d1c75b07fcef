#include "api/classes.h"

namespace kolvar::api {

void RegisterAllClasses() {
  RegisterConexionDAO();
}

}  // namespace kolvar::api
