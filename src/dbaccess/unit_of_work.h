// The databases of a public service: the two paths the client sets, and the
// units of work on the thread's shared connection (select the database, open
// its file, do the work, close it). An error skips the closing; the next unit
// of work on the thread replaces the database that stays open. A unit that
// writes is one transaction (dbaccess/transaction.h): committed when its work
// returns, undone when it raises, joined to a unit already open on the file.
#pragma once

#include <string>
#include <type_traits>
#include <utility>

#include "dbaccess/conexion.h"
#include "dbaccess/conflict_retry.h"
#include "dbaccess/transaction.h"

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

// A unit of work that writes on the selected, open database.
inline db::Transaction WriteUnit() {
  return db::Transaction(Conexion().database());
}

// OnDatabase with the work as one transaction, committed before the closing;
// tried again when it lost to a concurrent unit (dbaccess/conflict_retry.h).
template <class F>
auto WritingOnDatabase(BD which, const std::string& path, F&& work) {
  return RetryingConflicts([&] {
    return OnDatabase(which, path, [&] {
      db::Transaction unit = WriteUnit();
      if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
        work();
        unit.commit();
      } else {
        auto result = work();
        unit.commit();
        return result;
      }
    });
  });
}

class ServiceDatabases {
 public:
  void mdbmod(std::string path) { mdbmod_ = std::move(path); }
  void mdblec(std::string path) { mdblec_ = std::move(path); }

 protected:
  template <class F>
  auto OnUser(F&& work) const {
    return OnDatabase(bd340mod, mdbmod_, std::forward<F>(work));
  }
  template <class F>
  auto OnReference(F&& work) const {
    return OnDatabase(bd340lec, mdblec_, std::forward<F>(work));
  }
  template <class F>
  auto WritingOnUser(F&& work) const {
    return WritingOnDatabase(bd340mod, mdbmod_, std::forward<F>(work));
  }
  // Opens without closing, for the units of work that leave the file open.
  void OpenUser() const {
    Conexion().mdb(bd340mod);
    Conexion().InicializaBD(mdbmod_);
  }
  // Opens without closing and begins a transaction on the file.
  db::Transaction OpenUserWriting() const {
    OpenUser();
    return WriteUnit();
  }

  std::string mdbmod_;
  std::string mdblec_;
};

}  // namespace kolvar
