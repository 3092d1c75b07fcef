#include "serve/library_calls.h"

namespace kolvar::serve {

std::shared_ptr<Object> Service(const DataPaths& paths, std::string_view progId) {
  auto object = CreateObject(progId);
  object->Let("mdbmod", Value(paths.user));
  object->Let("mdblec", Value(paths.reference));
  return object;
}

std::vector<std::vector<Value>> Rows(const Value& grid) {
  std::vector<std::vector<Value>> rows;
  if (!grid.isArray()) return rows;
  for (std::int32_t r = 1; r <= grid.ubound(2); ++r) {
    std::vector<Value> row;
    for (std::int32_t c = grid.lbound(1); c <= grid.ubound(1); ++c) row.push_back(grid(c, r));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace kolvar::serve
