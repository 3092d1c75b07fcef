// A sample form-340 file that passes every rule of the import: records of
// every book, negative amounts, foreign parties and, from 2014, cash-basis
// blocks. The same options give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "form340_writer.h"
#include "library.h"

namespace kolvar::cli {

struct GeneratorOptions {
  long records = 1000;
  int year = 2014;
  int month = 12;
  std::uint64_t seed = 1;
};

struct GeneratedFile {
  Declarant declarant;
  Declaration declaration;
  Value grid;    // the records as the export grid holds them
  Value totals;  // sums of the base, tax and total amounts, in cents
  std::vector<std::string> lines;
};

GeneratedFile Generate(const GeneratorOptions& options);

}  // namespace kolvar::cli
