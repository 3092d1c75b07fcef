// cImportacion: imports a form-340 file into an existing declaration, one line
// at a time, in a validation pass or an import pass. The object keeps the
// state of one file; findings go back per line in the caller's ErrorBuffer and
// in Sujeto and Resultado.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "kolvar/batch.h"
#include "kolvar/value.h"

namespace kolvar {

class cImportacion {
 public:
  cImportacion() = default;
  cImportacion(cImportacion&&) = default;
  ~cImportacion();  // cancels a batch still open

  std::string mdblec() const { return mdblec_; }
  void mdblec(std::string v) { mdblec_ = std::move(v); }
  std::string mdbmod() const { return mdbmod_; }
  void mdbmod(std::string v) { mdbmod_ = std::move(v); }
  // The declaration's key, given and read as text but kept as a Long (a text
  // that is not a number is error 13).
  std::string Declaracion() const { return std::to_string(declaracion_); }
  void Declaracion(std::string v) { declaracion_ = Value(std::move(v)).toLong(); }
  std::int32_t Ejercicio() const { return ejercicio_; }
  void Ejercicio(std::int32_t v) { ejercicio_ = v; }
  std::int16_t Periodo() const { return periodo_; }
  void Periodo(std::int16_t v) { periodo_ = v; }
  std::int16_t Periodicidad() const { return periodicidad_; }
  void Periodicidad(std::int16_t v) { periodicidad_ = v; }
  std::int32_t EjercicioMin() const { return ejercicioMin_; }
  void EjercicioMin(std::int32_t v) { ejercicioMin_ = v; }
  std::int32_t EjercicioMax() const { return ejercicioMax_; }
  void EjercicioMax(std::int32_t v) { ejercicioMax_ = v; }
  bool Estatal() const { return estatal_; }
  void Estatal(bool v) { estatal_ = v; }
  // Kept as a Boolean: any non-zero value reads back as -1.
  std::int16_t ExisDte() const { return exisDte_ ? -1 : 0; }
  void ExisDte(std::int16_t v) { exisDte_ = v != 0; }
  bool RechazarDeclaracion() const { return rechazar_; }
  void RechazarDeclaracion(bool v) { rechazar_ = v; }
  std::uint8_t Resultado() const { return resultado_; }
  void Resultado(std::uint8_t v) { resultado_ = v; }
  std::uint8_t Sujeto() const { return sujeto_; }
  std::int16_t OpeDeImp() const { return opeDeImp_; }
  void OpeDeImp(std::int16_t v) { opeDeImp_ = v; }
  std::int32_t CodDte() const { return codDte_; }
  void CodDte(std::int32_t v) { codDte_ = v; }

  // Checks the declarant line against the declaration's year and period:
  // 0, or 4 when the file does not belong to it (then RechazarDeclaracion).
  std::int32_t ValidarDeclaracionDte(const std::string& strLineaLectura, Value& vBufferErrores);
  // Validation pass over one line; the caller's line becomes the cleaned one.
  void ValDeclaracion(std::string& strLineaLectura, Value& vBufferErrores,
                      std::int32_t lngDeclaracion);
  // Import pass over one line: a declared record without findings is stored.
  void importDeclarado(std::string& strLineaLectura, Value& vBufferErrores,
                       std::int32_t lngDeclaracion);
  // The import pass over a line that the validation pass of the same batch
  // found without findings: stored as importDeclarado stores it, without
  // checking it again.
  void importDeclaradoValidado(std::string& strLineaLectura, Value& vBufferErrores);

  // Bulk work for late-bound clients. IniciarLote opens a batch on this
  // object's two files (see kolvar/batch.h); TerminarLote commits it,
  // CancelarLote ends it storing nothing.
  void IniciarLote();
  void TerminarLote();
  void CancelarLote();
  // The whole file into the declaration of this object's properties, in one
  // batch: (0) lines, (1) declarant lines, (2) declared lines, (3) records
  // stored, (4) lines with findings, (5) findings, (6) True when the file
  // belongs to another declaration, (7) the findings kept, as a table
  // (0 To 4, 0 To n): line, field key, position, code, text; Null without.
  Value ImportarFichero(const std::string& strRuta, bool blnParcial);

 private:
  // Cleans the line and tells its record type; false for a type other than 0, 1, 2.
  bool Preparar(std::string& line, Value& errores);
  std::uint8_t ValidarDeclarante(const std::string& line, Value& errores);
  void RegistrarSinDeclarante(Value& errores);
  enum class Pass { Validation, Import, ImportValidated };
  void Importar(std::string& line, Value& errores, Pass pass);
  std::uint8_t ProcesarDeclarado(std::string& line, Value& errores, Pass pass);

  std::string mdblec_, mdbmod_;
  std::int32_t declaracion_ = 0;
  std::int32_t ejercicio_ = 0;
  std::int16_t periodo_ = 0;
  std::int16_t periodicidad_ = 0;
  std::int32_t ejercicioMin_ = 0, ejercicioMax_ = 0;
  bool estatal_ = false;
  bool exisDte_ = false;
  bool rechazar_ = false;
  std::uint8_t resultado_ = 0;
  std::uint8_t sujeto_ = 0;
  std::int16_t opeDeImp_ = 0;
  std::int32_t codDte_ = 0;
  std::unique_ptr<Batch> lote_;
};

}  // namespace kolvar
