// Bulk work: a batch scope and a whole-file import.
//
// The public classes open and close their database file on every call, and
// every call that writes commits on its own. For bulk work a batch changes
// that for the calling thread, and only while it is open:
//   - every unit of work on the batch's user database or reference database
//     (the same path text the batch was given) reuses one open file instead
//     of opening it, and prepares each statement text once;
//   - everything written on the user database is one transaction: it commits
//     when the batch ends normally (Commit, or the scope's end) and rolls back
//     when it ends by an error (an exception leaving the scope) or by Cancel.
// Units of work on other files are not part of the batch. A batch belongs to
// the thread that opened it. A batch opened while another is open on the same
// thread and the same files nests inside it: its own end commits or undoes
// only its part, and nothing reaches the file before the outer batch commits.
//
// ImportFile imports a whole form-340 file into an existing declaration in one
// batch: a validation pass over every line, then the import pass, all or
// nothing.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace kolvar {

class Batch {
 public:
  // Opens the user database (its write lock is taken now: error 3050 when
  // another program holds it beyond the engine's wait).
  Batch(const std::string& userDatabase, const std::string& referenceDatabase);
  // Commits when the scope ends normally and the batch is still open; rolls
  // back when an exception is leaving the scope. A failing commit raises.
  ~Batch() noexcept(false);
  Batch(const Batch&) = delete;
  Batch& operator=(const Batch&) = delete;

  // Ends the batch keeping its work (one commit).
  void Commit();
  // Ends the batch storing nothing of its work.
  void Cancel();
  bool IsOpen() const;

 private:
  struct Scope;
  std::unique_ptr<Scope> scope_;
  int uncaughtAtStart_;
};

// The declaration a file is imported into, and the two database files.
struct ImportTarget {
  std::string userDatabase;       // mdbmod
  std::string referenceDatabase;  // mdblec
  std::int32_t declaration = 0;   // key (CSCI) of an existing declaration
  std::int32_t year = 0;          // its fiscal year
  std::int16_t period = 0;        // its period as a month (a quarter: its last month)
  std::int16_t periodicity = 1;   // 1 monthly, 2 quarterly
};

struct ImportOptions {
  // Store the lines without findings even when other lines have findings.
  bool partial = false;
  // Run the validation pass only; nothing is stored.
  bool validateOnly = false;
  // Year bounds of the declarant record's check.
  std::int32_t minYear = 2008;
  std::int32_t maxYear = 2099;
  // Marks of operation keys Z and 1 to 8 as the state's own (form field MARCA).
  bool estatal = false;
  // Findings kept in the result; the counts go on past it.
  std::size_t maxFindings = 1000;
};

struct ImportProgress {
  int pass = 0;                 // 1 validation, 2 import
  std::int64_t lines = 0;       // lines done in this pass
  std::int64_t bytesRead = 0;   // bytes of the file read in this pass
  std::int64_t bytesTotal = 0;  // the file's size
};
// Called every few thousand lines and at the end of each pass; returning
// false cancels the import (nothing is stored).
using ImportProgressCallback = std::function<bool(const ImportProgress&)>;

struct ImportFinding {
  std::int64_t line = 0;      // from 1
  std::string field;          // key of the field, as in the record layout ("" for the whole line)
  std::int32_t position = 0;  // first character of that field in the line (0 when none)
  std::int16_t code = 0;      // finding code of the import
  std::string text;           // the offending text
};

struct ImportResult {
  std::int64_t lines = 0;  // lines of the file (a final empty line or EOF mark not counted)
  std::int64_t declarantLines = 0;
  std::int64_t declaredLines = 0;
  std::int64_t linesWithFindings = 0;
  std::int64_t findingCount = 0;  // all findings, also those past maxFindings
  std::int64_t stored = 0;        // declared records stored
  bool rejected = false;          // the declarant record belongs to another declaration
  bool cancelled = false;
  std::vector<ImportFinding> findings;  // in file order, at most maxFindings
};

// Imports the form-340 file at `path` into the declaration. Lines may end in
// CR LF or LF; a text that is not valid UTF-8 is read as ISO-8859-1. Raises
// the engine's error (and stores nothing) when a database fails; error 3024
// when the file does not exist.
ImportResult ImportFile(const std::string& path, const ImportTarget& declaration,
                        const ImportOptions& options = {},
                        const ImportProgressCallback& progress = {});

}  // namespace kolvar
