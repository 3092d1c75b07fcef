// kolvar init, check-id, lookup, lang and upgrade.
#pragma once

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "session.h"

namespace kolvar::cli {

// Creates the folder and both databases; refuses to overwrite either. The
// lines to print; a UsageError when something existed or could not be made.
std::vector<std::string> InitDatabases(const Session& session);

// {"id", "country", "valid", "kind"}
nlohmann::json CheckId(const Library& library, const std::string& id, const std::string& country,
                       Lang lang);

// table: country, province, street, key, means. {"table", "code", "description"}
nlohmann::json Lookup(const Library& library, const std::string& table, const std::string& code,
                      Lang lang);

// The columns the upgrade added ("tdpfe.SDI", ...), empty when none.
std::vector<std::string> UpgradeDatabase(const Library& library);

}  // namespace kolvar::cli
