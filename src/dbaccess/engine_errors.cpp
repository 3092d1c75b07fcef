// Engine failures as the library's numbered errors.
#include <sqlite3.h>

#include <string>

#include "dbaccess/sqlite_engine.h"
#include "kolvar/error.h"

namespace kolvar::db {

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}

std::string After(std::string_view s, std::string_view prefix) {
  return std::string(s.substr(prefix.size()));
}

}  // namespace

void RaiseEngineError(int code, std::string_view message) {
  const int primary = code & 0xFF;
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
    Raise(err::kLocked, "El archivo de base de datos está bloqueado o en uso por otro proceso.");
  if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
    Raise(3343, "Formato de base de datos no reconocido.");
  if (primary == SQLITE_READONLY) Raise(3027, "La base de datos es de sólo lectura.");
  if (primary == SQLITE_FULL || primary == SQLITE_IOERR)
    Raise(3051, "No se puede escribir en el archivo de base de datos.");
  if (primary == SQLITE_CONSTRAINT) {
    // "cannot store TEXT value in REAL column t.c", or a failed check of a
    // column added with its own rule.
    constexpr std::string_view check = "CHECK constraint failed: ";
    if (StartsWith(message, "cannot store "))
      Raise(err::kDataType,
            "El tipo de datos no coincide con el del campo: " + std::string(message));
    if (StartsWith(message, check)) {
      Raise(err::kDataType, "El valor no cumple la regla del campo: " + After(message, check));
    }
    if (StartsWith(message, "NOT NULL constraint failed: "))
      Raise(3314,
            "El campo es obligatorio: " + After(message, "NOT NULL constraint failed: ") + ".");
    Raise(3022, "Se ha infringido una restricción de la tabla: " + std::string(message));
  }
  constexpr std::string_view noTable = "no such table: ";
  if (StartsWith(message, noTable))
    Raise(err::kTableNotFound, "No se encuentra la tabla '" + After(message, noTable) + "'.");
  constexpr std::string_view noColumn = "no such column: ";
  if (StartsWith(message, noColumn))
    Raise(err::kUnknownColumn,
          "Nombre de columna desconocido: '" + After(message, noColumn) + "'.");
  // An INSERT names its unknown column so: "table t has no column named c".
  constexpr std::string_view noColumnNamed = " has no column named ";
  if (const auto at = message.find(noColumnNamed); at != std::string_view::npos)
    Raise(err::kUnknownColumn, "Nombre de columna desconocido: '" +
                                   std::string(message.substr(at + noColumnNamed.size())) + "'.");
  constexpr std::string_view duplicate = "duplicate column name: ";
  if (StartsWith(message, duplicate))
    Raise(3191, "El campo '" + After(message, duplicate) + "' ya está definido en la tabla.");
  if (primary == SQLITE_ERROR)
    Raise(err::kSyntax, "Error de sintaxis en la instrucción SQL: " + std::string(message));
  Raise(3000, "Error del motor de base de datos: " + std::string(message));
}

}  // namespace kolvar::db
