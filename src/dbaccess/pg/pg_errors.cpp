#include "dbaccess/pg/pg_errors.h"

#include <string>

#include "kolvar/error.h"

namespace kolvar::db::pg {

namespace {

bool StartsWith(std::string_view s, std::string_view prefix) {
  return s.substr(0, prefix.size()) == prefix;
}
bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

}  // namespace

bool IsRetryable(std::string_view state) {
  return state == "40001" || state == "40P01";
}

bool IsConnectionLoss(std::string_view state) {
  return StartsWith(state, "08") || state == "57P01" || state == "57P02" || state == "57P03";
}

void RaiseServerError(std::string_view state, std::string_view message,
                      std::string_view constraint) {
  const std::string text(message);
  if (IsRetryable(state) || state == "55P03" || state == "57014")
    Raise(err::kLocked, "Los datos están bloqueados o en uso por otro proceso: " + text);
  if (IsConnectionLoss(state) || state.empty())
    Raise(3151, "Se ha perdido la conexión con el servidor de base de datos: " + text);
  if (state == "22001" || (state == "23514" && EndsWith(constraint, "_size")))
    Raise(err::kTextTooLong, "El texto es demasiado largo para el campo: " + text);
  if (StartsWith(state, "22") || state == "23514" || state == "42804" ||
      (state == "42883" && StartsWith(message, "operator does not exist")))
    Raise(err::kDataType, "El tipo de datos no coincide con el del campo: " + text);
  if (state == "23502") Raise(3314, "El campo es obligatorio: " + text);
  if (StartsWith(state, "23")) Raise(3022, "Se ha infringido una restricción de la tabla: " + text);
  if (state == "34000")  // a result set's cursor, gone with the unit of work that opened it
    Raise(err::kObjectInvalid, "El conjunto de registros ya no existe en el servidor: " + text);
  if (state == "42P01") Raise(err::kTableNotFound, "No se encuentra la tabla: " + text);
  if (state == "42703") Raise(err::kUnknownColumn, "Nombre de columna desconocido: " + text);
  if (state == "42701") Raise(3191, "El campo ya está definido en la tabla: " + text);
  if (state == "42P07") Raise(3010, "La tabla ya existe: " + text);
  if (state == "42501") Raise(3033, "No tiene permiso para esta operación: " + text);
  if (StartsWith(state, "42"))
    Raise(err::kSyntax, "Error de sintaxis en la instrucción SQL: " + text);
  if (StartsWith(state, "53")) Raise(3051, "El servidor no puede guardar los datos: " + text);
  Raise(3000, "Error del motor de base de datos: " + text);
}

}  // namespace kolvar::db::pg
