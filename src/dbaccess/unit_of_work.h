// One unit of work of a public service method on the thread's shared
// connection: select the database, open its file, do the work, close it. An
// error skips the closing; the next unit of work on the thread replaces the
// database that stays open.
#pragma once

#include <string>
#include <type_traits>

#include "dbaccess/conexion.h"

namespace kolvar {

template <class F>
auto OnDatabase(BD which, const std::string& path, F&& work) {
  Conexion().mdb(which);
  Conexion().InicializaBD(path);
  if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
    work();
    Conexion().Cerrar();
  } else {
    auto result = work();
    Conexion().Cerrar();
    return result;
  }
}

}  // namespace kolvar
