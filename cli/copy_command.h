// kolvar copy: a whole user database from a data folder or a PostgreSQL
// server into another, empty one (the library's CopyUserDatabase does the
// work, all or nothing).
#pragma once

#include <nlohmann/json.hpp>
#include <string>

#include "catalog/catalog.h"
#include "kolvar/kolvar.h"

namespace kolvar::cli {

struct CopyRequest {
  std::string from;  // a data folder or a server's address
  std::string to;
};

// A UsageError when either user database is missing.
CopyResult CopyDatabase(const CopyRequest& request, Lang lang,
                        const CopyProgressCallback& progress);

// {"from", "to", "cancelled", "tables": [{"table", "rows", "counter", "sums": {...}}]}
nlohmann::json CopyReport(const CopyRequest& request, const CopyResult& result);

}  // namespace kolvar::cli
