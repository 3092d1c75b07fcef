// kolvar demo: the main job from a fresh data folder to a checked export,
// each step timed.
#pragma once

#include <functional>
#include <string>

#include "session.h"

namespace kolvar::cli {

struct DemoOptions {
  long records = 2000;
  std::string folder;  // "" for a new temporary folder
};

// Prints each step through `say`; returns the exit status (0 when the export
// imports to the same records and equals the generated file).
int RunDemo(const DemoOptions& options, Lang lang,
            const std::function<void(const std::string&)>& say);

}  // namespace kolvar::cli
