#include "serve/serve_command.h"

#include <kolvar/error.h>

#include <CLI/CLI.hpp>
#include <cstdlib>
#include <iostream>

#include "serve/serve.h"

namespace kolvar::serve {

int ServeMain(int argc, char** argv) {
  CLI::App app("Serves the web client on 127.0.0.1; open the printed URL in a browser.",
               "kolvar serve");
  ServeOptions options;
  const char* data = std::getenv("KOLVAR_DATA");
  options.dataDir = data && *data ? data : "kolvar-data";
  app.add_option("--data", options.dataDir, "folder of the two databases")->capture_default_str();
  app.add_option("--user-db", options.userDb,
                 "the user database: a file, or a postgresql:// URI or libpq connection string");
  app.add_option("--port", options.port, "port on 127.0.0.1 (0: any free port)")
      ->check(CLI::Range(0, 65535))
      ->capture_default_str();
  app.add_flag("--open", options.open, "start the browser on the URL");
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e) == 0 ? 0 : 2;
  }
  try {
    return RunServe(options);
  } catch (const Error& e) {
    std::cerr << "kolvar serve: error " << e.number() << ": " << e.description() << '\n';
  } catch (const std::exception& e) {
    std::cerr << "kolvar serve: " << e.what() << '\n';
  }
  return 2;
}

}  // namespace kolvar::serve
