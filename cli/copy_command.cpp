#include "copy_command.h"

#include <filesystem>

#include "errors.h"
#include "session.h"
#include "ui_text.h"

namespace kolvar::cli {

namespace {

// The user database an argument names, which must exist (a server's is
// checked when the copy connects).
std::string ExistingUserDatabase(const std::string& place, Say missing, Lang lang) {
  const std::string name = UserDatabaseOf(place);
  std::error_code ec;
  if (!IsServerDatabase(name) && !std::filesystem::is_regular_file(name, ec))
    throw UsageError(Format(missing, lang, {place}));
  return name;
}

}  // namespace

CopyResult CopyDatabase(const CopyRequest& request, Lang lang,
                        const CopyProgressCallback& progress) {
  const std::string from = ExistingUserDatabase(request.from, Say::CopyNoSource, lang);
  const std::string to = ExistingUserDatabase(request.to, Say::CopyNoTarget, lang);
  return CopyUserDatabase(from, to, progress);
}

nlohmann::json CopyReport(const CopyRequest& request, const CopyResult& result) {
  nlohmann::json tables = nlohmann::json::array();
  for (const CopiedTable& t : result.tables) {
    nlohmann::json sums = nlohmann::json::object();
    for (const auto& [column, sum] : t.sums) sums[column] = sum;
    tables.push_back({{"table", t.name}, {"rows", t.rows}, {"counter", t.counter}, {"sums", sums}});
  }
  return {{"from", request.from},
          {"to", request.to},
          {"cancelled", result.cancelled},
          {"tables", tables}};
}

}  // namespace kolvar::cli
