// kolvar serve: the web client on 127.0.0.1, reached through a URL that
// carries a random access token.
#pragma once

#include <string>

namespace kolvar::serve {

struct ServeOptions {
  std::string dataDir;  // holds the user and the reference database
  std::string userDb;   // a user database elsewhere (a file or a server), else the folder's
  int port = 8340;      // 0: any free port
  bool open = false;    // start the user's browser on the URL
};

// Serves until the process is stopped; the exit status.
int RunServe(const ServeOptions& options);

}  // namespace kolvar::serve
