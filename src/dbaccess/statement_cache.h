// The prepared statements of one open database, kept by their text: a text
// run again is not prepared again. A statement in use (a result set still
// reading it) is not lent twice; a second user of the same text gets one of
// its own, finalized when given back. The least recently used statements are
// dropped when the cache is full, so texts that carry values do not pile up.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

struct sqlite3_stmt;

namespace kolvar::db {

class StatementCache {
 public:
  using Prepare = std::function<sqlite3_stmt*(std::string_view)>;

  StatementCache() = default;
  ~StatementCache() { clear(); }
  StatementCache(const StatementCache&) = delete;
  StatementCache& operator=(const StatementCache&) = delete;

  // A statement for the text, reset and without bindings.
  sqlite3_stmt* acquire(std::string_view text, const Prepare& prepare);
  // Gives a statement back (reset, bindings cleared); never raises.
  void release(sqlite3_stmt* stmt) noexcept;
  // Finalizes every statement (before the file closes).
  void clear() noexcept;

 private:
  struct Entry {
    sqlite3_stmt* stmt = nullptr;
    bool lent = false;
    std::uint64_t lastUse = 0;
  };
  void makeRoom() noexcept;

  std::unordered_map<std::string, Entry> byText_;
  std::unordered_map<sqlite3_stmt*, Entry*> lent_;
  std::uint64_t clock_ = 0;
};

}  // namespace kolvar::db
