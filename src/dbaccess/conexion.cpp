#include "dbaccess/conexion.h"

#include <filesystem>

#include "dbaccess/batch_state.h"
#include "kolvar/error.h"
#include "kolvar/ui.h"
#include "kolvar/value.h"

namespace kolvar {

namespace {

constexpr int kBusyPointer = 11;
constexpr int kDefaultPointer = 0;

// Shows the busy pointer for the duration of one operation.
class BusyPointer {
 public:
  BusyPointer() : ui_(CurrentUserInterface()) { ui_->SetPointer(kBusyPointer); }
  ~BusyPointer() {
    try {
      ui_->SetPointer(kDefaultPointer);
    } catch (...) {
    }
  }

 private:
  std::shared_ptr<UserInterface> ui_;
};

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return a == b || std::filesystem::equivalent(a, b, ec);
}

template <class F>
void IgnoringFailure(F&& f) noexcept {
  try {
    f();
  } catch (...) {
  }
}

}  // namespace

cConexionDAO::~cConexionDAO() {
  IgnoringFailure([] { CurrentUserInterface()->SetPointer(kBusyPointer); });
  IgnoringFailure([&] {
    if (userDb_) userDb_->close();
  });
  IgnoringFailure([&] {
    if (referenceDb_) referenceDb_->close();
  });
  IgnoringFailure([&] {
    if (workspace_) workspace_->close();
  });
  IgnoringFailure([] { CurrentUserInterface()->SetPointer(kDefaultPointer); });
}

void cConexionDAO::mdb(std::int32_t BDNombre) {
  selector_ = std::to_string(BDNombre);
}

std::shared_ptr<db::Database>& cConexionDAO::selected() {
  return Value(selector_).toDouble() == 0 ? userDb_ : referenceDb_;
}

db::Database& cConexionDAO::selectedOpen() {
  auto& database = selected();
  if (!database) Raise(err::kObjectInvalid);
  if (!database->isOpen()) Raise(err::kObjectInvalid);
  return *database;
}

void cConexionDAO::CrearWorkSpace() {
  BusyPointer busy;
  workspace_ = db::ThreadEngine().createWorkspace("wrk", "admin", "", 2);
}

void cConexionDAO::InicializaBD(const std::string& sdbname) {
  cConexionDAO& shared = Conexion();
  shared.CrearWorkSpace();
  shared.AbrirBD(sdbname);
}

void cConexionDAO::AbrirBD(const std::string& m_dbname) {
  BusyPointer busy;
  if (!workspace_) Raise(err::kObjectInvalid);
  auto& current = selected();
  if (current && current->unitDepth() > 0 && SameFile(current->path(), m_dbname)) {
    current->reopen();
    return;
  }
  // The reference database is only ever read: opened read-only, it can be
  // read from a place the user cannot write.
  const bool reference = Value(selector_).toDouble() != 0;
  const auto open = [&] { return workspace_->openDatabase(m_dbname, false, reference, ""); };
  // A batch open on the thread lends its open file.
  if (db::BatchState* batch = db::CurrentBatch())
    if (auto lent = batch->adopt(m_dbname, open)) {
      lent->reopen();
      selected() = std::move(lent);
      return;
    }
  // A file that the last unit of work left open serves again while it is
  // still the file at that path: no schema to read, statements prepared.
  if (current && current->resume(m_dbname, reference)) return;
  selected() = open();
}

void cConexionDAO::Cerrar() {
  db::Database& database = selectedOpen();
  database.close();
}

void cConexionDAO::execute(std::string_view sql, std::int16_t i) {
  BusyPointer busy;
  selectedOpen().execute(sql, i);
}

void cConexionDAO::execute(std::string_view sql, const std::vector<Value>& params) {
  BusyPointer busy;
  selectedOpen().execute(sql, params);
}

std::shared_ptr<db::Recordset> cConexionDAO::openRecordset(std::string_view sql, std::int16_t) {
  BusyPointer busy;
  return selectedOpen().openRecordset(sql);
}

std::shared_ptr<db::Database> cConexionDAO::database() {
  selectedOpen();
  return selected();
}

std::int32_t cConexionDAO::lastInsertKey() {
  return static_cast<std::int32_t>(selectedOpen().lastInsertKey());
}

bool cConexionDAO::userUnitConflicted() const {
  return userDb_ && userDb_->unitDepth() == 0 && userDb_->unitConflicted();
}

cConexionDAO& Conexion() {
  static thread_local cConexionDAO shared;
  return shared;
}

}  // namespace kolvar
