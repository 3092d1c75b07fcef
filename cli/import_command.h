// kolvar import: validates a whole form-340 file, then stores it into a new
// (or the given) declaration only when the validation found nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "catalog/catalog.h"
#include "kolvar/batch.h"
#include "library.h"
#include "text_file.h"

namespace kolvar::cli {

struct ImportOptions {
  std::optional<std::int32_t> declaration;  // import into this one instead of the header's
  bool check = false;                       // validate only
  bool partial = false;                     // store the clean lines even when others have findings
  bool replace = false;                     // replace an existing declaration
  Lang lang = Lang::es;                     // of the messages of UsageErrors
};

struct ImportFinding {
  long line = 0;      // from 1
  std::string field;  // the field key; empty for the whole line
  int start = 1;      // 1-based character position
  int width = 0;
  int code = 0;
  std::string text;  // the offending text as the import reports it
};

struct ImportOutcome {
  Encoding encoding = Encoding::Latin1;
  long lines = 0;    // lines read
  long records = 0;  // declared-record lines
  long stored = 0;   // records stored
  long linesWithFindings = 0;
  std::vector<ImportFinding> findings;
  std::int32_t declaration = 0;  // where the records went (0: nowhere)
  std::int32_t declarant = 0;
  bool createdDeclarant = false;
  bool createdDeclaration = false;
  std::int32_t replaced = 0;  // the declaration that was replaced
};

// Called now and then with the lines done and the lines to do over both passes.
using ImportProgress = std::function<void(long done, long total)>;

// The library's import options every client uses: the years a declarant
// record may carry (up to next year).
kolvar::ImportOptions LibraryImportOptions();

// Findings are in the outcome; usage and file problems are UsageErrors and
// library failures kolvar::Errors, both leaving the databases as they were.
ImportOutcome ImportForm340File(const Library& library, const std::string& path,
                                const ImportOptions& options, const ImportProgress& progress);

}  // namespace kolvar::cli
