#include "session.h"

#include <cstdlib>
#include <filesystem>

#include "errors.h"
#include "ui_text.h"

namespace kolvar::cli {

std::string LanguageLetter(Lang lang) {
  return lang == Lang::eu ? "E" : "C";
}

Lang LanguageOfLetter(const std::string& letter) {
  return letter == "E" || letter == "e" ? Lang::eu : Lang::es;
}

bool Session::HasDatabases() const {
  std::error_code ec;
  return (IsServerDatabase(paths.user) || std::filesystem::is_regular_file(paths.user, ec)) &&
         std::filesystem::is_regular_file(paths.reference, ec);
}

std::string UserDatabaseOf(const std::string& folderOrServer) {
  if (IsServerDatabase(folderOrServer)) return folderOrServer;
  return (std::filesystem::path(folderOrServer) / kUserFile).string();
}

void Session::RequireDatabases() const {
  if (!HasDatabases()) throw UsageError(Format(Say::NoDatabases, lang, {folder}));
}

Session OpenSession(const std::string& data, const std::string& lang, bool json,
                    const std::string& userDb) {
  Session s;
  if (!data.empty()) {
    s.folder = data;
  } else if (const char* env = std::getenv("KOLVAR_DATA"); env != nullptr && *env != '\0') {
    s.folder = env;
  } else {
    s.folder = "kolvar-data";
  }
  s.paths.user = userDb.empty() ? UserDatabaseOf(s.folder) : userDb;
  s.paths.reference = (std::filesystem::path(s.folder) / kReferenceFile).string();
  s.json = json;
  if (lang == "eu") {
    s.lang = Lang::eu;
  } else if (lang == "es") {
    s.lang = Lang::es;
  } else if (s.HasDatabases()) {
    try {
      s.lang = LanguageOfLetter(s.library().LanguageLetter());
    } catch (const Error&) {
      s.lang = Lang::es;  // an unreadable setting leaves the default
    }
  }
  return s;
}

}  // namespace kolvar::cli
