// Prepared statements kept by their text: a text run again reuses its
// statement, reset and without its old values; a statement still in use is
// not lent twice; the least recently used ones go when the cache is full.
#include "dbaccess/statement_cache.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <stdexcept>
#include <string>

namespace kolvar::testing {
namespace {

class StatementCacheTest : public ::testing::Test {
 protected:
  void SetUp() override { sqlite3_open(":memory:", &db); }
  void TearDown() override {
    cache.clear();
    sqlite3_close(db);
  }
  sqlite3_stmt* Acquire(const std::string& text) {
    return cache.acquire(text, [&](std::string_view t) {
      ++prepared;
      sqlite3_stmt* stmt = nullptr;
      if (sqlite3_prepare_v2(db, std::string(t).c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
      return stmt;
    });
  }
  int Live() const {
    int n = 0;
    for (sqlite3_stmt* s = sqlite3_next_stmt(db, nullptr); s; s = sqlite3_next_stmt(db, s)) ++n;
    return n;
  }

  sqlite3* db = nullptr;
  db::StatementCache cache;
  int prepared = 0;
};

TEST_F(StatementCacheTest, ReusesByTextResetAndWithoutOldValues) {
  sqlite3_stmt* first = Acquire("SELECT ?");
  sqlite3_bind_int(first, 1, 5);
  ASSERT_EQ(sqlite3_step(first), SQLITE_ROW);
  cache.release(first);
  sqlite3_stmt* again = Acquire("SELECT ?");
  EXPECT_EQ(again, first);
  EXPECT_EQ(prepared, 1);
  ASSERT_EQ(sqlite3_step(again), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_type(again, 0), SQLITE_NULL);

  // In use: a second user of the text gets its own, finalized when returned.
  sqlite3_stmt* second = Acquire("SELECT ?");
  EXPECT_NE(second, again);
  EXPECT_EQ(Live(), 2);
  cache.release(second);
  EXPECT_EQ(Live(), 1);
  cache.release(again);
  EXPECT_EQ(Acquire("SELECT ?"), first);
  cache.release(first);

  EXPECT_THROW(Acquire("SELEC 1"), std::runtime_error);
  EXPECT_THROW(Acquire("SELEC 1"), std::runtime_error);  // nothing kept of a failure
  EXPECT_EQ(Live(), 1);
  cache.clear();
  EXPECT_EQ(Live(), 0);
}

TEST_F(StatementCacheTest, AFullCacheDropsTheLeastRecentlyUsed) {
  sqlite3_stmt* kept = Acquire("SELECT 0");
  cache.release(kept);
  for (int i = 1; i <= 1000; ++i) {
    cache.release(Acquire("SELECT " + std::to_string(i)));
    if (i % 100 == 0) cache.release(Acquire("SELECT 0"));  // used now and then
  }
  EXPECT_LE(Live(), 256);
  EXPECT_GE(Live(), 100);
  const int before = prepared;
  cache.release(Acquire("SELECT 1000"));
  cache.release(Acquire("SELECT 0"));
  EXPECT_EQ(prepared, before);  // both still kept
  cache.release(Acquire("SELECT 1"));
  EXPECT_EQ(prepared, before + 1);  // long gone
}

}  // namespace
}  // namespace kolvar::testing
