// A whole declaration file in one batch: the validation pass over every line,
// then, when the file may be stored, the import pass, through the same line
// driver the client uses line by line.
#include <vector>

#include "dbaccess/batch_state.h"
#include "import/file_lines.h"
#include "import/finding_fields.h"
#include "import/import_driver.h"
#include "kolvar/batch.h"
#include "kolvar/error.h"

namespace kolvar {

namespace {

using Importacion::FieldPosition;
using Importacion::FileLines;
using Importacion::FindingField;

constexpr std::int64_t kProgressEvery = 4096;
constexpr std::uint64_t kHashStep = 1099511628211ULL;
constexpr std::int16_t kRejected = 4;

cImportacion NewDriver(const ImportTarget& t, const ImportOptions& o) {
  cImportacion d;
  d.mdblec(t.referenceDatabase);
  d.mdbmod(t.userDatabase);
  d.Declaracion(std::to_string(t.declaration));
  d.Ejercicio(t.year);
  d.Periodo(t.period);
  d.Periodicidad(t.periodicity);
  d.EjercicioMin(o.minYear);
  d.EjercicioMax(o.maxYear);
  d.Estatal(o.estatal);
  return d;
}

char TypeOf(const std::string& line) {
  return line.empty() ? '\0' : line.front();
}

// Reports progress every few thousand lines; false when the caller cancels.
class Progress {
 public:
  Progress(const ImportProgressCallback& callback, int pass, const FileLines& lines)
      : callback_(callback), lines_(lines) {
    state_.pass = pass;
    state_.bytesTotal = lines.size();
  }
  bool line() {
    ++state_.lines;
    return state_.lines % kProgressEvery != 0 || report();
  }
  bool report() {
    state_.bytesRead = lines_.bytesRead();
    return !callback_ || callback_(state_);
  }

 private:
  const ImportProgressCallback& callback_;
  const FileLines& lines_;
  ImportProgress state_;
};

class FileImport {
 public:
  FileImport(const std::string& path, const ImportTarget& target, const ImportOptions& options,
             const ImportProgressCallback& progress)
      : path_(path), target_(target), options_(options), progress_(progress) {}

  // Both passes; false when cancelled.
  bool run(ImportResult& result) {
    if (!validate(result)) return false;
    if (options_.validateOnly || result.rejected) return true;
    if (result.linesWithFindings > 0 && !options_.partial) return true;
    return store(result);
  }

 private:
  bool validate(ImportResult& result) {
    FileLines lines(path_);
    Progress progress(progress_, 1, lines);
    cImportacion driver = NewDriver(target_, options_);
    std::vector<FindingField> fields;
    const Importacion::FindingFieldListener listener(fields);
    bool headerChecked = false;
    std::string line;
    while (lines.next(line)) {
      validatedHash_ = validatedHash_ * kHashStep ^ std::hash<std::string>()(line);
      const std::int64_t n = ++result.lines;
      const char type = TypeOf(line);
      const std::int64_t before = result.findingCount;
      if (type == '1') {
        ++result.declarantLines;
        if (!headerChecked) {
          headerChecked = true;
          Value entries;
          if (driver.ValidarDeclaracionDte(line, entries) == kRejected) {
            result.rejected = true;
            add(result, n, entries, {}, true);
          }
        }
      } else if (type == '2') {
        ++result.declaredLines;
      }
      fields.clear();
      Value entries;
      driver.ValDeclaracion(line, entries, target_.declaration);
      const bool checked = type != '0' && driver.Resultado() != 0 && driver.Resultado() != 2;
      if (checked) add(result, n, entries, fields, driver.Sujeto() == 1);
      const bool found = result.findingCount != before;
      if (found) ++result.linesWithFindings;
      withFindings_.push_back(found);
      if (!progress.line()) return false;
    }
    return progress.report();
  }

  bool store(ImportResult& result) {
    FileLines lines(path_);
    Progress progress(progress_, 2, lines);
    cImportacion driver = NewDriver(target_, options_);
    bool headerChecked = false;
    std::string line;
    std::uint64_t hash = 0;
    for (std::size_t i = 0; lines.next(line); ++i) {
      hash = hash * kHashStep ^ std::hash<std::string>()(line);
      const char type = TypeOf(line);
      if (type == '1' && !headerChecked) {
        headerChecked = true;
        Value ignored;
        driver.ValidarDeclaracionDte(line, ignored);
      }
      if (i < withFindings_.size() && withFindings_[i]) {
        if (!progress.line()) return false;
        continue;
      }
      Value entries;
      {
        // Any failure here abandons the whole import.
        const db::UndoneAsAWhole whole;
        if (type == '2' && i < withFindings_.size())
          driver.importDeclaradoValidado(line, entries);
        else
          driver.importDeclarado(line, entries, target_.declaration);
      }
      if (type == '2' && driver.Sujeto() == 3 && driver.Resultado() == 0) ++result.stored;
      if (!progress.line()) return false;
    }
    // Lines were stored as the validation pass found them: they must be the same.
    if (hash != validatedHash_)
      Raise(err::kCopyMismatch, "El archivo ha cambiado durante la importación.");
    return progress.report();
  }

  // The entries of an import ErrorBuffer as findings of line n; `fields`
  // names the field of each entry when the validators noted them all.
  void add(ImportResult& result, std::int64_t n, const Value& entries,
           const std::vector<FindingField>& fields, bool declarant) {
    if (!entries.isArray() || entries(0, 0).isEmpty()) return;
    const std::int32_t last = entries.ubound(2);
    const bool named = fields.size() == static_cast<std::size_t>(last + 1);
    for (std::int32_t k = 0; k <= last; ++k) {
      ++result.findingCount;
      if (result.findings.size() >= options_.maxFindings) continue;
      ImportFinding f;
      f.line = n;
      f.code = entries(0, k).toInteger();
      f.text = entries(1, k).toString();
      if (named) {
        f.field = fields[static_cast<std::size_t>(k)].key;
        f.position = FieldPosition(declarant, f.field, fields[static_cast<std::size_t>(k)].row);
      }
      result.findings.push_back(std::move(f));
    }
  }

  const std::string& path_;
  const ImportTarget& target_;
  const ImportOptions& options_;
  const ImportProgressCallback& progress_;
  std::vector<bool> withFindings_;   // one bit per line
  std::uint64_t validatedHash_ = 0;  // of the lines the validation pass read
};

}  // namespace

ImportResult ImportFile(const std::string& path, const ImportTarget& declaration,
                        const ImportOptions& options, const ImportProgressCallback& progress) {
  { FileLines probe(path); }  // a missing file fails before the batch opens
  ImportResult result;
  Batch batch(declaration.userDatabase, declaration.referenceDatabase);
  FileImport import(path, declaration, options, progress);
  if (!import.run(result)) {
    batch.Cancel();
    result.cancelled = true;
    result.stored = 0;
    return result;
  }
  batch.Commit();
  return result;
}

}  // namespace kolvar
