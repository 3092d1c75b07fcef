#include <libpq-fe.h>

#include "dbaccess/pg/pg_engine.h"
#include "dbaccess/pg/pg_schema.h"
#include "kolvar/error.h"

namespace kolvar::db::pg {

std::vector<std::string> TableDef::fieldNames() const {
  Result r = db_->connection().run(
      "SELECT a.attname FROM pg_attribute a WHERE a.attrelid = to_regclass(lower($1)) AND "
      "a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum",
      {name_});
  std::vector<std::string> names;
  for (int i = 0; i < PQntuples(r.get()); ++i) {
    const char* name = PQgetvalue(r.get(), i, 0);
    const Column* described = FindColumn(name_, name);
    names.emplace_back(described ? std::string(described->name) : std::string(name));
  }
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
  std::string definition = ColumnDefinition(name_, column, field.defaultValue);
  if (field.type == ColumnType::Text && !field.allowZeroLength)
    definition += " CHECK (" + field.name + " <> '')";
  if (field.required) {
    if (!field.defaultValue)
      Raise(3088, "Un campo obligatorio añadido a una tabla necesita un valor predeterminado.");
    definition += " NOT NULL";
  }
  db_->execute("ALTER TABLE " + name_ + " ADD COLUMN " + definition);
}

}  // namespace kolvar::db::pg
