#include "demo_command.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "amounts.h"
#include "errors.h"
#include "export_command.h"
#include "generator.h"
#include "import_command.h"
#include "misc_commands.h"
#include "report_commands.h"
#include "ui_text.h"

namespace kolvar::cli {

namespace {

using Clock = std::chrono::steady_clock;

std::string Seconds(Clock::time_point since) {
  char text[32];
  std::snprintf(text, sizeof text, "%8.3f s  ",
                std::chrono::duration<double>(Clock::now() - since).count());
  return text;
}

std::string Bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

Session FreshSession(const std::string& folder, Lang lang) {
  Session s = OpenSession(folder, lang == Lang::eu ? "eu" : "es", false);
  InitDatabases(s);
  return s;
}

// The stored records of a declaration without their keys.
std::vector<std::vector<std::string>> StoredRecords(const Library& library, std::int32_t decl) {
  const Value grid = library.FileGrid(decl);
  std::vector<std::vector<std::string>> rows;
  for (int r = 1; grid.isArray() && r <= grid.ubound(2); ++r) {
    std::vector<std::string> row;
    for (int c = kNIF; c < kGridColumns; ++c)
      row.push_back(grid(c, r).isEmpty() ? "" : grid(c, r).toString());
    rows.push_back(std::move(row));
  }
  std::sort(rows.begin(), rows.end());
  return rows;
}

}  // namespace

int RunDemo(const DemoOptions& options, Lang lang,
            const std::function<void(const std::string&)>& say) {
  namespace fs = std::filesystem;
  std::string folder = options.folder;
  if (folder.empty()) {
    std::string pattern = (fs::temp_directory_path() / "kolvar-demo-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr)
      throw UsageError(Format(Say::CannotCreate, lang, {pattern, "mkdtemp"}));
    folder = pattern;
  } else if (fs::exists(folder)) {
    throw UsageError(Format(Say::AlreadyExists, lang, {folder}));
  }
  const auto total = Clock::now();

  auto t = Clock::now();
  const Session first = FreshSession((fs::path(folder) / "data").string(), lang);
  say(Seconds(t) + Format(Say::StepFolder, lang, {first.folder}));

  t = Clock::now();
  GeneratorOptions g;
  g.records = options.records;
  const std::string sample = (fs::path(folder) / "muestra-340.txt").string();
  const GeneratedFile generated = Generate(g);
  WriteForm340File(sample, generated.lines, Encoding::Latin1);
  say(Seconds(t) + Format(Say::StepGenerate, lang,
                          {std::to_string(options.records), std::to_string(g.year), sample}));

  t = Clock::now();
  ImportOptions io;
  io.lang = lang;
  const ImportOutcome imported = ImportForm340File(first.library(), sample, io, nullptr);
  const double importSeconds = std::chrono::duration<double>(Clock::now() - t).count();
  say(Seconds(t) + std::string(Text(Say::StepImport, lang)) + ": " +
      Format(Say::Imported, lang,
             {std::to_string(imported.stored), std::to_string(imported.declaration)}) +
      " (" + std::to_string(std::llround(imported.lines / std::max(importSeconds, 1e-9))) + " " +
      std::string(Text(Say::LinesPerSecond, lang)) + ")");
  if (!imported.findings.empty() || imported.declaration == 0) return 1;

  t = Clock::now();
  const nlohmann::json summary = SummaryData(first.library(), imported.declaration, lang);
  say(Seconds(t) + std::string(Text(Say::StepSummary, lang)) + ":");
  static const Say kGroups[] = {Say::GroupIssued, Say::GroupReceived, Say::GroupInvestment,
                                Say::GroupIntraCommunity, Say::GroupAll};
  for (std::size_t g = 0; g < summary["groups"].size(); ++g) {
    const auto& row = summary["groups"][g];
    char line[256];
    std::snprintf(line, sizeof line, "              %-36s %7lld %20s %18s %20s",
                  std::string(Text(kGroups[g], lang)).c_str(), row["records"].get<long long>(),
                  Euros(row["base"].get<double>()).c_str(), Euros(row["tax"].get<double>()).c_str(),
                  Euros(row["total"].get<double>()).c_str());
    say(line);
  }

  t = Clock::now();
  const std::string exported = (fs::path(folder) / "exportado-340.txt").string();
  ExportDeclaration(first.library(), imported.declaration, exported, Encoding::Latin1, lang);
  say(Seconds(t) + Format(Say::StepExport, lang, {exported}));
  const bool sameBytes = Bytes(exported) == Bytes(sample);
  say("              " +
      std::string(Text(sameBytes ? Say::DemoBytesSame : Say::DemoBytesDiffer, lang)));

  t = Clock::now();
  const Session second = FreshSession((fs::path(folder) / "data-reimport").string(), lang);
  const ImportOutcome again = ImportForm340File(second.library(), exported, io, nullptr);
  const bool sameRecords =
      again.findings.empty() && StoredRecords(first.library(), imported.declaration) ==
                                    StoredRecords(second.library(), again.declaration);
  say(Seconds(t) + std::string(Text(Say::StepReimport, lang)) + ": " +
      std::string(Text(sameRecords ? Say::DemoSame : Say::DemoDiffer, lang)));
  say(Seconds(total) + folder);
  return sameRecords && sameBytes ? 0 : 1;
}

}  // namespace kolvar::cli
