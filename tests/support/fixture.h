// A fresh user and reference database in a temporary folder, per test. A
// fixture may run its tests once per engine (PerEngine): then the user
// database of the server's run is a schema of its own on the test server.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "kolvar/kolvar.h"

namespace kolvar::testing {

// The engine a test's user database lives on.
enum class Engine { Embedded, Server };

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // The embedded engine, unless the test runs once per engine.
  virtual Engine engine() const { return Engine::Embedded; }
  bool OnServer() const { return engine() == Engine::Server; }
  // False when SetUp skipped the test or failed: a fixture's own SetUp stops.
  bool Ready() const { return !IsSkipped() && !HasFatalFailure(); }

  // Runs one statement on the user database (selector 0) through the shared connection.
  void ExecUser(const std::string& sql);
  // The first column of the first row of a SELECT on the user database, or Null.
  Value ScalarUser(const std::string& sql);
  Value ScalarReference(const std::string& sql);
  // Every cell of a SELECT on the user database as text, "|" between columns
  // and "\n" after each row; Null shows as "NULL".
  std::string RowsUser(const std::string& sql);
  // One more empty user database on the test's engine, in `layout`: a file in
  // the test's folder, or a schema of its own on the test server. `name` is
  // lower-case letters and digits.
  std::string OtherUserDatabase(const std::string& name, UserLayout layout = UserLayout::Current);

  std::filesystem::path dir;
  std::string userPath;  // a file, or the server's connection string
  std::string referencePath;
  std::string server;  // the test server, on the server's run
  std::string schema;  // this test's schema there

 private:
  std::vector<std::string> otherSchemas_;
};

// A fixture whose tests run once per engine: derive the fixture from
// PerEngine<Base>, write its tests with TEST_P and add KOLVAR_PER_ENGINE(Fixture).
// Without a test server the server's run is skipped, or fails when
// KOLVAR_REQUIRE_PG=1.
template <class Base>
class PerEngine : public Base, public ::testing::WithParamInterface<Engine> {
 protected:
  Engine engine() const override { return this->GetParam(); }
};

std::string EngineName(const ::testing::TestParamInfo<Engine>& info);

#define KOLVAR_PER_ENGINE(Fixture)                                                               \
  INSTANTIATE_TEST_SUITE_P(                                                                      \
      Engines, Fixture,                                                                          \
      ::testing::Values(::kolvar::testing::Engine::Embedded, ::kolvar::testing::Engine::Server), \
      ::kolvar::testing::EngineName)

// Expects `f` to raise an Error with this number; returns it for further checks.
template <class F>
Error ExpectError(int number, F&& f) {
  try {
    f();
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), number) << e.description();
    return e;
  }
  ADD_FAILURE() << "expected error " << number;
  return Error(0, "");
}

}  // namespace kolvar::testing
