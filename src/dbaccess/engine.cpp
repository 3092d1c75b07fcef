// What both engines share: the choice of engine by the database's name,
// workspaces, the thread's engine object and table definitions.
#include "dbaccess/engine.h"

#include <algorithm>

#include "dbaccess/pg/pg_engine.h"
#include "dbaccess/sqlite_engine.h"
#include "kolvar/error.h"

namespace kolvar::db {

std::shared_ptr<Database> OpenDatabase(const std::string& name, bool readOnly) {
  if (pg::IsServerAddress(name)) return std::make_shared<pg::Database>(name);
  return std::make_shared<sqlite::Database>(name, readOnly);
}

void Database::scanRows(const Table& table, const RowVisitor& each) {
  std::shared_ptr<Recordset> rs = openRecordset(SelectAllRows(table));
  std::vector<Value> row(table.columns.size());
  try {
    for (; !rs->eof(); rs->moveNext()) {
      for (std::size_t i = 0; i < row.size(); ++i) row[i] = rs->field(static_cast<int>(i));
      each(row);
    }
  } catch (...) {
    rs->close();
    throw;
  }
  rs->close();
}

std::vector<std::string> TableDef::fieldNames() const {
  return db_->columnNames(name_);
}

FieldDef TableDef::createField(std::string name, ColumnType type, int size) const {
  if (name.empty()) Raise(err::kInvalidCall);
  if (type == ColumnType::Text && (size < 1 || size > 255))
    Raise(3047, "El tamaño del campo de texto no es válido.");
  FieldDef f;
  f.name = std::move(name);
  f.type = type;
  f.size = size;
  return f;
}

void TableDef::append(const FieldDef& field) {
  if (field.required && !field.defaultValue)
    Raise(3088, "Un campo obligatorio añadido a una tabla necesita un valor predeterminado.");
  db_->appendColumn(name_, field);
}

std::shared_ptr<Database> Workspace::openDatabase(const std::string& path, bool, bool readOnly,
                                                  std::string_view) {
  auto db = OpenDatabase(path, readOnly);
  std::erase_if(databases_, [](const auto& w) { return w.expired(); });
  databases_.push_back(db);
  return db;
}

void Workspace::close() {
  for (auto& w : databases_)
    if (auto db = w.lock()) db->close();
  databases_.clear();
}

std::shared_ptr<Workspace> DBEngine::createWorkspace(std::string_view, std::string_view,
                                                     std::string_view, int) {
  return std::make_shared<Workspace>();
}

std::shared_ptr<Database> DBEngine::openDatabase(const std::string& path, bool exclusive,
                                                 bool readOnly, std::string_view connect) {
  static thread_local Workspace defaultWorkspace;
  return defaultWorkspace.openDatabase(path, exclusive, readOnly, connect);
}

DBEngine& ThreadEngine() {
  static thread_local DBEngine engine;
  return engine;
}

}  // namespace kolvar::db
