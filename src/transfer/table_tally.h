// What a copy compares between the source and the target, table by table:
// the number of rows, the sum of every numeric column to the cent, and a
// fingerprint of every value of every row (its type and exact bits), which
// does not depend on the order the rows are read in.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "dbaccess/schema.h"
#include "kolvar/value.h"

namespace kolvar::transfer {

class TableTally {
 public:
  explicit TableTally(const db::Table& table);

  void add(const std::vector<Value>& row);

  std::int64_t rows() const { return rows_; }
  // The column's sum in units (cents summed exactly), for numeric columns.
  double sum(std::size_t column) const;
  bool numeric(std::size_t column) const;
  // The first difference from `other` as text ("" when none).
  std::string difference(const TableTally& other) const;

 private:
  const db::Table* table_;
  std::int64_t rows_ = 0;
  std::vector<long double> cents_;  // whole cents: exact and order-free below 2^64
  std::uint64_t fingerprint_ = 0;
};

}  // namespace kolvar::transfer
