// Imports of uploaded files into a declaration, run beside the server's other
// work: a validation pass with progress and findings, then, on request, the
// store.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <thread>

#include "serve/api_support.h"
#include "serve/declaration_lookup.h"

namespace kolvar::serve {

class ImportJobs {
 public:
  explicit ImportJobs(ApiContext& context);
  ~ImportJobs();  // waits for running passes

  // Starts the validation pass over the file's bytes; the job's id.
  std::string Start(const Declaration& declaration, std::string bytes);
  // {"phase", "lines", "done", "findings": [...], "stored"}, or ApiError 404.
  json Status(const std::string& id);
  // Starts storing a checked file without findings, or ApiError 404/409.
  json Store(const std::string& id);

 private:
  struct Job;
  void Validate(Job& job);
  void Import(Job& job);

  ApiContext& context_;
  std::mutex mutex_;
  std::map<std::string, std::shared_ptr<Job>> jobs_;
  std::vector<std::thread> threads_;
};

// The file's lines as UTF-8: ISO-8859-1 unless the bytes are valid UTF-8;
// CR LF or LF; a last empty line or end-of-file mark dropped.
std::vector<std::string> DeclarationFileLines(const std::string& bytes);

}  // namespace kolvar::serve
