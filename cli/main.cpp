// kolvar: the command-line client. Arguments (CLI11) and printing live here;
// every command's work is in its own file, shared with other clients.
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <nlohmann/json.hpp>
#include <string>

#include "amounts.h"
#include "copy_command.h"
#include "declarant_commands.h"
#include "declaration_commands.h"
#include "demo_command.h"
#include "errors.h"
#include "export_command.h"
#include "form340_writer.h"
#include "generator.h"
#include "import_command.h"
#include "misc_commands.h"
#include "record_commands.h"
#include "report_commands.h"
#include "serve/serve_command.h"
#include "session.h"
#include "table.h"
#include "ui_text.h"

namespace kolvar::cli {
namespace {

using nlohmann::json;

// The value of a global option given before CLI11 parses (help texts need
// the language first).
std::string EarlyOption(int argc, char** argv, const std::string& name) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == name && i + 1 < argc) return argv[i + 1];
    if (a.rfind(name + "=", 0) == 0) return a.substr(name.size() + 1);
  }
  return "";
}

void PrintJson(const json& doc) {
  std::cout << doc.dump(2) << '\n';
}

std::string Str(const json& v) {
  if (v.is_string()) return v.get<std::string>();
  if (v.is_boolean()) return v.get<bool>() ? "x" : "";
  if (v.is_number_integer()) return std::to_string(v.get<long long>());
  if (v.is_number()) return Euros(v.get<double>());
  return v.dump();
}

// A table of the given fields of each row of a JSON array.
void PrintRows(const json& rows, const std::vector<std::pair<std::string, Say>>& columns, Lang lang,
               bool csv = false) {
  TextTable t;
  for (const auto& [field, label] : columns) {
    t.headers.push_back(std::string(Text(label, lang)));
    bool numeric = !rows.empty() && rows[0].contains(field) && rows[0][field].is_number();
    t.right.push_back(numeric);
  }
  for (const auto& row : rows) {
    std::vector<std::string> cells;
    for (const auto& [field, label] : columns) {
      const json& v = row.contains(field) ? row[field] : json("");
      cells.push_back(csv && v.is_number_float() ? [&] {
        char text[32];
        std::snprintf(text, sizeof text, "%.2f", v.get<double>());
        return std::string(text);
      }()
                                                 : Str(v));
    }
    t.rows.push_back(std::move(cells));
  }
  std::cout << (csv ? t.Csv() : t.Render());
}

void PrintFields(const json& doc, const std::vector<std::pair<std::string, Say>>& fields,
                 Lang lang) {
  TextTable t;
  t.headers = {"", ""};
  for (const auto& [field, label] : fields)
    if (doc.contains(field)) t.rows.push_back({std::string(Text(label, lang)), Str(doc[field])});
  std::string text = t.Render();
  std::cout << text.substr(text.find('\n', text.find('\n') + 1) + 1);
}

// A progress bar on stderr: lines per second and time left.
class ProgressBar {
 public:
  explicit ProgressBar(Lang lang, Say unit = Say::LinesPerSecond)
      : lang_(lang), unit_(unit), start_(std::chrono::steady_clock::now()) {}
  void operator()(long done, long total) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const double rate = seconds > 0 ? done / seconds : 0;
    const int width = 30;
    const int filled = total > 0 ? static_cast<int>(width * done / total) : width;
    const long left = rate > 0 ? std::lround((total - done) / rate) : 0;
    std::fprintf(stderr, "\r[%s%s] %3ld%%  %8.0f %s  %s %lds   ", std::string(filled, '#').c_str(),
                 std::string(width - filled, '.').c_str(), total > 0 ? 100 * done / total : 100,
                 rate, std::string(Text(unit_, lang_)).c_str(),
                 std::string(Text(Say::TimeLeft, lang_)).c_str(), left);
    if (done >= total) std::fprintf(stderr, "\r%*s\r", 78, "");
  }

 private:
  Lang lang_;
  Say unit_;
  std::chrono::steady_clock::time_point start_;
};

