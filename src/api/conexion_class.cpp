#include "api/classes.h"
#include "api/dispatch.h"
#include "dbaccess/conexion.h"

namespace kolvar::api {

void RegisterConexionDAO() {
  using C = cConexionDAO;
  ClassInfo<C>::Instance()
      .writeOnly<std::int32_t>("mdb", &C::mdb)
      .prop<std::string>("Ddname", &C::Ddname, &C::Ddname)
      .method("CrearWorkSpace", &C::CrearWorkSpace)
      .method("InicializaBD", 1, 1,
              [](C& c, std::vector<Value>& a) {
                std::string path = a[0].toString();
                c.InicializaBD(path);
                return Value();
              })
      .method("AbrirBD", 1, 1,
              [](C& c, std::vector<Value>& a) {
                c.AbrirBD(a[0].toString());
                return Value();
              })
      .method("Cerrar", &C::Cerrar)
      .method("execute", 1, 2,
              [](C& c, std::vector<Value>& a) {
                c.execute(a[0].toString(), a.size() > 1 ? a[1].toInteger() : std::int16_t{0});
                return Value();
              })
      .method("openRecordset", 1, 2, [](C& c, std::vector<Value>& a) {
        return Value(RecordsetObject(
            c.openRecordset(a[0].toString(), a.size() > 1 ? a[1].toInteger() : std::int16_t{0})));
      });
  RegisterClass("kolvar.cConexionDAO", [] { return AsObject(std::make_shared<C>()); });
}

}  // namespace kolvar::api
