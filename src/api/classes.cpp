#include "api/classes.h"

namespace kolvar::api {

void RegisterAllClasses() {
  RegisterConexionDAO();
  RegisterDatosGenerales();
  RegisterMiscelaneos();
  RegisterDeclarante();
  RegisterDeclaraciones();
  RegisterExportacion();
  RegisterImportacion();
  RegisterDeclarado();
  RegisterTDpfe();
  RegisterTDpfr();
  RegisterTDpbi();
  RegisterTDpdoi();
  RegisterTraspaso();
}

}  // namespace kolvar::api
