#include "transfer/traspaso.h"

#include <string_view>

#include "core/retag.h"
#include "core/text.h"
#include "dbaccess/engine.h"
#include "dbaccess/schema.h"
#include "dbaccess/transaction.h"
#include "kolvar/ui.h"

namespace kolvar {

namespace {

constexpr std::string_view kGroupFailed =
    "Se ha producido un error la creación de los campos de la tabla T10_TIPOLOGIA8";
constexpr int kColumnExists = 3191;

bool HasColumn(const db::TableDef& table, std::string_view upperName) {
  for (const std::string& name : table.fieldNames())
    if (text::UCase(name) == upperName) return true;
  return false;
}

// Appends the group's columns unless its marker is there, then sets the new
// columns of every row. A column that is already there without its marker
// ends this group only: the columns appended so far stay and the user is told.
// Anything else (a lock, a read-only file, a full disk) ends the transfer.
void AddGroup(db::Database& database, db::TableDef& table, const db::TransferGroup& group) {
  try {
    if (HasColumn(table, group.marker)) return;
    for (const db::Column& column : db::GroupColumns(group)) {
      const bool isText = column.type == db::ColumnType::Text;
      db::FieldDef field = table.createField(std::string(column.name), column.type, column.size);
      field.defaultValue.emplace(isText ? "" : "0");
      field.required = false;
      if (isText) field.allowZeroLength = true;
      table.append(field);
      table.refresh();
    }
    database.execute(group.update);
  } catch (const Error& e) {
    if (e.number() != kColumnExists) throw;
    CurrentUserInterface()->MessageBox(kGroupFailed);
  }
}

}  // namespace

bool cTraspaso::Traspaso() const {
  return WithTag("cTraspaso.Traspaso ", [&] {
    // One unit of work: a failure that ends the transfer undoes every group.
    auto database = db::ThreadEngine().openDatabase(mdbmod_);
    {
      db::Transaction unit(database);
      for (const db::TransferGroup& group : db::TransferGroups()) {
        db::TableDef table = database->tableDef(group.table);
        AddGroup(*database, table, group);
      }
      unit.commit();
    }
    database->close();
    return true;
  });
}

}  // namespace kolvar