int PrintImport(const ImportOutcome& out, const ImportOptions& options, const Session& s,
                const std::string& path) {
  const Lang lang = s.lang;
  const int status = out.findings.empty() ? 0 : 1;
  if (s.json) {
    json findings = json::array();
    for (const ImportFinding& f : out.findings)
      findings.push_back(
          {{"line", f.line},
           {"field", f.field},
           {"position", f.start},
           {"width", f.width},
           {"code", f.code},
           {"text", f.text},
           {"message", std::string(FindingText(f.code, FindingLayout::Import, lang))}});
    PrintJson({{"file", path},
               {"encoding", out.encoding == Encoding::Utf8 ? "utf8" : "latin1"},
               {"lines", out.lines},
               {"records", out.records},
               {"stored", out.stored},
               {"declaration", out.declaration},
               {"declarant", out.declarant},
               {"replaced", out.replaced},
               {"check", options.check},
               {"findings", findings}});
    return status;
  }
  if (!out.findings.empty()) {
    TextTable t;
    t.headers = {std::string(Text(Say::Line, lang)),     std::string(Text(Say::Field, lang)),
                 std::string(Text(Say::Position, lang)), std::string(Text(Say::Code, lang)),
                 std::string(Text(Say::Text, lang)),     std::string(Text(Say::Message, lang))};
    t.right = {true, false, false, true, false, false};
    for (const ImportFinding& f : out.findings)
      t.rows.push_back({std::to_string(f.line), f.field.empty() ? "-" : f.field,
                        std::to_string(f.start) + "-" + std::to_string(f.start + f.width - 1),
                        std::to_string(f.code), "«" + f.text + "»",
                        std::string(FindingText(f.code, FindingLayout::Import, lang))});
    std::cout << t.Render();
  }
  if (options.check && out.findings.empty())
    std::cout << Format(Say::CheckedClean, lang, {std::to_string(out.records)}) << '\n';
  else if (out.stored > 0 && !out.findings.empty())
    std::cout << Format(Say::Partial, lang,
                        {std::to_string(out.stored), std::to_string(out.declaration),
                         std::to_string(out.linesWithFindings)})
              << '\n';
  else if (!out.findings.empty())
    std::cout << Format(
                     Say::Findings, lang,
                     {std::to_string(out.findings.size()), std::to_string(out.linesWithFindings)})
              << '\n';
  else
    std::cout << Format(Say::Imported, lang,
                        {std::to_string(out.stored), std::to_string(out.declaration)})
              << '\n';
  if (out.replaced != 0)
    std::cout << Format(Say::Replaced, lang, {std::to_string(out.replaced)}) << '\n';
  return status;
}

int PrintRecordSaved(const RecordSaved& saved, const Session& s) {
  if (s.json) {
    json findings = json::array();
    for (const RecordFinding& f : saved.findings)
      findings.push_back(
          {{"field", f.field},
           {"code", f.code},
           {"message", std::string(FindingText(f.code, FindingLayout::OnScreen, s.lang))}});
    PrintJson({{"key", saved.key}, {"findings", findings}});
  } else if (saved.findings.empty()) {
    std::cout << Format(Say::Saved, s.lang, {std::to_string(saved.key)}) << '\n';
  } else {
    TextTable t;
    t.headers = {std::string(Text(Say::Field, s.lang)), std::string(Text(Say::Code, s.lang)),
                 std::string(Text(Say::Message, s.lang))};
    t.right = {true, true, false};
    for (const RecordFinding& f : saved.findings)
      t.rows.push_back({std::to_string(f.field), std::to_string(f.code),
                        std::string(FindingText(f.code, FindingLayout::OnScreen, s.lang))});
    std::cout << t.Render() << Text(Say::RecordRefused, s.lang) << '\n';
  }
  return saved.findings.empty() ? 0 : 1;
}

// The copy's tables: rows, counter and the sums of the amounts.
void PrintCopy(const CopyRequest& request, const CopyResult& result, Lang lang) {
  json rows = json::array();
  long long copied = 0;
  for (const CopiedTable& t : result.tables) {
    std::string sums;
    for (const auto& [column, sum] : t.sums)
      sums += (sums.empty() ? "" : "  ") + column + "=" + Euros(sum);
    rows.push_back({{"table", t.name}, {"rows", t.rows}, {"counter", t.counter}, {"sums", sums}});
    copied += t.rows;
  }
  PrintRows(
      rows,
      {{"table", Say::Table}, {"rows", Say::Rows}, {"counter", Say::Counter}, {"sums", Say::Sums}},
      lang);
  std::cout << Format(Say::Copied, lang, {std::to_string(copied), request.from, request.to})
            << '\n';
}

