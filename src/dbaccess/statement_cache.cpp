#include "dbaccess/statement_cache.h"

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace kolvar::db {

namespace {

constexpr std::size_t kCapacity = 256;

}  // namespace

sqlite3_stmt* StatementCache::acquire(std::string_view text, const Prepare& prepare) {
  const auto it = byText_.find(std::string(text));
  if (it != byText_.end() && !it->second.lent) {
    Entry& e = it->second;
    e.lent = true;
    e.lastUse = ++clock_;
    lent_[e.stmt] = &e;
    return e.stmt;
  }
  sqlite3_stmt* stmt = prepare(text);    // raises on failure
  if (it != byText_.end()) return stmt;  // the cached one is in use: this one is not kept
  if (byText_.size() >= kCapacity) makeRoom();
  Entry& e = byText_[std::string(text)];
  e = {stmt, true, ++clock_};
  lent_[stmt] = &e;
  return stmt;
}

void StatementCache::release(sqlite3_stmt* stmt) noexcept {
  if (!stmt) return;
  const auto it = lent_.find(stmt);
  if (it == lent_.end()) {
    sqlite3_finalize(stmt);
    return;
  }
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  it->second->lent = false;
  lent_.erase(it);
}

void StatementCache::makeRoom() noexcept {
  std::vector<std::pair<std::uint64_t, std::string>> idle;
  for (const auto& [text, e] : byText_)
    if (!e.lent) idle.emplace_back(e.lastUse, text);
  std::sort(idle.begin(), idle.end());
  for (std::size_t i = 0; i < idle.size() / 2 + 1 && i < idle.size(); ++i) {
    const auto it = byText_.find(idle[i].second);
    sqlite3_finalize(it->second.stmt);
    byText_.erase(it);
  }
}

void StatementCache::clear() noexcept {
  for (auto& [text, e] : byText_) sqlite3_finalize(e.stmt);
  byText_.clear();
  lent_.clear();
}

}  // namespace kolvar::db
