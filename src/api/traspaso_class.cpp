#include "api/classes.h"
#include "api/dispatch.h"
#include "transfer/traspaso.h"

namespace kolvar::api {

void RegisterTraspaso() {
  using C = cTraspaso;
  ClassInfo<C>::Instance()
      .writeOnly<std::string>("mdbmod", &C::mdbmod)
      .writeOnly<std::string>("mdblec", &C::mdblec)
      .writeOnly<std::string>("mdbPath", &C::mdbPath)
      .method("Traspaso", &C::Traspaso);
  RegisterClass("kolvar.cTraspaso", [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace kolvar::api
