// Client processes (kolvar_saver) saving into one user database, each into
// a declaration of its own from 100 on, and what they reported.
#pragma once

#include <spawn.h>
#include <sys/wait.h>

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "integrity/database_dump.h"
#include "support/fixture.h"

extern char** environ;

namespace kolvar::testing {

class SavingProcesses : public DatabaseTest {
 protected:
  // `mode` "save" or "copy" (see saver.cpp).
  pid_t Spawn(std::int32_t declaration, int seconds, const std::string& report,
              const char* mode = "save") {
    const std::string args[] = {
        KOLVAR_SAVER, userPath, std::to_string(declaration), std::to_string(seconds), report, mode};
    char* argv[std::size(args) + 1] = {};
    for (std::size_t i = 0; i < std::size(args); ++i) argv[i] = const_cast<char*>(args[i].c_str());
    pid_t pid = 0;
    EXPECT_EQ(posix_spawn(&pid, KOLVAR_SAVER, nullptr, nullptr, argv, environ), 0);
    return pid;
  }
  static int Wait(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
  }
  // The keys of the report's lines of one kind ("N" new, "U" changed, "C"
  // copied, "B" 3050), in order.
  static std::vector<std::int32_t> Reported(const std::string& report, const std::string& which) {
    std::ifstream in(report);
    std::vector<std::int32_t> keys;
    std::string kind;
    std::int32_t key;
    while (in >> kind >> key)
      if (kind == which) keys.push_back(key);
    return keys;
  }
  // CSDO -> CSCI of every record the processes saved (not copied); each
  // record's invoice id names its own declaration.
  std::map<std::int32_t, std::int32_t> Saved() {
    std::map<std::int32_t, std::int32_t> out;
    std::istringstream rows(
        DumpRows(userPath, "SELECT CSDO, CSCI FROM tOperadores WHERE CSCI >= 100"));
    for (std::string row; std::getline(rows, row);) {
      const auto bar = row.find('|');
      out[std::stoi(row.substr(0, bar))] = std::stoi(row.substr(bar + 1));
    }
    EXPECT_EQ(DumpRows(userPath,
                       "SELECT CSDO FROM tOperadores WHERE CSCI >= 100 AND IDFACTURA NOT LIKE "
                       "'P' || CSCI || '-%'"),
              "");
    return out;
  }
};

}  // namespace kolvar::testing
