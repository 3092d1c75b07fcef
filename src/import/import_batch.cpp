// The bulk members of cImportacion for late-bound clients.
#include "import/import_driver.h"
#include "kolvar/error.h"

namespace kolvar {

cImportacion::~cImportacion() {
  if (lote_) lote_->Cancel();
}

void cImportacion::IniciarLote() {
  if (lote_) Raise(err::kInvalidCall, "El lote ya está abierto.");
  lote_ = std::make_unique<Batch>(mdbmod_, mdblec_);
}

void cImportacion::TerminarLote() {
  if (!lote_) Raise(err::kInvalidCall, "No hay un lote abierto.");
  std::unique_ptr<Batch> lote = std::move(lote_);
  lote->Commit();
}

void cImportacion::CancelarLote() {
  if (std::unique_ptr<Batch> lote = std::move(lote_)) lote->Cancel();
}

Value cImportacion::ImportarFichero(const std::string& strRuta, bool blnParcial) {
  const ImportTarget target{mdbmod_, mdblec_, declaracion_, ejercicio_, periodo_, periodicidad_};
  ImportOptions options;
  options.partial = blnParcial;
  options.minYear = ejercicioMin_;
  options.maxYear = ejercicioMax_;
  options.estatal = estatal_;
  const ImportResult r = ImportFile(strRuta, target, options);
  Value out = Value::Array({{0, 7}});
  out(0) = static_cast<double>(r.lines);
  out(1) = static_cast<double>(r.declarantLines);
  out(2) = static_cast<double>(r.declaredLines);
  out(3) = static_cast<double>(r.stored);
  out(4) = static_cast<double>(r.linesWithFindings);
  out(5) = static_cast<double>(r.findingCount);
  out(6) = r.rejected;
  out(7) = Value::Null();
  if (!r.findings.empty()) {
    Value grid = Value::Array({{0, 4}, {0, static_cast<std::int32_t>(r.findings.size()) - 1}});
    for (std::size_t i = 0; i < r.findings.size(); ++i) {
      const auto row = static_cast<std::int32_t>(i);
      const ImportFinding& f = r.findings[i];
      grid(0, row) = static_cast<double>(f.line);
      grid(1, row) = f.field;
      grid(2, row) = f.position;
      grid(3, row) = f.code;
      grid(4, row) = f.text;
    }
    out(7) = grid;
  }
  return out;
}

}  // namespace kolvar
