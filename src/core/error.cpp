#include "kolvar/error.h"

#include <utility>

namespace kolvar {

Error::Error(int number, std::string description, std::string source, std::string helpFile,
             int helpContext)
    : number_(number),
      source_(std::move(source)),
      description_(std::move(description)),
      helpFile_(std::move(helpFile)),
      helpContext_(helpContext) {}

Error Error::Tagged(std::string_view tag) const {
  Error e = *this;
  e.description_.insert(0, tag);
  return e;
}

namespace {

const char* StandardDescription(int number) {
  switch (number) {
    case err::kInvalidCall:
      return "Argumento o llamada a procedimiento no válida";
    case err::kOverflow:
      return "Desbordamiento";
    case err::kSubscript:
      return "El subíndice está fuera del intervalo";
    case err::kTypeMismatch:
      return "No coinciden los tipos";
    case err::kInvalidNull:
      return "Uso no válido de Null";
    case err::kCannotCreate:
      return "No se puede crear el objeto";
    case err::kNoMember:
      return "El objeto no admite esta propiedad o método";
    case err::kNoCurrentRecord:
      return "No hay registro activo.";
    case err::kFileNotFound:
      return "No se encuentra el archivo de base de datos.";
    case err::kPathNotValid:
      return "La ruta de acceso no es válida.";
    case err::kLocked:
      return "El archivo está bloqueado o en uso.";
    case err::kUnknownColumn:
      return "Nombre de columna desconocido.";
    case err::kSyntax:
      return "Error de sintaxis en la instrucción SQL.";
    case err::kTableNotFound:
      return "No se encuentra la tabla.";
    case err::kTextTooLong:
      return "El texto es demasiado largo para el campo.";
    case err::kInvalidOperation:
      return "Operación no válida.";
    case err::kItemNotFound:
      return "Elemento no encontrado en esta colección.";
    case err::kObjectInvalid:
      return "El objeto no es válido o ya no está establecido.";
    case err::kDataType:
      return "El tipo de datos no coincide con el del campo.";
    default:
      return "Error de la aplicación";
  }
}

}  // namespace

void Raise(int number) {
  throw Error(number, StandardDescription(number));
}

void Raise(int number, std::string description) {
  throw Error(number, std::move(description));
}

}  // namespace kolvar
