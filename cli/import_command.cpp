#include "import_command.h"

#include <chrono>
#include <cstdlib>
#include <ctime>
#include <set>

#include "errors.h"
#include "finding_place.h"
#include "form340_layout.h"
#include "ui_text.h"

namespace kolvar::cli {

namespace {

std::string Field(std::u32string_view line, std::string_view key) {
  const FieldPlace* p = FindPlace(key, true, ' ', 0);
  if (p == nullptr || static_cast<std::size_t>(p->start - 1) >= line.size()) return "";
  std::u32string_view v = line.substr(p->start - 1, p->width);
  const auto b = v.find_first_not_of(U' ');
  if (b == std::u32string_view::npos) return "";
  return EncodeUtf8(v.substr(b, v.find_last_not_of(U' ') - b + 1));
}

long Number(const std::string& text) {
  return std::strtol(text.c_str(), nullptr, 10);
}

int CurrentYear() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local.tm_year + 1900;
}

// The declarant and the declaration that the header line describes.
void FromHeader(std::u32string_view header, Declarant& dte, Declaration& decl) {
  dte.taxId = Field(header, "NIFDTE");
  dte.name = Field(header, "NOMBRE");
  dte.phone = Field(header, "TELEFONO");
  dte.contact = Field(header, "NOMBREPC");
  dte.representative = Field(header, "NIFREP");
  decl.year = static_cast<std::int32_t>(Number(Field(header, "EJERCICIO")));
  const std::string period = Field(header, "PERIODO");
  if (period.size() == 2 && period[1] == 'T') {
    decl.periodicity = "2";
    decl.period = static_cast<std::int16_t>((period[0] - '0') * 3);
  } else {
    decl.periodicity = "1";
    decl.period = static_cast<std::int16_t>(Number(period));
  }
  decl.sequence = static_cast<std::int32_t>(Number(Field(header, "DECLNUM")));
  decl.complementary = Field(header, "DECLCOM");
  decl.substitutive = Field(header, "DECLSUS");
  const std::string previous = Field(header, "DECLIDA");
  decl.previous = previous.size() == 13 ? static_cast<std::int32_t>(Number(previous.substr(9))) : 0;
}

// One cImportacion over one file.
class Driver {
 public:
  Driver(const Library& library, std::int32_t declaration, const Declaration& d)
      : import_(CreateObject("kolvar.cImportacion")) {
    import_->Let("mdblec", Value(library.paths().reference));
    import_->Let("mdbmod", Value(library.paths().user));
    import_->Let("Declaracion", Value(std::to_string(declaration)));
    import_->Let("Ejercicio", Value(d.year));
    import_->Let("Periodo", Value(d.period));
    import_->Let("Periodicidad", Value(static_cast<std::int16_t>(d.periodicity == "2" ? 2 : 1)));
    import_->Let("EjercicioMin", Value(std::int32_t{2008}));
    import_->Let("EjercicioMax", Value(static_cast<std::int32_t>(CurrentYear() + 1)));
    import_->Let("Estatal", Value(false));
  }
  Value Header(const std::string& line) {
    std::vector<Value> args{Value(line), Value()};
    import_->Call("ValidarDeclaracionDte", args);
    return args[1];
  }
  Value Line(std::string_view method, const std::string& line) {
    std::vector<Value> args{Value(line), Value(), Value(std::int32_t{0})};
    import_->Call(method, args);
    return args[1];
  }

 private:
  std::shared_ptr<Object> import_;
};

// Appends the findings of an import error buffer; false when it holds none.
bool Collect(const Value& errors, long lineNumber, const std::string& line,
             std::vector<ImportFinding>& findings) {
  if (!errors.isArray() || errors(0, 0).isEmpty()) return false;
  const std::u32string chars = DecodeUtf8(line);
  int after = 0;
  for (int r = 0; r <= errors.ubound(2); ++r) {
    if (errors(0, r).isEmpty()) continue;
    ImportFinding f;
    f.line = lineNumber;
    f.code = errors(0, r).toLong();
    f.text = errors(1, r).isEmpty() ? "" : errors(1, r).toString();
    const FindingField place = LocateFinding(f.code, f.text, chars, after);
    f.field = place.key;
    f.start = place.start;
    f.width = place.width;
    after = place.start;
    findings.push_back(std::move(f));
  }
  return true;
}

class ProgressTicker {
 public:
  ProgressTicker(const ImportProgress& progress, long total) : progress_(progress), total_(total) {}
  void Tick() {
    ++done_;
    if (progress_ && (done_ % 256 == 0 || done_ == total_)) progress_(done_, total_);
  }
  void Skip(long n) {
    done_ += n;
    if (progress_) progress_(done_, total_);
  }

 private:
  const ImportProgress& progress_;
  long total_;
  long done_ = 0;
};

}  // namespace

