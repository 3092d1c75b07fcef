// Moving a whole user database from one engine to the other: a database file
// to a PostgreSQL server and back, or between two of either.
//
// CopyUserDatabase copies every table of the user database `from` into the
// user database `to` (each a file path or a server's connection string),
// keys as they are, and moves every counter of the target past the highest
// key the source's counter ever handed out, so later inserts never reuse a
// key. The target must exist (CreateUserDatabase), both must have the
// current layout, and the target must be empty: no declarant, declaration,
// record or detail row (its settings row is replaced by the source's). A
// target that holds data is refused with error 3204 and left alone.
//
// All or nothing: the copy is one transaction on the target, committed only
// after it has read back everything it wrote and found the same rows, the
// same values and the same sums as it read from the source (error 3197
// otherwise). On any failure, a cancel or a killed process the target keeps
// what it held. The source is read in one transaction too, so it is copied
// as it stood at one moment; on a database file other writers wait meanwhile.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace kolvar {

struct CopyProgress {
  int phase = 0;           // 1 copying rows, 2 reading them back from the target
  std::int64_t rows = 0;   // rows done in this phase
  std::int64_t total = 0;  // rows of the source
};
// Called every thousand rows or so and at the end of each phase; returning
// false cancels the copy (the target keeps what it held).
using CopyProgressCallback = std::function<bool(const CopyProgress&)>;

struct CopiedTable {
  std::string name;
  std::int64_t rows = 0;
  // The highest key the source's counter has handed out; the target's
  // hands out only keys above it (0 when the table has no counter).
  std::int64_t counter = 0;
  // The sum of each amount (floating-point) column over all rows, in column
  // order. Every numeric column's sum is the same on both sides to the
  // cent, and every value to the bit.
  std::vector<std::pair<std::string, double>> sums;
};

struct CopyResult {
  std::vector<CopiedTable> tables;  // in the order they were copied
  bool cancelled = false;
};

CopyResult CopyUserDatabase(const std::string& from, const std::string& to,
                            const CopyProgressCallback& progress = {});

}  // namespace kolvar
