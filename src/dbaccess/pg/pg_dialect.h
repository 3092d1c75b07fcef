// Adapts statement texts written for the desktop engine to PostgreSQL:
// "TOP n" becomes "LIMIT n", LIKE with the old engine's patterns becomes a
// case-insensitive regular-expression match, a plain SELECT of one table with
// a counter and no order of its own reads in key order (as the embedded
// engine's table scans do), a number with a fraction stored into a column
// is quoted (so that a whole-number column refuses it), and the text must
// hold exactly one statement. Everything else passes unchanged.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolvar::db::pg {

struct ServerStatement {
  std::string sql;
  // Column names given with AS, as written: the server folds them to lower
  // case, result sets give them back as the statement spelt them.
  std::vector<std::string> aliases;
  // For each parameter (?), whether it is a value stored as it is (an item
  // of VALUES, the right-hand side of SET).
  std::vector<bool> storedParams;
};

// Error 3219 when a second statement follows the first, 3075 when the text
// holds none.
ServerStatement AdaptForServer(std::string_view sql);

// The old engine's pattern (* any characters, ? one, # one digit, [list],
// [!list]; everything else literal) as an anchored regular expression.
std::string LikePatternToRegex(std::string_view pattern);

}  // namespace kolvar::db::pg
