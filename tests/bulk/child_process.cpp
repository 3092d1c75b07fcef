// A separate process for the tests that need one:
//   probe <db>...                     exit 0 when it can write every file at once
//   import <file> <user> <reference>  a whole-file import into declaration 7 of 2014
#include <sqlite3.h>

#include <cstring>
#include <string>

#include "kolvar/batch.h"

int main(int argc, char** argv) {
  if (argc >= 3 && std::strcmp(argv[1], "probe") == 0) {
    int failures = 0;
    for (int i = 2; i < argc; ++i) {
      sqlite3* db = nullptr;
      sqlite3_open_v2(argv[i], &db, SQLITE_OPEN_READWRITE, nullptr);
      for (const char* sql : {"BEGIN IMMEDIATE", "SELECT count(*) FROM sqlite_master",
                              "CREATE TABLE probe (x INTEGER)", "ROLLBACK"})
        failures += sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK;
      sqlite3_close(db);
    }
    return failures == 0 ? 0 : 1;
  }
  if (argc == 5 && std::strcmp(argv[1], "import") == 0) {
    const kolvar::ImportTarget target{argv[3], argv[4], 7, 2014, 12, 1};
    return kolvar::ImportFile(argv[2], target).stored > 0 ? 0 : 1;
  }
  return 2;
}
