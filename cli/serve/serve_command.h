// The `serve` subcommand's arguments.
#pragma once

namespace kolvar::serve {

// kolvar serve [--data DIR] [--port N] [--open]; argv[0] is "serve".
int ServeMain(int argc, char** argv);

}  // namespace kolvar::serve