ImportOutcome ImportForm340File(const Library& library, const std::string& path,
                                const ImportOptions& options, const ImportProgress& progress) {
  FileLines file = ReadForm340File(path);
  while (!file.lines.empty() && file.lines.back().empty()) file.lines.pop_back();
  ImportOutcome out;
  out.encoding = file.encoding;
  out.lines = static_cast<long>(file.lines.size());

  long headerIndex = -1;
  for (long i = 0; i < out.lines; ++i)
    if (!file.lines[i].empty() && file.lines[i][0] == '1') {
      headerIndex = i;
      break;
    }
  for (const std::string& l : file.lines) out.records += !l.empty() && l[0] == '2';

  Declarant declarant;
  Declaration declaration;
  std::optional<Declaration> target;
  if (options.declaration) {
    target = library.FindDeclaration(*options.declaration);
    if (!target)
      throw UsageError(
          Format(Say::UnknownDeclaration, options.lang, {std::to_string(*options.declaration)}));
    declaration = *target;
  } else if (headerIndex < 0) {
    throw UsageError(path + ": " + std::string(Text(Say::NoHeader, options.lang)));
  }
  if (headerIndex >= 0) {
    Declaration fromHeader;
    FromHeader(DecodeUtf8(file.lines[headerIndex]), declarant, fromHeader);
    if (!target) declaration = fromHeader;
  }

  // The validation pass over the whole file.
  ProgressTicker ticker(progress, options.check ? out.lines : 2 * out.lines);
  std::set<long> refused;
  {
    Driver driver(library, target ? target->key : 0, declaration);
    if (headerIndex >= 0 && Collect(driver.Header(file.lines[headerIndex]), headerIndex + 1,
                                    file.lines[headerIndex], out.findings))
      refused.insert(headerIndex);
    for (long i = 0; i < out.lines; ++i) {
      if (Collect(driver.Line("ValDeclaracion", file.lines[i]), i + 1, file.lines[i], out.findings))
        refused.insert(i);
      ticker.Tick();
    }
  }
  out.linesWithFindings = static_cast<long>(refused.size());
  if (options.check || (!refused.empty() && !options.partial)) return out;
  if (headerIndex >= 0 && refused.count(headerIndex)) return out;  // no declaration to store into

  // Where the records go; nothing is written before this point.
  std::vector<std::int32_t> oldRecords;
  if (target) {
    const Value grid = library.RecordsOf(target->key);
    if (grid.isArray()) {
      if (!options.replace)
        throw UsageError(
            Format(Say::DeclarationHasRecords, options.lang, {std::to_string(target->key)}));
      for (int r = 1; r <= grid.ubound(2); ++r) oldRecords.push_back(grid(0, r).toLong());
    }
    out.declaration = target->key;
  } else {
    if (auto key = library.FindDeclarantByTaxId(declarant.taxId)) {
      out.declarant = *key;
    } else {
      out.declarant = library.SaveDeclarant(declarant);
      out.createdDeclarant = true;
    }
    declaration.declarant = out.declarant;
    for (const Declaration& d : library.DeclarationsOf(out.declarant))
      if (d.year == declaration.year && d.period == declaration.period &&
          d.periodicity == declaration.periodicity && d.sequence == declaration.sequence)
        out.replaced = d.key;
    if (out.replaced != 0 && !options.replace)
      throw UsageError(
          Format(Say::DeclarationExists, options.lang, {std::to_string(out.replaced)}));
    declaration.key = 0;
    out.declaration = library.SaveDeclaration(declaration);
    out.createdDeclaration = true;
  }

  // The import pass; on a failure, what this import created goes away again.
  try {
    Driver driver(library, out.declaration, declaration);
    if (headerIndex >= 0) driver.Header(file.lines[headerIndex]);
    std::vector<ImportFinding> late;
    for (long i = 0; i < out.lines; ++i) {
      ticker.Tick();
      const std::string& line = file.lines[i];
      if (refused.count(i) || line.empty() || line[0] != '2') continue;
      if (Collect(driver.Line("importDeclarado", line), i + 1, line, late)) {
        refused.insert(i);
        continue;
      }
      ++out.stored;
    }
    out.findings.insert(out.findings.end(), late.begin(), late.end());
    out.linesWithFindings = static_cast<long>(refused.size());
  } catch (...) {
    if (target) {
      const Value grid = library.RecordsOf(target->key);
      const std::set<std::int32_t> old(oldRecords.begin(), oldRecords.end());
      for (int r = 1; grid.isArray() && r <= grid.ubound(2); ++r)
        if (!old.count(grid(0, r).toLong())) library.DeleteRecord(grid(0, r).toLong(), target->key);
    }
    if (out.createdDeclaration) library.DeleteDeclaration(out.declaration);
    if (out.createdDeclarant) library.DeleteDeclarant(out.declarant, true);
    throw;
  }
  if (out.replaced != 0) library.DeleteDeclaration(out.replaced);
  for (std::int32_t record : oldRecords) library.DeleteRecord(record, out.declaration);
  return out;
}

}  // namespace kolvar::cli
