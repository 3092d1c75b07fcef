#include "dbaccess/schema.h"

#include <string>

#include "core/text.h"
#include "kolvar/error.h"

namespace kolvar::db {

namespace {

using T = ColumnType;

Column Txt(std::string_view name, int size, int group = 0) {
  return {name, T::Text, size, group};
}
Column Num(std::string_view name, ColumnType type, int group = 0) {
  return {name, type, 0, group};
}

std::vector<Table> MakeUserSchema() {
  return {
      {"TDeclarante",
       {Num("CSDE", T::Counter), Txt("dni_cifd", 15), Txt("nombred", 40), Txt("viad", 5),
        Txt("domiciliod", 50), Num("numerod", T::Long), Txt("letrad", 5), Txt("escalerad", 5),
        Txt("pisod", 5), Txt("manod", 5), Num("codpostald", T::Long), Txt("municipiod", 50),
        Txt("telefonod", 15), Txt("nombrepd", 40), Txt("telefonopd", 15), Txt("nrep", 15)},
       {{"dni_cifd"}}},
      {"TDeclaraciones",
       {Num("CSCI", T::Counter), Num("CSDE", T::Long), Num("SECDECI", T::Long),
        Num("EJERCICIO", T::Long), Num("PERNUM", T::Integer), Txt("PERDAD", 10), Txt("SUST", 10),
        Txt("COMP", 10), Num("DANT", T::Long)},
       {{"CSDE", "EJERCICIO", "PERNUM", "PERDAD"}}},
      {"tOperadores",
       {Num("CSDO", T::Counter), Num("CSCI", T::Long), Txt("NIF", 15), Txt("NREP", 15),
        Txt("NOMBRE", 40), Txt("PAIS", 2), Num("CNIPR", T::Byte), Txt("NIFDPR", 20), Txt("CDTL", 1),
        Txt("CDO", 1), Num("FDE", T::Long), Num("FDO", T::Long), Num("TIPOIMP", T::Long),
        Num("BIMP", T::Double), Num("CUOTA", T::Double), Num("IMPTF", T::Double),
        Num("BASEIMPCOSTE", T::Double), Txt("IDFACTURA", 40), Txt("NODEREG", 18)},
       // The second index holds what the sums of a declaration read, so they
       // read no row; within a book it keeps the order of the keys.
       {{"CSCI"}, {"CSCI", "CDTL", "CSDO", "BIMP", "CUOTA", "IMPTF", "BASEIMPCOSTE"}}},
      {"tdpfe",
       {Num("CSCI", T::Long), Num("CSDO", T::Long), Num("NOFAC", T::Long), Num("NOREG", T::Integer),
        Txt("IIA", 80), Txt("IFR", 40), Num("TRE", T::Long), Num("CRE", T::Double),
        Num("SDI", T::Single, 1), Txt("REFCAT", 25, 1), Num("IPM", T::Double, 1),
        Num("EJERMET", T::Long, 1), Num("IPPTDI", T::Double, 1), Txt("MC", 1, 2),
        Txt("MC_CC", 32, 2), Num("FMC", T::Long, 2), Num("IC", T::Double, 2), Txt("MAR", 1, 2)},
       {{"CSDO", "CSCI"}, {"CSCI"}}},
      {"tdpfr",
       {Num("CSCI", T::Long), Num("CSDO", T::Long), Num("NOFAC", T::Long), Num("NOREG", T::Integer),
        Txt("IIA", 80), Num("CD", T::Double), Txt("MP", 1, 3), Txt("MP_CC", 32, 3),
        Num("FMP", T::Long, 3), Num("IP", T::Double, 3), Txt("MAR", 1, 3)},
       {{"CSDO", "CSCI"}, {"CSCI"}}},
      {"tdpbi",
       {Num("CSCI", T::Long), Num("CSDO", T::Long), Num("PAD", T::Integer), Num("RAD", T::Double),
        Txt("IDE", 40), Num("RADE", T::Double), Num("FIU", T::Long), Txt("IDBIEN", 17)},
       {{"CSDO", "CSCI"}, {"CSCI"}}},
      {"tdpdoi",
       {Num("CSCI", T::Long), Num("CSDO", T::Long), Txt("TOI", 1), Txt("CD", 1), Txt("CEM", 2),
        Num("PDE", T::Integer), Txt("DESBIEN", 35), Txt("DOI", 40), Txt("POI", 22), Txt("CP", 10),
        Txt("OFOD", 135)},
       {{"CSDO", "CSCI"}, {"CSCI"}}},
      {"tgeneral", {Txt("Idioma", 50), Num("ActOnline", T::Integer)}, {}, true},
  };
}

std::vector<Table> MakeReferenceSchema() {
  return {
      {"TOperaciones",
       {Txt("codigo", 2), Txt("descripcionc", 255), Txt("descripcione", 255)},
       {{"codigo"}}},
      {"TPROVINCIAS", {Txt("PRO_ID", 2), Txt("PRO_CAS", 60), Txt("PRO_EUS", 60)}, {{"PRO_ID"}}},
      {"TSIGLASVIA", {Txt("codigo", 5), Txt("CAS", 60), Txt("EUS", 60)}, {{"codigo"}}},
      {"TPaises",
       {Txt("codigo", 2), Txt("PAISCAS", 100), Txt("PAISEUS", 100), Txt("paisint", 2),
        Txt("paisfecing", 8)},
       {{"codigo"}, {"paisint"}}},
      {"TMedioCobro", {Txt("codigo", 1), Txt("descas", 255), Txt("deseus", 255)}, {{"codigo"}}},
      {"tgeneral", {Txt("RUTA", 255), Txt("URLAct", 255)}, {}},
  };
}

std::string Quote(std::string_view name) {
  return "\"" + std::string(name) + "\"";
}

// A default as an SQL literal: text quoted (apostrophes doubled), numbers as
// given when they read as numbers.
std::string DefaultLiteral(ColumnType type, std::string_view value) {
  std::string text(value);
  if (type != T::Text && !text.empty() &&
      text.find_first_not_of("0123456789.-+eE") == std::string::npos)
    return text;
  std::string quoted = "'";
  for (char ch : text) quoted += ch == '\'' ? std::string("''") : std::string(1, ch);
  return quoted + "'";
}

}  // namespace

const std::vector<Table>& Schema(Store which) {
  static const std::vector<Table> user = MakeUserSchema();
  static const std::vector<Table> reference = MakeReferenceSchema();
  return which == Store::User ? user : reference;
}

const Table* FindTable(Store which, std::string_view name) {
  for (const Table& t : Schema(which))
    if (text::EqualsNoCase(t.name, name)) return &t;
  return nullptr;
}

const Column* CounterOf(const Table& table) {
  for (const Column& c : table.columns)
    if (c.type == T::Counter) return &c;
  return nullptr;
}

std::string SelectAllRows(const Table& table) {
  std::string sql = "SELECT ";
  for (const Column& c : table.columns)
    sql += (&c == &table.columns.front() ? "" : ", ") + std::string(c.name);
  sql += " FROM " + std::string(table.name);
  if (const Column* key = CounterOf(table)) sql += " ORDER BY " + std::string(key->name);
  return sql;
}

const Column* FindColumn(std::string_view table, std::string_view column) {
  for (Store store : {Store::User, Store::Reference})
    if (const Table* t = FindTable(store, table))
      for (const Column& c : t->columns)
        if (text::EqualsNoCase(c.name, column)) return &c;
  return nullptr;
}

std::string_view StorageType(ColumnType type) {
  switch (type) {
    case T::Text:
      return "TEXT";
    case T::Single:
    case T::Double:
    case T::Date:
      return "REAL";
    default:
      return "INTEGER";
  }
}

std::string ColumnDefinition(const Column& c, std::optional<std::string_view> defaultValue) {
  const std::string col = Quote(c.name);
  std::string sql = col + " " + std::string(StorageType(c.type));
  if (c.type == T::Counter) return sql + " PRIMARY KEY AUTOINCREMENT";
  if (defaultValue) sql += " DEFAULT " + DefaultLiteral(c.type, *defaultValue);
  if (c.type == T::Text) sql += " COLLATE NOCASE";
  return sql;
}

const std::vector<TransferGroup>& TransferGroups() {
  static const std::vector<TransferGroup> groups = {
      {1, "tdpfe", "SDI", "update tdpfe set SDI=0,REFCAT='',IPM=0,EJERMET=0,IPPTDI=0"},
      {2, "tdpfe", "MC", "update tdpfe set MC='',MC_CC='',FMC=0,IC=0,MAR=''"},
      {3, "tdpfr", "MP", "update tdpfr set MP='',MP_CC='',FMP=0,IP=0,MAR=''"},
  };
  return groups;
}

std::vector<Column> GroupColumns(const TransferGroup& group) {
  std::vector<Column> out;
  for (const Column& c : FindTable(Store::User, group.table)->columns)
    if (c.group == group.number) out.push_back(c);
  return out;
}

}  // namespace kolvar::db
