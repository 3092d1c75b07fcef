// Record buffers as the client's form fills them, and the findings read back.
#pragma once

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "kolvar/value.h"

namespace kolvar::testing {

using Cells = std::vector<std::pair<int, Value>>;
using Found = std::vector<std::pair<int, int>>;

// 37 cells of empty text: a book-E record of a known party, key A, issued on
// 15 March 2012, of the period 2012/03; `cells` override in order.
inline Value RecordBuffer(const Cells& cells) {
  Value r = Value::Array({{0, 36}});
  for (int i = 0; i <= 36; ++i) r(i) = "";
  Cells all{{2, "12345678Z"}, {8, "E"}, {9, "A"}, {10, "20120315"}, {19, "2012"}, {20, 3}};
  all.insert(all.end(), cells.begin(), cells.end());
  for (const auto& [i, v] : all) r(i) = v;
  return r;
}

// The (field, code) pairs of an on-screen ErrorBuffer; none for its one empty column.
inline Found Findings(const Value& errors) {
  Found found;
  for (int k = 0; k <= errors.ubound(2) && !errors(0, k).isEmpty(); ++k)
    found.emplace_back(errors(0, k).toInteger(), errors(1, k).toInteger());
  return found;
}

template <class Run>
void ExpectCases(Run run, const std::vector<std::pair<Cells, Found>>& cases) {
  for (std::size_t i = 0; i < cases.size(); ++i)
    EXPECT_EQ(run(cases[i].first), cases[i].second) << "case " << i;
}

}  // namespace kolvar::testing