// Options that fill named fields; only those given are set.
class FieldOptions {
 public:
  void Add(CLI::App* cmd, const std::string& field, const std::string& option, Say help,
           Lang lang) {
    cmd_ = cmd;
    cmd->add_option(option, values_[field], std::string(Text(help, lang)));
  }
  void AddFlag(CLI::App* cmd, const std::string& field, const std::string& option, Say help,
               Lang lang) {
    cmd_ = cmd;
    cmd->add_flag(option, flags_[field], std::string(Text(help, lang)));
  }
  void AddDetails(CLI::App* cmd, Lang lang) {
    cmd_ = cmd;
    cmd->add_option("--detail", details_, std::string(Text(Say::OptDetail, lang)));
  }
  // The fields given on the command line of the (one) command they belong to.
  Fields Collect(Lang lang) const {
    Fields f;
    for (const auto& [field, value] : values_)
      if (cmd_->count(OptionOf(field)) > 0) f[field] = value;
    for (const auto& [field, on] : flags_)
      if (on) f[field] = "yes";
    for (const std::string& d : details_) {
      const auto eq = d.find('=');
      if (eq == std::string::npos || eq == 0)
        throw UsageError(Format(Say::BadChoice, lang, {"--detail", d, "NAME=VALUE"}));
      std::string name = d.substr(0, eq);
      for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      f[name] = d.substr(eq + 1);
    }
    return f;
  }

 private:
  static std::string OptionOf(const std::string& field) {
    std::string o = "--" + field;
    for (char& c : o)
      if (c == '_') c = '-';
    return o;
  }
  CLI::App* cmd_ = nullptr;
  std::map<std::string, std::string> values_;
  std::map<std::string, bool> flags_;
  std::vector<std::string> details_;
};

// The language of the messages of failures that reach main.
Lang messageLanguage = Lang::es;

