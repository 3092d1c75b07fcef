// The common validation component as the library's callers create it by name.
#include "api/classes.h"
#include "api/dispatch.h"
#include "taxid/miscelaneos.h"

namespace kolvar::api {

namespace {

// The component never raises: an argument that is no text (Null, an array)
// counts as empty text.
std::string TextOrEmpty(const std::vector<Value>& args, std::size_t i) {
  if (i >= args.size()) return "";
  try {
    return args[i].toString();
  } catch (const Error&) {
    return "";
  }
}

bool FlagOrFalse(const std::vector<Value>& args, std::size_t i) {
  if (i >= args.size()) return false;
  try {
    return args[i].toBool();
  } catch (const Error&) {
    return false;
  }
}

}  // namespace

void RegisterMiscelaneos() {
  using C = cMiscelaneos;
  ClassInfo<C>::Instance()
      .method("ValidaNifCif", 1, 2,
              [](C& c, std::vector<Value>& a) {
                return Value(c.ValidaNifCif(TextOrEmpty(a, 0), FlagOrFalse(a, 1)));
              })
      .method("ValidarNIFExtranjero", 2, 2,
              [](C& c, std::vector<Value>& a) {
                return Value(c.ValidarNIFExtranjero(TextOrEmpty(a, 0), TextOrEmpty(a, 1)));
              })
      .method("ValidarCaracErrEnImp", 2, 2, [](C& c, std::vector<Value>& a) {
        return Value(c.ValidarCaracErrEnImp(TextOrEmpty(a, 0), TextOrEmpty(a, 1)));
      });
  RegisterClass("SvrUtilLib.cMiscelaneos", [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace kolvar::api
