#include "declarants/declarant_service.h"

#include <vector>

#include "core/retag.h"
#include "core/text.h"
#include "dbaccess/conflict_retry.h"
#include "dbaccess/general.h"
#include "declarants/declarant_table.h"
#include "kolvar/object.h"

namespace kolvar {

void cDeclarante::CargarDeclarante(std::int32_t lngCSDE, Value& vBufferResultado) {
  OnUser([&] {
    cTDeclarante t;
    t.datTDeclarante_CSDE(lngCSDE);
    t.Seleccionar();
    const std::string postal = General::Rellenar(t.datTDeclarante_codpostald(), 5, "0");
    const Value cells[] = {
        t.datTDeclarante_CSDE(),       t.datTDeclarante_dni_cifd(),   t.datTDeclarante_nombred(),
        t.datTDeclarante_viad(),       t.datTDeclarante_domiciliod(), t.datTDeclarante_numerod(),
        t.datTDeclarante_letrad(),     t.datTDeclarante_escalerad(),  t.datTDeclarante_pisod(),
        t.datTDeclarante_manod(),      text::Left(postal, 2),         text::Right(postal, 3),
        t.datTDeclarante_municipiod(), t.datTDeclarante_telefonod(),  t.datTDeclarante_nombrepd(),
        t.datTDeclarante_telefonopd(), t.datTDeclarante_dnirepd()};
    Value buffer = Value::Array({{0, 17}});
    for (std::int32_t i = 0; i < 17; ++i) buffer(i) = cells[i];
    vBufferResultado = std::move(buffer);
  });
}

// One unit of work; the database stays open afterwards.
std::int32_t cDeclarante::GuardarDeclarante(const Value& b) {
  return RetryingConflicts([&] {
    db::Transaction unit = OpenUserWriting();
    cTDeclarante t;
    t.datTDeclarante_CSDE(b(0).toLong());
    t.datTDeclarante_dni_cifd(b(1).toString());
    t.datTDeclarante_nombred(b(2).toString());
    t.datTDeclarante_viad(b(3).toString());
    t.datTDeclarante_domiciliod(b(4).toString());
    t.datTDeclarante_numerod(b(5).toLong());
    t.datTDeclarante_letrad(b(6).toString());
    t.datTDeclarante_escalerad(b(7).toString());
    t.datTDeclarante_pisod(b(8).toString());
    t.datTDeclarante_manod(b(9).toString());
    t.datTDeclarante_codpostald(b(10).toLong());
    t.datTDeclarante_municipiod(b(11).toString());
    t.datTDeclarante_telefonod(b(13).toString());
    t.datTDeclarante_nombrepd(b(14).toString());
    t.datTDeclarante_telefonopd(b(15).toString());
    t.datTDeclarante_dnirepd(b(16).toString());
    std::int32_t key;
    if (Compare(b(0), Value(std::int32_t{0})) == 0) {
      t.Insertar();
      key = Conexion().lastInsertKey();
    } else {
      t.Modificar();
      key = b(0).toLong();
    }
    unit.commit();
    return key;
  });
}

void cDeclarante::EliminarDeclarante(std::int32_t SecDte, bool bDeclaraciones) {
  // The declarant and its declarations go in one unit of work, which the
  // declaration service joins.
  WithTag("cDeclarante.EliminarDeclarante ", [&] {
    cTDeclarante t;
    t.datTDeclarante_CSDE(SecDte);
    db::Transaction unit = OpenUserWriting();
    if (bDeclaraciones) {
      const auto declarations = CreateObject("kolvar.cDeclaraciones");
      declarations->Let("mdbmod", Value(mdbmod_));
      std::vector<Value> args{Value(SecDte)};
      declarations->Call("BorrarTodas", args);
    }
    OnUser([&] { t.Borrar(); });
    unit.commit();
  });
}

Value cDeclarante::ObtenerUltimosDeclarantes() {
  return WithTag("cDeclarante.ObtenerUltimosDeclarantes ",
                 [&] { return OnUser([] { return cTDeclarante().ObtenerUltimosDeclarantes(); }); });
}

std::int32_t cDeclarante::NifRepetido(const std::string& strNif) {
  return OnUser([&] {
    cTDeclarante t;
    t.datTDeclarante_dni_cifd(strNif);
    return t.ExisteNif(strNif);
  });
}

Value cDeclarante::ObtenerDeclarantes() {
  return WithTag("cDeclarante.ObtenerDeclarantes ",
                 [&] { return OnUser([] { return cTDeclarante().ObtenerDeclarantes(); }); });
}

}  // namespace kolvar
