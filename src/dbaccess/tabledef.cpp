#include <sqlite3.h>

#include "dbaccess/engine.h"
#include "kolvar/error.h"

namespace kolvar::db {

std::vector<std::string> TableDef::fieldNames() const {
  sqlite3* db = db_->handle();
  sqlite3_stmt* stmt = nullptr;
  const std::string sql = "SELECT name FROM pragma_table_info(?)";
  sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr);
  sqlite3_bind_text(stmt, 1, name_.c_str(), -1, SQLITE_TRANSIENT);
  std::vector<std::string> names;
  while (sqlite3_step(stmt) == SQLITE_ROW)
    names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  return names;
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
  const Column column{field.name, field.type, field.size};
  std::string definition = ColumnDefinition(column, field.defaultValue);
  if (field.type == ColumnType::Text && !field.allowZeroLength)
    definition += " CHECK (\"" + field.name + "\" <> '')";
  if (field.required) {
    if (!field.defaultValue)
      Raise(3088, "Un campo obligatorio añadido a una tabla necesita un valor predeterminado.");
    definition += " NOT NULL";
  }
  db_->execute("ALTER TABLE \"" + name_ + "\" ADD COLUMN " + definition);
}

}  // namespace kolvar::db
