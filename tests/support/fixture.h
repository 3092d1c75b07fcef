// A fresh user and reference database in a temporary folder, per test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "kolvar/kolvar.h"

namespace kolvar::testing {

class DatabaseTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Runs one statement on the user database (selector 0) through the shared connection.
  void ExecUser(const std::string& sql);
  // The first column of the first row of a SELECT on the user database, or Null.
  Value ScalarUser(const std::string& sql);
  Value ScalarReference(const std::string& sql);
  // Every cell of a SELECT on the user database as text, "|" between columns
  // and "\n" after each row; Null shows as "NULL".
  std::string RowsUser(const std::string& sql);

  std::filesystem::path dir;
  std::string userPath;
  std::string referencePath;
};

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
