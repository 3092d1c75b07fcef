// Table definitions of the embedded engine.
#include <sqlite3.h>

#include "dbaccess/sqlite_engine.h"
#include "kolvar/error.h"

namespace kolvar::db::sqlite {

std::vector<std::string> Database::columnNames(const std::string& table) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(handle(), "SELECT name FROM pragma_table_info(?)", -1, &stmt, nullptr);
  sqlite3_bind_text(stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
  std::vector<std::string> names;
  while (sqlite3_step(stmt) == SQLITE_ROW)
    names.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0)));
  sqlite3_finalize(stmt);
  return names;
}

void Database::appendColumn(const std::string& table, const FieldDef& field) {
  const Column column{field.name, field.type, field.size};
  std::string definition = ColumnDefinition(column, field.defaultValue);
  if (field.type == ColumnType::Text && !field.allowZeroLength)
    definition += " CHECK (\"" + field.name + "\" <> '')";
  if (field.required) definition += " NOT NULL";
  execute("ALTER TABLE \"" + table + "\" ADD COLUMN " + definition);
}

}  // namespace kolvar::db::sqlite