int Run(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "serve")
    return kolvar::serve::ServeMain(argc - 1, argv + 1);
  const std::string earlyLang = EarlyOption(argc, argv, "--lang");
  Session probe = OpenSession(EarlyOption(argc, argv, "--data"),
                              earlyLang == "es" || earlyLang == "eu" ? earlyLang : "", false,
                              EarlyOption(argc, argv, "--user-db"));
  const Lang lang0 = probe.lang;
  messageLanguage = lang0;
  const auto T = [&](Say id) { return std::string(Text(id, lang0)); };

  CLI::App app(T(Say::About), "kolvar");
  app.require_subcommand(1);
  app.fallthrough();
  std::string dataOption, langOption, userDbOption;
  bool jsonOption = false;
  app.add_option("--data", dataOption, T(Say::OptData));
  app.add_option("--user-db", userDbOption, T(Say::OptUserDb));
  app.add_option("--lang", langOption, T(Say::OptLang))->check(CLI::IsMember({"es", "eu"}));
  app.add_flag("--json", jsonOption, T(Say::OptJson));

  Session s;
  std::function<int()> run;
  const auto session = [&](bool needDatabases) {
    s = OpenSession(dataOption, langOption, jsonOption, userDbOption);
    messageLanguage = s.lang;
    if (needDatabases) s.RequireDatabases();
  };
  const auto key = [&](const std::string& name, const std::string& text) {
    return KeyArgument(name, text, s.lang);
  };
  // A subcommand whose work runs once the arguments are parsed, in a session
  // opened from the global options (and its databases required unless told).
  const auto command = [&](CLI::App* parent, const std::string& name, Say help,
                           std::function<int()> work, bool needDatabases = true) {
    CLI::App* cmd = parent->add_subcommand(name, T(help));
    cmd->callback([&run, &session, work = std::move(work), needDatabases] {
      run = [&session, work, needDatabases] {
        session(needDatabases);
        return work();
      };
    });
    return cmd;
  };
  // A command's result: the JSON document, or the result in words; status 0.
  const auto report = [&](const json& doc, const std::function<void()>& inWords) {
    if (s.json)
      PrintJson(doc);
    else
      inWords();
    return 0;
  };
  const auto reportLine = [&](const json& doc, const std::string& line) {
    return report(doc, [&] { std::cout << line << '\n'; });
  };
  const auto saved = [&](std::int32_t k) {
    return reportLine({{"key", k}}, Format(Say::Saved, s.lang, {std::to_string(k)}));
  };
  const auto deleted = [&](const std::string& k) {
    return reportLine({{"deleted", k}}, Format(Say::Deleted, s.lang, {k}));
  };

  // init
  command(
      &app, "init", Say::CmdInit,
      [&] {
        const auto lines = InitDatabases(s);
        return report(
            {{"folder", s.folder}, {"user", s.paths.user}, {"reference", s.paths.reference}}, [&] {
              for (const auto& l : lines) std::cout << l << '\n';
            });
      },
      false);

  // declarant
  auto* declarant = app.add_subcommand("declarant", T(Say::CmdDeclarant));
  declarant->require_subcommand(1);
  FieldOptions dteAddFields, dteEditFields;
  const auto declarantFields = [&](CLI::App* cmd, FieldOptions& f) {
    f.Add(cmd, "tax_id", "--tax-id", Say::TaxId, lang0);
    f.Add(cmd, "name", "--name", Say::Name, lang0);
    f.Add(cmd, "street_type", "--street-type", Say::Address, lang0);
    f.Add(cmd, "street", "--street", Say::Address, lang0);
    f.Add(cmd, "number", "--number", Say::Address, lang0);
    f.Add(cmd, "letter", "--letter", Say::Address, lang0);
    f.Add(cmd, "staircase", "--staircase", Say::Address, lang0);
    f.Add(cmd, "floor", "--floor", Say::Address, lang0);
    f.Add(cmd, "door", "--door", Say::Address, lang0);
    f.Add(cmd, "postal_code", "--postal-code", Say::PostalCode, lang0);
    f.Add(cmd, "municipality", "--municipality", Say::Municipality, lang0);
    f.Add(cmd, "phone", "--phone", Say::Phone, lang0);
    f.Add(cmd, "contact", "--contact", Say::Contact, lang0);
    f.Add(cmd, "contact_phone", "--contact-phone", Say::Phone, lang0);
    f.Add(cmd, "representative", "--representative", Say::Representative, lang0);
  };
  {
    declarantFields(
        command(
            declarant, "add", Say::CmdDeclarantAdd,
            [&] { return saved(AddDeclarant(s.library(), dteAddFields.Collect(s.lang), s.lang)); }),
        dteAddFields);
    static std::string prefix;
    command(declarant, "list", Say::CmdDeclarantList, [&] {
      const json rows = ListDeclarants(s.library(), prefix);
      return report(rows, [&] {
        PrintRows(rows,
                  {{"key", Say::Key},
                   {"tax_id", Say::TaxId},
                   {"name", Say::Name},
                   {"declarations", Say::CmdDeclaration}},
                  s.lang);
      });
    })->add_option("TAX_ID_PREFIX", prefix, T(Say::TaxId));
    static std::string showKey;
    command(declarant, "show", Say::CmdDeclarantShow,
            [&] {
              const json doc = ShowDeclarant(s.library(), key("DECLARANT", showKey), s.lang);
              return report(doc, [&] {
                PrintFields(doc,
                            {{"key", Say::Key},
                             {"tax_id", Say::TaxId},
                             {"name", Say::Name},
                             {"street_type", Say::Address},
                             {"street", Say::Address},
                             {"number", Say::Address},
                             {"postal_code", Say::PostalCode},
                             {"municipality", Say::Municipality},
                             {"phone", Say::Phone},
                             {"contact", Say::Contact},
                             {"contact_phone", Say::Phone},
                             {"representative", Say::Representative}},
                            s.lang);
              });
            })
        ->add_option("DECLARANT", showKey, T(Say::Key))
        ->required();
    static std::string editKey;
    auto* edit = command(declarant, "edit", Say::CmdDeclarantEdit, [&] {
      const auto k = key("DECLARANT", editKey);
      EditDeclarant(s.library(), k, dteEditFields.Collect(s.lang), s.lang);
      return saved(k);
    });
    edit->add_option("DECLARANT", editKey, T(Say::Key))->required();
    declarantFields(edit, dteEditFields);
    static std::string deleteKey;
    static bool withDeclarations = false;
    auto* del = command(declarant, "delete", Say::CmdDeclarantDelete, [&] {
      DeleteDeclarant(s.library(), key("DECLARANT", deleteKey), withDeclarations, s.lang);
      return deleted(deleteKey);
    });
    del->add_option("DECLARANT", deleteKey, T(Say::Key))->required();
    del->add_flag("--with-declarations", withDeclarations, T(Say::OptWithDeclarations));
  }

  // declaration
  auto* declaration = app.add_subcommand("declaration", T(Say::CmdDeclaration));
  declaration->require_subcommand(1);
  FieldOptions declAddFields, declDupFields;
  const auto declarationFields = [&](CLI::App* cmd, FieldOptions& f, bool withDeclarant) {
    if (withDeclarant) f.Add(cmd, "declarant", "--declarant", Say::Declarant, lang0);
    f.Add(cmd, "year", "--year", Say::OptYear, lang0);
    f.Add(cmd, "period", "--period", Say::OptPeriod, lang0);
    f.Add(cmd, "sequence", "--sequence", Say::Sequence, lang0);
    f.AddFlag(cmd, "complementary", "--complementary", Say::Complementary, lang0);
    f.AddFlag(cmd, "substitutive", "--substitutive", Say::Substitutive, lang0);
    f.Add(cmd, "previous", "--previous", Say::Previous, lang0);
  };
  const std::vector<std::pair<std::string, Say>> declarationColumns = {
      {"key", Say::Key},
      {"declarant", Say::Declarant},
      {"year", Say::Year},
      {"period", Say::Period},
      {"sequence", Say::Sequence},
      {"complementary", Say::Complementary},
      {"substitutive", Say::Substitutive},
      {"previous", Say::Previous},
      {"records", Say::Records}};
  {
    declarationFields(
        command(declaration, "add", Say::CmdDeclarationAdd,
                [&] {
                  return saved(AddDeclaration(s.library(), declAddFields.Collect(s.lang), s.lang));
                }),
        declAddFields, true);
    static std::string ofDeclarant;
    command(declaration, "list", Say::CmdDeclarationList, [&] {
      std::optional<std::int32_t> d;
      if (!ofDeclarant.empty()) d = key("--declarant", ofDeclarant);
      const json rows = ListDeclarations(s.library(), d, s.lang);
      return report(rows, [&] { PrintRows(rows, declarationColumns, s.lang); });
    })->add_option("--declarant", ofDeclarant, T(Say::Declarant));
    static std::string showKey;
    command(declaration, "show", Say::CmdDeclarationShow,
            [&] {
              const json doc = ShowDeclaration(s.library(), key("DECLARATION", showKey), s.lang);
              return report(doc, [&] {
                auto fields = declarationColumns;
                fields.insert(fields.begin() + 2, {{"tax_id", Say::TaxId}, {"name", Say::Name}});
                PrintFields(doc, fields, s.lang);
              });
            })
        ->add_option("DECLARATION", showKey, T(Say::OptDeclaration))
        ->required();
    static std::string deleteKey;
    command(declaration, "delete", Say::CmdDeclarationDelete,
            [&] {
              DeleteDeclaration(s.library(), key("DECLARATION", deleteKey), s.lang);
              return deleted(deleteKey);
            })
        ->add_option("DECLARATION", deleteKey, T(Say::OptDeclaration))
        ->required();
    static std::string dupKey;
    auto* dup = command(declaration, "duplicate", Say::CmdDeclarationDuplicate, [&] {
      return saved(DuplicateDeclaration(s.library(), key("DECLARATION", dupKey),
                                        declDupFields.Collect(s.lang), s.lang));
    });
    dup->add_option("DECLARATION", dupKey, T(Say::OptDeclaration))->required();
    declarationFields(dup, declDupFields, false);
  }

  // record
  auto* record = app.add_subcommand("record", T(Say::CmdRecord));
  record->require_subcommand(1);
  FieldOptions recAddFields, recEditFields;
  const auto recordFields = [&](CLI::App* cmd, FieldOptions& f) {
    f.Add(cmd, "book", "--book", Say::OptBook, lang0);
    f.Add(cmd, "nif", "--nif", Say::TaxId, lang0);
    f.Add(cmd, "representative", "--representative", Say::Representative, lang0);
    f.Add(cmd, "name", "--name", Say::Name, lang0);
    f.Add(cmd, "country", "--country", Say::OptCountry, lang0);
    f.Add(cmd, "id_key", "--id-key", Say::Key, lang0);
    f.Add(cmd, "foreign_id", "--foreign-id", Say::TaxId, lang0);
    f.Add(cmd, "operation", "--operation", Say::Operation, lang0);
    f.Add(cmd, "issued", "--issued", Say::Date, lang0);
    f.Add(cmd, "operated", "--operated", Say::Date, lang0);
    f.Add(cmd, "rate", "--rate", Say::Tax, lang0);
    f.Add(cmd, "base", "--base", Say::Base, lang0);
    f.Add(cmd, "tax", "--tax", Say::Tax, lang0);
    f.Add(cmd, "total", "--total", Say::Total, lang0);
    f.Add(cmd, "cost_base", "--cost-base", Say::CostBase, lang0);
    f.Add(cmd, "invoice", "--invoice", Say::Sequence, lang0);
    f.Add(cmd, "register", "--register", Say::Sequence, lang0);
    f.AddDetails(cmd, lang0);
  };
  {
    static std::string addDecl;
    auto* add = command(record, "add", Say::CmdRecordAdd, [&] {
      return PrintRecordSaved(
          AddRecord(s.library(), key("DECLARATION", addDecl), recAddFields.Collect(s.lang), s.lang),
          s);
    });
    add->add_option("DECLARATION", addDecl, T(Say::OptDeclaration))->required();
    recordFields(add, recAddFields);
    static std::string listDecl;
    command(record, "list", Say::CmdRecordList,
            [&] {
              const json rows = ListRecords(s.library(), key("DECLARATION", listDecl), s.lang);
              return report(rows, [&] {
                PrintRows(rows,
                          {{"key", Say::Key},
                           {"book", Say::Book},
                           {"nif", Say::TaxId},
                           {"name", Say::Name},
                           {"operation", Say::Operation},
                           {"total", Say::Total}},
                          s.lang);
              });
            })
        ->add_option("DECLARATION", listDecl, T(Say::OptDeclaration))
        ->required();
    static std::string showKey;
    command(record, "show", Say::CmdRecordShow,
            [&] {
              const json doc = ShowRecord(s.library(), key("RECORD", showKey), s.lang);
              return report(doc, [&] {
                TextTable t;
                t.headers = {"", ""};
                for (const auto& [k, v] : doc.items())
                  if (k != "detail") t.rows.push_back({k, Str(v)});
                for (const auto& [k, v] : doc["detail"].items()) t.rows.push_back({k, Str(v)});
                const std::string text = t.Render();
                std::cout << text.substr(text.find('\n', text.find('\n') + 1) + 1);
              });
            })
        ->add_option("RECORD", showKey, T(Say::Key))
        ->required();
    static std::string editKey;
    auto* edit = command(record, "edit", Say::CmdRecordEdit, [&] {
      return PrintRecordSaved(
          EditRecord(s.library(), key("RECORD", editKey), recEditFields.Collect(s.lang), s.lang),
          s);
    });
    edit->add_option("RECORD", editKey, T(Say::Key))->required();
    recordFields(edit, recEditFields);
    static std::string deleteKey;
    command(record, "delete", Say::CmdRecordDelete,
            [&] {
              DeleteRecord(s.library(), key("RECORD", deleteKey), s.lang);
              return deleted(deleteKey);
            })
        ->add_option("RECORD", deleteKey, T(Say::Key))
        ->required();
    static std::string dupKey;
    command(record, "duplicate", Say::CmdRecordDuplicate,
            [&] {
              return PrintRecordSaved(DuplicateRecord(s.library(), key("RECORD", dupKey), s.lang),
                                      s);
            })
        ->add_option("RECORD", dupKey, T(Say::Key))
        ->required();
  }

  // import
  static std::string importFile, importDecl;
  static ImportOptions importOptions;
  auto* import = command(&app, "import", Say::CmdImport, [&] {
    importOptions.lang = s.lang;
    if (!importDecl.empty()) importOptions.declaration = key("--declaration", importDecl);
    ProgressBar bar(s.lang);
    ImportProgress progress;
    if (isatty(STDERR_FILENO)) progress = std::ref(bar);
    const ImportOutcome out = ImportForm340File(s.library(), importFile, importOptions, progress);
    return PrintImport(out, importOptions, s, importFile);
  });
  import->add_option("FILE", importFile, "form-340")->required();
  import->add_option("--declaration", importDecl, T(Say::OptDeclaration));
  import->add_flag("--check", importOptions.check, T(Say::OptCheck));
  import->add_flag("--partial", importOptions.partial, T(Say::OptPartial));
  import->add_flag("--replace", importOptions.replace, T(Say::OptReplace));

  // export
  static std::string exportDecl, exportFile, exportEncoding = "latin1";
  auto* exp = command(&app, "export", Say::CmdExport, [&] {
    const auto encoding =
        ChoiceArgument("--encoding", exportEncoding, "latin1 utf8", s.lang) == "utf8"
            ? Encoding::Utf8
            : Encoding::Latin1;
    const long n = ExportDeclaration(s.library(), key("DECLARATION", exportDecl), exportFile,
                                     encoding, s.lang);
    return reportLine({{"file", exportFile}, {"records", n}, {"encoding", exportEncoding}},
                      Format(Say::Written, s.lang, {std::to_string(n), exportFile}));
  });
  exp->add_option("DECLARATION", exportDecl, T(Say::OptDeclaration))->required();
  exp->add_option("-o,--output", exportFile, T(Say::OptOutput))->required();
  exp->add_option("--encoding", exportEncoding, T(Say::OptEncoding));

  // summary, totals, listing
  static std::string summaryDecl;
  command(&app, "summary", Say::CmdSummary,
          [&] {
            json doc = SummaryData(s.library(), key("DECLARATION", summaryDecl), s.lang);
            return report(doc, [&] {
              static const Say kGroups[] = {Say::GroupIssued, Say::GroupReceived,
                                            Say::GroupInvestment, Say::GroupIntraCommunity,
                                            Say::GroupAll};
              for (std::size_t g = 0; g < doc["groups"].size(); ++g)
                doc["groups"][g]["label"] = std::string(Text(kGroups[g], s.lang));
              PrintRows(doc["groups"],
                        {{"label", Say::Book},
                         {"records", Say::Records},
                         {"base", Say::Base},
                         {"tax", Say::Tax},
                         {"total", Say::Total},
                         {"cost_base", Say::CostBase}},
                        s.lang);
            });
          })
      ->add_option("DECLARATION", summaryDecl, T(Say::OptDeclaration))
      ->required();
  static std::string totalsDecl;
  command(&app, "totals", Say::CmdTotals,
          [&] {
            const json doc = TotalsData(s.library(), key("DECLARATION", totalsDecl), s.lang);
            return report(doc, [&] {
              PrintFields(doc,
                          {{"base", Say::Base},
                           {"tax", Say::Tax},
                           {"total", Say::Total},
                           {"records", Say::Records}},
                          s.lang);
              json rows = json::array();
              for (const auto& [book, n] : doc["books"].items())
                rows.push_back({{"book", book}, {"records", n}});
              std::cout << '\n';
              PrintRows(rows, {{"book", Say::Book}, {"records", Say::Records}}, s.lang);
            });
          })
      ->add_option("DECLARATION", totalsDecl, T(Say::OptDeclaration))
      ->required();
  static std::string listingDecl, listingBooks, listingPage = "1", listingSize = "50";
  static bool listingCsv = false;
  auto* listing = command(&app, "listing", Say::CmdListing, [&] {
    for (char c : listingBooks)
      if (std::string("EFRSIJU").find(c) == std::string::npos)
        throw UsageError(Format(Say::BadChoice, s.lang, {"--book", listingBooks, "E F R S I J U"}));
    const long page = static_cast<long>(WholeArgument("--page", listingPage, 1, 1000000, s.lang));
    const long size = static_cast<long>(WholeArgument("--size", listingSize, 1, 30000, s.lang));
    const json doc =
        ListingData(s.library(), key("DECLARATION", listingDecl), listingBooks, page, size, s.lang);
    return report(doc, [&] {
      PrintRows(doc["lines"],
                {{"book", Say::Book},
                 {"party", Say::Party},
                 {"operation", Say::Operation},
                 {"date", Say::Date},
                 {"base", Say::Base},
                 {"tax", Say::Tax},
                 {"total", Say::Total},
                 {"deductible", Say::Deductible}},
                s.lang, listingCsv);
    });
  });
  listing->add_option("DECLARATION", listingDecl, T(Say::OptDeclaration))->required();
  listing->add_option("--book", listingBooks, T(Say::OptBook));
  listing->add_option("--page", listingPage, T(Say::OptPage));
  listing->add_option("--size", listingSize, T(Say::OptSize));
  listing->add_flag("--csv", listingCsv, T(Say::OptCsv));

  // check-id, lookup, lang, upgrade
  static std::string checkIdValue, checkCountry;
  auto* checkId = command(
      &app, "check-id", Say::CmdCheckId,
      [&] {
        const json doc = CheckId(s.library(), checkIdValue, checkCountry, s.lang);
        report(doc, [&] {
          std::cout << checkIdValue << ": "
                    << Text(doc["valid"].get<bool>() ? Say::Valid : Say::Invalid, s.lang) << " ("
                    << doc["kind"].get<std::string>() << ")\n";
        });
        return doc["valid"].get<bool>() ? 0 : 1;
      },
      false);
  checkId->add_option("ID", checkIdValue, T(Say::TaxId))->required();
  checkId->add_option("--country", checkCountry, T(Say::OptCountry));
  static std::string lookupTable, lookupCode;
  auto* lookup = command(&app, "lookup", Say::CmdLookup, [&] {
    const json doc = Lookup(s.library(), lookupTable, lookupCode, s.lang);
    const std::string description = doc["description"].get<std::string>();
    reportLine(
        doc, description.empty() ? Format(Say::NoDescription, s.lang, {lookupCode}) : description);
    return description.empty() ? 1 : 0;
  });
  lookup->add_option("TABLE", lookupTable, "country|province|street|key|means")->required();
  lookup->add_option("CODE", lookupCode, T(Say::Code))->required();
  static std::string langValue;
  command(&app, "lang", Say::CmdLang,
          [&] {
            const std::string chosen = ChoiceArgument("LANG", langValue, "es eu", s.lang);
            const Lang l = chosen == "eu" ? Lang::eu : Lang::es;
            s.library().SetLanguageLetter(LanguageLetter(l));
            return reportLine({{"lang", chosen}}, Format(Say::LanguageSaved, l, {chosen}));
          })
      ->add_option("LANG", langValue, "es|eu")
      ->required();
  command(&app, "upgrade", Say::CmdUpgrade, [&] {
    const auto added = UpgradeDatabase(s.library());
    std::string list;
    for (const auto& c : added) list += (list.empty() ? "" : ", ") + c;
    return reportLine({{"added", added}}, added.empty()
                                              ? std::string(Text(Say::UpgradeNothing, s.lang))
                                              : Format(Say::UpgradeAdded, s.lang, {list}));
  });

  // generate, demo
  static std::string genRecords = "1000", genYear = "2014", genSeed = "1", genPeriod = "12",
                     genFile, genEncoding = "latin1";
  auto* generate = command(
      &app, "generate", Say::CmdGenerate,
      [&] {
        GeneratorOptions g;
        g.records = static_cast<long>(WholeArgument("--records", genRecords, 0, 10000000, s.lang));
        g.year = static_cast<int>(WholeArgument("--year", genYear, 2008, 2999, s.lang));
        g.month = static_cast<int>(WholeArgument("--period", genPeriod, 1, 12, s.lang));
        g.seed = static_cast<std::uint64_t>(
            WholeArgument("--seed", genSeed, 0, 999999999999999999LL, s.lang));
        const auto encoding =
            ChoiceArgument("--encoding", genEncoding, "latin1 utf8", s.lang) == "utf8"
                ? Encoding::Utf8
                : Encoding::Latin1;
        WriteForm340File(genFile, Generate(g).lines, encoding);
        return reportLine(
            {{"file", genFile}, {"records", g.records}, {"year", g.year}, {"seed", g.seed}},
            Format(Say::Written, s.lang, {std::to_string(g.records), genFile}));
      },
      false);
  generate->add_option("--records", genRecords, T(Say::OptRecords));
  generate->add_option("--year", genYear, T(Say::OptYear));
  generate->add_option("--seed", genSeed, T(Say::OptSeed));
  generate->add_option("--period", genPeriod, T(Say::OptPeriod));
  generate->add_option("-o,--output", genFile, T(Say::OptOutput))->required();
  generate->add_option("--encoding", genEncoding, T(Say::OptEncoding));
  static std::string demoRecords = "2000", demoFolder;
  auto* demo = command(
      &app, "demo", Say::CmdDemo,
      [&] {
        DemoOptions o;
        o.records = static_cast<long>(WholeArgument("--records", demoRecords, 1, 10000000, s.lang));
        o.folder = demoFolder;
        return RunDemo(o, s.lang, [](const std::string& line) { std::cout << line << std::endl; });
      },
      false);
  demo->add_option("--records", demoRecords, T(Say::OptRecords));
  demo->add_option("--folder", demoFolder, T(Say::OptData));

  // copy
  static CopyRequest copyRequest;
  auto* copy = command(
      &app, "copy", Say::CmdCopy,
      [&] {
        ProgressBar bar(s.lang, Say::RowsPerSecond);
        CopyProgressCallback progress;
        if (isatty(STDERR_FILENO))
          progress = [&](const CopyProgress& p) {
            bar(static_cast<long>(p.rows + (p.phase == 2 ? p.total : 0)),
                static_cast<long>(2 * p.total));
            return true;
          };
        const CopyResult result = CopyDatabase(copyRequest, s.lang, progress);
        return report(CopyReport(copyRequest, result),
                      [&] { PrintCopy(copyRequest, result, s.lang); });
      },
      false);
  copy->add_option("--from", copyRequest.from, T(Say::OptFrom))->required();
  copy->add_option("--to", copyRequest.to, T(Say::OptTo))->required();

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    std::cerr << "kolvar: " << e.what() << '\n';
    return 2;
  }
  return run ? run() : 2;
}

}  // namespace
}  // namespace kolvar::cli

int main(int argc, char** argv) {
  using namespace kolvar::cli;
  try {
    return Run(argc, argv);
  } catch (const UsageError& e) {
    std::cerr << "kolvar: " << e.what() << '\n';
  } catch (const kolvar::Error& e) {
    const std::string_view text = ErrorText(e.number(), messageLanguage);
    std::cerr << "kolvar: error " << e.number() << ": ";
    if (!text.empty())
      std::cerr << text << " (" << e.description() << ")\n";
    else
      std::cerr << e.description() << '\n';
  } catch (const std::exception& e) {
    std::cerr << "kolvar: " << e.what() << '\n';
  }
  return 2;
}
