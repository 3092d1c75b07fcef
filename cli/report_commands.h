// kolvar summary, totals and listing: the library's figures of one
// declaration as JSON documents (field names in English, amounts in euros),
// from which the client prints tables or CSV.
#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <string>

#include "catalog/catalog.h"
#include "library.h"

namespace kolvar::cli {

// {"declaration", "groups": [{"group", "records", "base", "tax", "total", "cost_base"}]}
nlohmann::json SummaryData(const Library& library, std::int32_t declaration, Lang lang);
// {"declaration", "base", "tax", "total", "records", "books": {"E": n, ...}}
nlohmann::json TotalsData(const Library& library, std::int32_t declaration, Lang lang);
// {"declaration", "page", "size", "lines": [{"book", "party", "operation", "date", "base",
//  "tax", "total", "deductible"}]}; books: letters, "" for all.
nlohmann::json ListingData(const Library& library, std::int32_t declaration,
                           const std::string& books, long page, long size, Lang lang);

}  // namespace kolvar::cli
