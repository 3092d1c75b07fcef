#include "misc_commands.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

#include "arguments.h"
#include "errors.h"
#include "ui_text.h"

namespace kolvar::cli {

namespace {

// The column names of a table of the user database.
std::set<std::string> Columns(const std::string& database, const std::string& table) {
  auto connection = CreateObject("kolvar.cConexionDAO");
  connection->Let("mdb", Value(std::int32_t{0}));
  CallMethod(*connection, "CrearWorkSpace", {});
  CallMethod(*connection, "AbrirBD", {Value(database)});
  std::set<std::string> names;
  try {
    auto rs =
        CallMethod(*connection, "openRecordset", {Value("SELECT * FROM " + table)}).toObject();
    auto fields = rs->Get("Fields").toObject();
    const int count = fields->Get("Count").toLong();
    for (int i = 0; i < count; ++i) {
      std::string name =
          CallMethod(*fields, "Item", {Value(std::int32_t{i})}).toObject()->Get("Name").toString();
      std::transform(name.begin(), name.end(), name.begin(), ::toupper);
      names.insert(name);
    }
    CallMethod(*rs, "Close", {});
  } catch (...) {
    CallMethod(*connection, "Cerrar", {});
    throw;
  }
  CallMethod(*connection, "Cerrar", {});
  return names;
}

}  // namespace

std::vector<std::string> InitDatabases(const Session& session) {
  namespace fs = std::filesystem;
  const Lang lang = session.lang;
  std::error_code ec;
  fs::create_directories(session.folder, ec);
  if (ec || !fs::is_directory(session.folder, ec))
    throw UsageError(Format(Say::CannotCreate, lang,
                            {session.folder, ec ? ec.message() : std::string("not a folder")}));
  std::vector<std::string> lines;
  bool existed = false;
  for (const std::string& path : {session.paths.user, session.paths.reference}) {
    const bool server = IsServerDatabase(path);
    if (!server && fs::exists(path, ec)) {
      lines.push_back(Format(Say::AlreadyExists, lang, {path}));
      existed = true;
      continue;
    }
    try {
      if (path == session.paths.user)
        CreateUserDatabase(path);
      else
        CreateReferenceDatabase(path);
    } catch (const Error& e) {
      if (!server) fs::remove(path, ec);
      throw UsageError(Format(Say::CannotCreate, lang, {path, e.description()}));
    }
    lines.push_back(Format(Say::Created, lang, {path}));
  }
  if (existed) {
    std::string all;
    for (const std::string& l : lines) all += (all.empty() ? "" : "; ") + l;
    throw UsageError(all);
  }
  return lines;
}

nlohmann::json CheckId(const Library& library, const std::string& id, const std::string& country,
                       Lang lang) {
  std::string upper = id;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  upper.erase(std::remove(upper.begin(), upper.end(), ' '), upper.end());
  nlohmann::json doc = {{"id", id}, {"country", country}};
  if (!country.empty()) {
    std::string cc = country;
    std::transform(cc.begin(), cc.end(), cc.begin(), ::toupper);
    if (cc.size() != 2 || !std::isalpha(static_cast<unsigned char>(cc[0])) ||
        !std::isalpha(static_cast<unsigned char>(cc[1])))
      throw UsageError(Format(Say::BadChoice, lang, {"--country", country, "AT BE ... GB XI"}));
    if (upper.compare(0, 2, cc) == 0) upper = upper.substr(2);
    doc["valid"] = library.ValidForeignId(upper, cc);
    doc["kind"] = Format(Say::KindVat, lang, {cc});
    return doc;
  }
  doc["valid"] = library.ValidSpanishId(upper);
  const char first = upper.empty() ? ' ' : upper[0];
  if (first == 'X' || first == 'Y' || first == 'Z')
    doc["kind"] = Text(Say::KindNie, lang);
  else if (std::isalpha(static_cast<unsigned char>(first)) &&
           std::string("KLM").find(first) == std::string::npos)
    doc["kind"] = Text(Say::KindCif, lang);
  else
    doc["kind"] = Text(Say::KindNif, lang);
  return doc;
}

nlohmann::json Lookup(const Library& library, const std::string& table, const std::string& code,
                      Lang lang) {
  static const std::pair<const char*, Library::Table> kTables[] = {
      {"country", Library::Table::Country},
      {"province", Library::Table::Province},
      {"street", Library::Table::Street},
      {"key", Library::Table::Key},
      {"means", Library::Table::Means}};
  const std::string name =
      ChoiceArgument("lookup", table, "country province street key means", lang);
  if (code.find('\'') != std::string::npos || code.size() > 10)
    throw UsageError(Format(Say::NoDescription, lang, {code}));
  std::string upper = code;
  std::transform(upper.begin(), upper.end(), upper.begin(), ::toupper);
  for (const auto& [n, t] : kTables)
    if (name == n)
      return {{"table", name},
              {"code", upper},
              {"description", library.Describe(t, upper, lang == Lang::eu)}};
  return {};
}

std::vector<std::string> UpgradeDatabase(const Library& library) {
  const std::string& user = library.paths().user;
  const auto before = std::make_pair(Columns(user, "tdpfe"), Columns(user, "tdpfr"));
  library.Upgrade();
  const auto after = std::make_pair(Columns(user, "tdpfe"), Columns(user, "tdpfr"));
  std::vector<std::string> added;
  for (const auto& c : after.first)
    if (!before.first.count(c)) added.push_back("tdpfe." + c);
  for (const auto& c : after.second)
    if (!before.second.count(c)) added.push_back("tdpfr." + c);
  return added;
}

}  // namespace kolvar::cli
