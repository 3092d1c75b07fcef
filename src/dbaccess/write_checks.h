// The sizes and ranges of the described column types, checked on every row a
// statement writes. The store itself keeps each value in its column's storage
// class (strict tables); these checks add what that does not know: Text(n)
// sizes in characters and the ranges of Byte, Integer, Long and Single. They
// run as the rows are written, so the schema carries no per-column checks that
// every opening of the file would have to parse.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "dbaccess/schema.h"
#include "kolvar/error.h"

struct sqlite3;

namespace kolvar::db {

class WriteChecks {
 public:
  // Watches the rows written on `db` from now on.
  void attach(sqlite3* db);
  // The column order of every table (again after a schema change): kept per
  // schema (the file's schema version and text), read from the file only the
  // first time the process meets that schema.
  void load(sqlite3* db);
  void forget() { tables_.reset(), loaded_ = false, lastTable_.clear(), lastColumns_ = nullptr; }
  bool loaded() const { return loaded_; }
  // Before a write: the column order loaded, or loaded again when the
  // schema version moved since recheck() (another connection changed it).
  void ready(sqlite3* db);
  // The file is taken up for a new unit of work: its schema may have changed
  // while no lock was held.
  void recheck() { recheck_ = loaded_; }

  // The first violation since the last take(), and clears it.
  std::optional<Error> take();

 private:
  static void OnWrite(void* self, sqlite3* db, int op, const char* zDb, const char* zName,
                      long long key1, long long key2);

  // Table (lower case) -> the described column at each position, or nullptr.
  using Tables = std::unordered_map<std::string, std::vector<const Column*>>;
  // The columns of `table`, or nullptr; the last table asked for is kept.
  const std::vector<const Column*>* columnsOf(const char* table);

  std::shared_ptr<const Tables> tables_;
  bool loaded_ = false;
  bool recheck_ = false;
  long long version_ = -1;  // the schema version loaded
  std::string lastTable_;
  const std::vector<const Column*>* lastColumns_ = nullptr;
  std::optional<Error> violation_;
};

}  // namespace kolvar::db
