// Imports of uploaded files into a declaration, each through the library's
// whole-file import on a thread of its own: a check (findings by line,
// nothing stored), then, on request, the import of the whole file or nothing.
// Either pass can be cancelled; a cancelled pass stores nothing.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "serve/api_support.h"
#include "serve/declaration_lookup.h"

namespace kolvar::serve {

// Findings listed in a job's status; the counts go on past them.
inline constexpr std::size_t kListedFindings = 1000;

class ImportJobs {
 public:
  explicit ImportJobs(ApiContext& context);
  ~ImportJobs();  // cancels the running passes and waits for them

  // Starts checking the file's bytes; the job's id.
  std::string Start(const Declaration& declaration, const std::string& bytes);
  // {"phase", "pass", "lines", "done", "total", "findings", ...}, or ApiError 404.
  json Status(const std::string& id);
  // Starts importing a checked file without findings, or ApiError 404/409.
  json Store(const std::string& id);
  // Stops a running pass or drops a checked file; ApiError 404/409 once the
  // job has ended.
  json Cancel(const std::string& id);

 private:
  struct Job;
  std::shared_ptr<Job> Find(const std::string& id);
  void Run(const std::shared_ptr<Job>& job, bool store);

  ApiContext& context_;
  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Job>> jobs_;
  std::vector<std::thread> threads_;
};

}  // namespace kolvar::serve
