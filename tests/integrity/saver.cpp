// A client process that saves declared records into one declaration of a user
// database for a while, through the public classes, and reports on a file each
// key it got as soon as the call returned: "N key" for a new record, "U key"
// for a change of its previous one. A call that fails with 3050 (the file busy
// beyond the engine's wait, or on the server a unit of work that kept losing
// to concurrent ones after its retries) reports "B 0" and is tried again; any
// other error ends the process with a failure. With "copy", every fifth
// step duplicates the declaration instead: the copy's sequence number is the
// number of records it must hold, and its previous-declaration reference the
// source; a finished copy reports "C 0".
//   kolvar_saver <user.db> <declaration> <seconds> <report file> [copy]
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "declared/sample_records.h"
#include "kolvar/kolvar.h"

namespace {

using kolvar::Value;

Value Call(const std::shared_ptr<kolvar::Object>& obj, std::string_view method,
           std::vector<Value> args) {
  return obj->Call(method, args);
}

// The newest record of the declaration: only this process writes into it.
std::int32_t NewestKey(const std::shared_ptr<kolvar::Object>& svc, std::int32_t declaration) {
  const Value grid = Call(svc, "ObtenerDeclarados", {declaration});
  return grid(0, grid.ubound(2)).toLong();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5 && argc != 6) {
    std::fprintf(stderr, "usage: kolvar_saver <user.db> <declaration> <seconds> <report> [copy]\n");
    return 2;
  }
  const bool copies = argc == 6 && std::string(argv[5]) == "copy";
  const std::int32_t declaration = std::atoi(argv[2]);
  const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(std::atoi(argv[3]));
  const int report = open(argv[4], O_WRONLY | O_CREAT | O_APPEND, 0644);
  auto svc = kolvar::CreateObject("kolvar.cDeclarado");
  svc->Let("mdbmod", Value(argv[1]));
  svc->Let("EjercicioDestino", Value(std::int16_t{2014}));
  auto declarations = kolvar::CreateObject("kolvar.cDeclaraciones");
  declarations->Let("mdbmod", Value(argv[1]));
  const char* books[] = {"E", "R", "I", "U"};
  std::int32_t previous = 0, busy = 0;
  for (int n = 0; std::chrono::steady_clock::now() < until; ++n) {
    if (copies && n % 5 == 1) {
      try {
        const Value grid = Call(svc, "ObtenerDeclarados", {declaration});
        Call(declarations, "DuplicarDeclaracion",
             {declaration, grid.ubound(2), 2014, 1, std::int16_t{3}, "1", "", "", declaration});
        if (write(report, "C 0\n", 4) != 4) return 3;
      } catch (const kolvar::Error& e) {
        if (e.number() != kolvar::err::kLocked) throw;
      }
      continue;
    }
    Value b = kolvar::testing::SampleRecord(declaration, books[n % 4]);
    b(17) = "P" + std::to_string(declaration) + "-" + std::to_string(n);
    const bool change = previous != 0 && n % 5 == 2;
    if (change) b(1) = previous;
    try {
      Call(svc, "GuardarDeclarado", {b, false});
    } catch (const kolvar::Error& e) {
      if (e.number() != kolvar::err::kLocked) throw;
      ++busy;
      if (write(report, "B 0\n", 4) != 4) return 3;
      continue;
    }
    for (;;) {
      try {
        const std::int32_t key = change ? previous : NewestKey(svc, declaration);
        const std::string line = (change ? "U " : "N ") + std::to_string(key) + "\n";
        if (write(report, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 3;
        previous = key;
        break;
      } catch (const kolvar::Error& e) {
        if (e.number() != kolvar::err::kLocked) throw;
      }
    }
  }
  std::printf("busy %d\n", busy);
  close(report);
  return 0;
}
