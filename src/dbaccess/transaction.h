// One unit of work that writes: all of it is committed or none of it.
//
//   db::Transaction unit(database);   // BEGIN IMMEDIATE, or joins an open one
//   ... statements ...
//   unit.commit();                     // without it, the destructor undoes the unit
//
// The outermost scope on a database takes the write lock at once (BEGIN
// IMMEDIATE), so two processes writing the same file queue up on the engine's
// busy wait (error 3050 beyond it) instead of failing at commit; it ends with
// COMMIT, or ROLLBACK when it is left without commit (an error, an early
// return). A scope opened while another one is open on the same database joins
// it as a SAVEPOINT: its failure undoes only its own statements, its commit
// keeps them for the outer scope to commit or undo. Scopes end in the reverse
// order they began.
//
// While a scope is open the database is not really closed: a Cerrar inside it
// only makes it unusable (3420) and the file closes when the outermost scope
// ends; opening the same path again meanwhile (InicializaBD) gives back the
// same database, so services called inside a scope join the open unit.
// Every write path of the services uses one of these; a batch scope of bulk
// work is the outermost one of them.
#pragma once

#include <memory>

#include "dbaccess/engine.h"

namespace kolvar::db {

class Transaction {
 public:
  explicit Transaction(std::shared_ptr<Database> database);
  ~Transaction();  // undoes the scope unless committed; never raises
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  // Ends the scope keeping its work. When the outermost COMMIT fails (a lock
  // held beyond the busy wait, a full disk), everything is undone and the
  // error is raised.
  void commit();

  Database& database() const { return *database_; }

 private:
  std::shared_ptr<Database> database_;
  int level_;  // 0 for the outermost scope
  bool ended_ = false;
};

}  // namespace kolvar::db
