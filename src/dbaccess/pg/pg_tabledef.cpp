#include <libpq-fe.h>

#include "dbaccess/pg/pg_engine.h"
#include "dbaccess/pg/pg_schema.h"
#include "kolvar/error.h"

namespace kolvar::db::pg {

std::vector<std::string> Database::columnNames(const std::string& table) {
  Result r = connection().run(
      "SELECT a.attname FROM pg_attribute a WHERE a.attrelid = to_regclass(lower($1)) AND "
      "a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
      {table});
  std::vector<std::string> names;
  for (int i = 0; i < PQntuples(r.get()); ++i) {
    const char* name = PQgetvalue(r.get(), i, 0);
    const Column* described = FindColumn(table, name);
    names.emplace_back(described ? std::string(described->name) : std::string(name));
  }
  return names;
}

void Database::appendColumn(const std::string& table, const FieldDef& field) {
  const Column column{field.name, field.type, field.size};
  std::string definition = ColumnDefinition(table, column, field.defaultValue);
  if (field.type == ColumnType::Text && !field.allowZeroLength)
    definition += " CHECK (" + field.name + " <> '')";
  if (field.required) definition += " NOT NULL";
  execute("ALTER TABLE " + table + " ADD COLUMN " + definition);
}

}  // namespace kolvar::db::pg
