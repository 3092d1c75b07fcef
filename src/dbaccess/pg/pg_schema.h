// The schema description as PostgreSQL tables. Text(n) columns are citext
// under the "C" collation with a size check: compared, sorted and matched
// without regard to case exactly as the embedded engine does (ASCII letters
// folded, everything else by code point), on any server locale. Counters are
// identity columns, whose values the server never hands out twice.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "dbaccess/schema.h"
#include "kolvar/database.h"

namespace kolvar::db::pg {

// The column's definition in CREATE TABLE / ALTER TABLE ADD COLUMN; its
// checks are named <table>_<column>_size (text too long) and _range.
std::string ColumnDefinition(std::string_view table, const Column& column,
                             std::optional<std::string_view> defaultValue = std::nullopt);

// Creates the user database's tables in the current schema of the server's
// database (the first of its search path) in one transaction; error 3204
// when they exist already.
void CreateUserTables(const std::string& conninfo, UserLayout layout);

}  // namespace kolvar::db::pg
