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

// What the header line and the options say about the file and its target.
struct Plan {
  FileLines file;
  long headerIndex = -1;
  Declarant declarant;
  Declaration declaration;
  std::optional<Declaration> target;
};

Plan MakePlan(const Library& library, const std::string& path, const ImportOptions& options,
              ImportOutcome& out) {
  Plan plan;
  plan.file = ReadForm340File(path);
  auto& lines = plan.file.lines;
  while (!lines.empty() && lines.back().empty()) lines.pop_back();
  out.encoding = plan.file.encoding;
  out.lines = static_cast<long>(lines.size());
  for (long i = 0; i < out.lines; ++i)
    if (!lines[i].empty() && lines[i][0] == '1') {
      plan.headerIndex = i;
      break;
    }
  for (const std::string& l : lines) out.records += !l.empty() && l[0] == '2';
  if (options.declaration) {
    plan.target = library.FindDeclaration(*options.declaration);
    if (!plan.target)
      throw UsageError(
          Format(Say::UnknownDeclaration, options.lang, {std::to_string(*options.declaration)}));
    plan.declaration = *plan.target;
  } else if (plan.headerIndex < 0) {
    throw UsageError(path + ": " + std::string(Text(Say::NoHeader, options.lang)));
  }
  if (plan.headerIndex >= 0) {
    Declaration fromHeader;
    FromHeader(DecodeUtf8(lines[plan.headerIndex]), plan.declarant, fromHeader);
    if (!plan.target) plan.declaration = fromHeader;
  }
  return plan;
}

// Finds or creates the declarant and creates the declaration the records go
// to, or checks the one given; the keys of the records it already holds.
std::vector<std::int32_t> PrepareTarget(const Library& library, const ImportOptions& options,
                                        Plan& plan, ImportOutcome& out) {
  std::vector<std::int32_t> oldRecords;
  if (plan.target) {
    const Value grid = library.RecordsOf(plan.target->key);
    if (grid.isArray()) {
      if (!options.replace && !options.check)
        throw UsageError(
            Format(Say::DeclarationHasRecords, options.lang, {std::to_string(plan.target->key)}));
      for (int r = 1; r <= grid.ubound(2); ++r) oldRecords.push_back(grid(0, r).toLong());
    }
    out.declaration = plan.target->key;
    return oldRecords;
  }
  if (auto key = library.FindDeclarantByTaxId(plan.declarant.taxId)) {
    out.declarant = *key;
  } else {
    out.declarant = library.SaveDeclarant(plan.declarant);
    out.createdDeclarant = true;
  }
  Declaration& d = plan.declaration;
  d.declarant = out.declarant;
  for (const Declaration& other : library.DeclarationsOf(out.declarant))
    if (other.year == d.year && other.period == d.period && other.periodicity == d.periodicity &&
        other.sequence == d.sequence)
      out.replaced = other.key;
  if (out.replaced != 0 && !options.replace && !options.check)
    throw UsageError(Format(Say::DeclarationExists, options.lang, {std::to_string(out.replaced)}));
  d.key = 0;
  out.declaration = library.SaveDeclaration(d);
  out.createdDeclaration = true;
  return oldRecords;
}

// After a successful import: the replaced declaration and the records the
// target held before go.
void DropReplaced(const Library& library, const ImportOutcome& out,
                  const std::vector<std::int32_t>& oldRecords) {
  if (out.replaced != 0) library.DeleteDeclaration(out.replaced);
  for (std::int32_t record : oldRecords) library.DeleteRecord(record, out.declaration);
}

// The whole import in one batch of the library: nothing reaches the file
// unless everything went well.
void ImportInBatch(const Library& library, const std::string& path, const ImportOptions& options,
                   const ImportProgress& progress, Plan& plan, ImportOutcome& out) {
  Batch batch(library.paths().user, library.paths().reference);
  const std::vector<std::int32_t> oldRecords = PrepareTarget(library, options, plan, out);
  ImportTarget target;
  target.userDatabase = library.paths().user;
  target.referenceDatabase = library.paths().reference;
  target.declaration = out.declaration;
  target.year = plan.declaration.year;
  target.period = plan.declaration.period;
  target.periodicity = static_cast<std::int16_t>(plan.declaration.periodicity == "2" ? 2 : 1);
  kolvar::ImportOptions o = LibraryImportOptions();
  o.partial = options.partial;
  o.validateOnly = options.check;
  o.maxFindings = 100000;
  const long lines = out.lines;
  const ImportProgressCallback report = [&](const kolvar::ImportProgress& p) {
    if (progress)
      progress((p.pass - 1) * lines + static_cast<long>(p.lines),
               options.check ? lines : 2 * lines);
    return true;
  };
  const ImportResult r = ImportFile(path, target, o, progress ? report : ImportProgressCallback());
  for (const kolvar::ImportFinding& f : r.findings) {
    ImportFinding g;
    g.line = static_cast<long>(f.line);
    g.field = f.field;
    g.start = f.position > 0 ? f.position : 1;
    g.code = f.code;
    g.text = f.text;
    const std::string& line = plan.file.lines[static_cast<std::size_t>(f.line - 1)];
    const std::u32string chars = DecodeUtf8(line);
    const bool declarant = !chars.empty() && chars[0] == U'1';
    const char book = chars.size() >= 99 ? static_cast<char>(chars[98]) : ' ';
    int year = 0;
    for (std::size_t i = 4; i < 8 && i < chars.size(); ++i)
      year = year * 10 + (chars[i] >= U'0' && chars[i] <= U'9' ? chars[i] - U'0' : 0);
    if (const FieldPlace* place = FindPlace(g.field, declarant, book, year))
      g.width = place->width;
    else if (g.field.empty())
      g.width = static_cast<int>(chars.size());
    out.findings.push_back(std::move(g));
  }
  out.linesWithFindings = static_cast<long>(r.linesWithFindings);
  out.stored = static_cast<long>(r.stored);
  if (options.check || r.rejected || r.cancelled || r.stored == 0 ||
      (r.linesWithFindings > 0 && !options.partial)) {
    batch.Cancel();
    out.stored = 0;
    out.declaration = 0;
    out.declarant = 0;
    out.replaced = 0;
    return;
  }
  DropReplaced(library, out, oldRecords);
  batch.Commit();
}

}  // namespace

kolvar::ImportOptions LibraryImportOptions() {
  kolvar::ImportOptions o;
  o.minYear = 2008;
  o.maxYear = CurrentYear() + 1;
  return o;
}

ImportOutcome ImportForm340File(const Library& library, const std::string& path,
                                const ImportOptions& options, const ImportProgress& progress) {
  ImportOutcome out;
  Plan plan = MakePlan(library, path, options, out);
  ImportInBatch(library, path, options, progress, plan, out);
  return out;
}

}  // namespace kolvar::cli
