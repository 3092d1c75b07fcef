// What every command works with: the data folder and its two databases, the
// language of the messages and whether the output is JSON.
#pragma once

#include <string>

#include "catalog/catalog.h"
#include "library.h"

namespace kolvar::cli {

inline constexpr const char* kUserFile = "kolvar-usuario.db";
inline constexpr const char* kReferenceFile = "kolvar-referencia.db";

struct Session {
  std::string folder;
  Paths paths;
  Lang lang = Lang::es;
  bool json = false;

  Library library() const { return Library(paths); }
  bool HasDatabases() const;
  // A UsageError when either database is missing.
  void RequireDatabases() const;
};

// `data`: the --data option ("" when not given): else $KOLVAR_DATA, else
// ./kolvar-data. `lang`: "es", "eu" or "" for the stored setting. `userDb`:
// the --user-db option, a file or a server in place of the folder's user
// database ("" for the folder's).
Session OpenSession(const std::string& data, const std::string& lang, bool json,
                    const std::string& userDb = "");

// The user database a folder or a server's address names: the address as
// it is, or the folder's user file.
std::string UserDatabaseOf(const std::string& folderOrServer);

// The stored language letter of a language, and back.
std::string LanguageLetter(Lang lang);
Lang LanguageOfLetter(const std::string& letter);

}  // namespace kolvar::cli
