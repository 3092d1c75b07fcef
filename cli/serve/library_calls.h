// Late-bound calls on the library's public classes, shared by the API's handlers.
#pragma once

#include <kolvar/kolvar.h>

#include <memory>
#include <string>
#include <vector>

#include "library.h"

namespace kolvar::serve {

// The two database paths every public class is given.
using DataPaths = cli::Paths;

// A public class created by name with both paths set.
std::shared_ptr<Object> Service(const DataPaths& paths, std::string_view progId);

// Row r (from 1) of a table-layout result buffer as a list of cells, or none
// for Null.
std::vector<std::vector<Value>> Rows(const Value& grid);

}  // namespace kolvar::serve
