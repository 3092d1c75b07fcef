// cConexionDAO: the gateway to the user and the reference database. One
// shared instance per client thread (Conexion()) serves every table class.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "dbaccess/engine.h"
#include "kolvar/value.h"

namespace kolvar {

// The two databases a connection selects between.
enum BD : std::int32_t { bd340mod = 0, bd340lec = 1 };

class cConexionDAO {
 public:
  cConexionDAO() = default;
  ~cConexionDAO();  // closes what is open; never raises
  cConexionDAO(const cConexionDAO&) = delete;
  cConexionDAO& operator=(const cConexionDAO&) = delete;

  void mdb(std::int32_t BDNombre);  // selects the database by its BD value
  std::string Ddname() const { return selector_; }
  void Ddname(std::string selector) { selector_ = std::move(selector); }

  void CrearWorkSpace();
  // On the shared connection of the thread, whatever object it is called on:
  // a fresh workspace, then the file opened into the selected field.
  void InicializaBD(const std::string& sdbname);
  // Inside a unit of work on the same file, the open database is kept.
  void AbrirBD(const std::string& m_dbname);
  void Cerrar();
  void execute(std::string_view sql, std::int16_t i = 0);
  // The same with values in place of the statement's parameters (?).
  void execute(std::string_view sql, const std::vector<Value>& params);
  std::shared_ptr<db::Recordset> openRecordset(std::string_view sql, std::int16_t Tipo = 0);

  // The selected open database, for a unit of work (db::Transaction) on it.
  std::shared_ptr<db::Database> database();
  // The key of the row the last INSERT on the selected database wrote.
  std::int32_t lastInsertKey();
  // True when the user database's last outermost unit of work lost to a
  // concurrent one (dbaccess/conflict_retry.h).
  bool userUnitConflicted() const;

 private:
  // The field the selector names: 0 the user database, any other number the
  // reference database; a selector that is not a number is error 13.
  std::shared_ptr<db::Database>& selected();
  db::Database& selectedOpen();

  std::string selector_;
  std::shared_ptr<db::Workspace> workspace_;
  std::shared_ptr<db::Database> userDb_;
  std::shared_ptr<db::Database> referenceDb_;
};

// The thread's shared connection, created on first use.
cConexionDAO& Conexion();

}  // namespace kolvar
