// A test's user database opened straight through the engine boundary.
#pragma once

#include <memory>
#include <string>

#include "dbaccess/engine.h"
#include "support/fixture.h"

namespace kolvar::testing {

class EngineFixture : public DatabaseTest {
 protected:
  void SetUp() override {
    DatabaseTest::SetUp();
    if (Ready()) db = db::OpenDatabase(userPath);
  }
  void TearDown() override {
    if (db) db->close();
    DatabaseTest::TearDown();
  }
  // Closes the database and opens it again.
  void Reopen() {
    db->close();
    db = db::OpenDatabase(userPath);
  }
  std::int32_t Count(const std::string& from) {
    return db->openRecordset("SELECT count(*) FROM " + from)->field(0).toLong();
  }
  std::shared_ptr<db::Database> db;
};

}  // namespace kolvar::testing
