#include "import/import_driver.h"

#include "core/text.h"
#include "dbaccess/general.h"
#include "declared/record_service.h"
#include "import/declared_line_validation.h"
#include "import/import_checks.h"
#include "import/importacion.h"

namespace kolvar {

namespace {

constexpr std::int32_t kLineLength = 500;

// A new ErrorBuffer holding one entry.
Value OneEntry(findings::ImportCode code, const std::string& text) {
  Value errores = declared::NewErrorBuffer();
  std::int16_t k = 0;
  Importacion::AgregarError(errores, k, code, text);
  return errores;
}

// The record buffer of the record service from a declared-record FieldBuffer:
// rows 5 to 21 in cells 2 to 18, rows 22 to 37 in cells 21 to 36.
Value StoringBuffer(const Value& f, std::int32_t declaracion) {
  Value b = Value::Array({{0, 37}});
  b(0) = declaracion;
  b(1) = std::int16_t{0};
  const auto copy = [&](std::int32_t row, std::int32_t cell) {
    if (!f(row, 0).isEmpty()) b(cell) = f(row, 0).toString();
  };
  for (std::int32_t row = 5; row <= 21; ++row) copy(row, row - 3);
  for (std::int32_t row = 22; row <= 37; ++row) copy(row, row - 1);
  return b;
}

}  // namespace

std::int32_t cImportacion::ValidarDeclaracionDte(const std::string& line, Value& vBufferErrores) {
  const std::string y = text::Mid(line, 5, 4);
  const std::string p = text::Mid(line, 136, 2);
  if (General::EsNumeroConGuion(y) && General::EsNumeroConGuion(p)) {
    const bool otherYear = Compare(Value(y), Value(ejercicio_)) != 0;
    if (otherYear || General::MesFinPeriodo(p) != periodo_ ||
        General::TipoPeriodo(p) != periodicidad_) {
      rechazar_ = true;
      vBufferErrores = OneEntry(72, y + " - " + p);
      return 4;
    }
    return 0;
  }
  rechazar_ = true;
  vBufferErrores = OneEntry(89, "Ejercicio - " + y + " : Periodo - " + p);
  return 4;
}

bool cImportacion::Preparar(std::string& line, Value& errores) {
  line = Importacion::DepurarCaracteres(line);
  if (Importacion::ComprobarTipoRegistro(line, errores)) return true;
  sujeto_ = 5;
  resultado_ = 5;
  return false;
}

void cImportacion::ValDeclaracion(std::string& line, Value& vBufferErrores, std::int32_t) {
  if (!Preparar(line, vBufferErrores)) return;
  const std::string type = text::Left(line, 1);
  if (type == "1") {
    resultado_ = ValidarDeclarante(line, vBufferErrores);
    sujeto_ = 1;
    exisDte_ = true;
  } else if (type == "2") {
    sujeto_ = 3;
    if (!exisDte_) {
      RegistrarSinDeclarante(vBufferErrores);
      resultado_ = 3;
    } else if (rechazar_) {
      resultado_ = 2;
    } else {
      resultado_ = ProcesarDeclarado(line, vBufferErrores, Pass::Validation);
    }
  }
}

void cImportacion::importDeclarado(std::string& line, Value& vBufferErrores, std::int32_t) {
  Importar(line, vBufferErrores, Pass::Import);
}

void cImportacion::importDeclaradoValidado(std::string& line, Value& vBufferErrores) {
  Importar(line, vBufferErrores, Pass::ImportValidated);
}

void cImportacion::Importar(std::string& line, Value& vBufferErrores, Pass pass) {
  if (!Preparar(line, vBufferErrores)) return;
  const std::string type = text::Left(line, 1);
  if (type == "1") {
    sujeto_ = 1;
  } else if (type == "2") {
    sujeto_ = 3;
    resultado_ = rechazar_ ? 2 : ProcesarDeclarado(line, vBufferErrores, pass);
  }
}

std::uint8_t cImportacion::ValidarDeclarante(const std::string& line, Value& errores) {
  Value f = Importacion::DesglosarRegistroDeclarante(line);
  errores =
      Importacion::ValidarRegistroDeclarante(f, kLineLength, ejercicioMax_, ejercicioMin_, line);
  return errores(0, 0).isEmpty() ? 0 : 3;
}

void cImportacion::RegistrarSinDeclarante(Value& errores) {
  errores = OneEntry(14, " ");
}

std::uint8_t cImportacion::ProcesarDeclarado(std::string& line, Value& errores, Pass pass) {
  declared::cDeclarado service;
  service.mdbmod(mdbmod_);
  // Greece's country code is stored as GR.
  if (text::Trim(text::Mid(line, 76, 2)) == "EL")
    line = text::Left(line, 75) + "GR" + text::Mid(line, 78);
  Value f = Importacion::DesglosarRegistroDeclarado(line, estatal_);
  if (pass == Pass::ImportValidated) {
    errores = declared::NewErrorBuffer();
    Importacion::CambiosDeImportacion(f, mdblec_, mdbmod_, ejercicio_, periodo_);
  } else {
    errores =
        Importacion::ValidarDeclarado(f, kLineLength, mdblec_, mdbmod_, ejercicio_, periodo_,
                                      periodicidad_, declaracion_, line, pass == Pass::Validation);
  }
  if (!errores(0, 0).isEmpty()) return 3;
  if (pass != Pass::Validation) {
    service.EjercicioDestino(Value(ejercicio_).toInteger());
    service.GuardarDeclarado(StoringBuffer(f, declaracion_), false);
  }
  return 0;
}

}  // namespace kolvar
