// The four detail-table classes: their columns as properties and their
// operations, described once for all of them.
#include "api/classes.h"
#include "api/dispatch.h"
#include "declared/detail_table.h"

namespace kolvar::api {

namespace {

using declared::DetailTable;

// A member of the shared implementation seen as a member of class C.
template <class C, class R, class... A>
R (C::*Own(R (DetailTable::*fn)(A...)))
(A...) {
  return fn;
}

template <class C>
void RegisterDetail(std::string_view progId) {
  auto& info = ClassInfo<C>::Instance();
  const auto& columns = C().layout().columns;
  for (std::size_t i = 0; i < columns.size(); ++i)
    info.property(
        columns[i].name, [i](C& c) { return c.property(i); },
        [i](C& c, const Value& v) { c.property(i, v); });
  info.method("CargarDatos", Own<C>(&DetailTable::CargarDatos))
      .method("InsertarDatos", Own<C>(&DetailTable::InsertarDatos))
      .method("ModificarDatos", Own<C>(&DetailTable::ModificarDatos))
      .method("DuplicarDatosPropios", Own<C>(&DetailTable::DuplicarDatosPropios))
      .method("Validar", Own<C>(&DetailTable::Validar));
  RegisterClass(progId, [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace

void RegisterTDpfe() {
  RegisterDetail<declared::cTDpfe>("kolvar.cTDpfe");
}
void RegisterTDpfr() {
  RegisterDetail<declared::cTDpfr>("kolvar.cTDpfr");
}
void RegisterTDpbi() {
  RegisterDetail<declared::cTDpbi>("kolvar.cTDpbi");
}
void RegisterTDpdoi() {
  RegisterDetail<declared::cTDpdoi>("kolvar.cTDpdoi");
}

}  // namespace kolvar::api
