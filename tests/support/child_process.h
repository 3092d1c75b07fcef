// Work run in a child process, as a separate program run would be: its files
// are left as the process leaves them, without any closing on the way out.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>

namespace kolvar::testing {

// Runs `work(out)` in a child; returns what it wrote to `out` and its exit
// status (1 when it raised, 127 when the fork failed). The child ends with
// _exit, so nothing it opened is closed.
template <class F>
std::pair<std::string, int> RunInChild(F&& work) {
  int pipeFds[2];
  if (pipe(pipeFds) != 0) return {"", 127};
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid < 0) return {"", 127};
  if (pid == 0) {
    close(pipeFds[0]);
    std::string out;
    int status = 0;
    try {
      work(out);
    } catch (const std::exception& e) {
      out += std::string("raised: ") + e.what();
      status = 1;
    }
    for (std::size_t done = 0; done < out.size();) {
      const ssize_t n = write(pipeFds[1], out.data() + done, out.size() - done);
      if (n <= 0) break;
      done += static_cast<std::size_t>(n);
    }
    _exit(status);
  }
  close(pipeFds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t n; (n = read(pipeFds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, n);
  close(pipeFds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  return {out, WIFEXITED(status) ? WEXITSTATUS(status) : 128};
}

}  // namespace kolvar::testing
