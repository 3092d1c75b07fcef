#include "serve/import_jobs.h"

#include <kolvar/batch.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "import_command.h"
#include "serve/access_guard.h"
#include "serve/finding_messages.h"

namespace kolvar::serve {

namespace {

// The uploaded bytes in a file of their own (the library imports files),
// removed with the object.
class UploadedFile {
 public:
  explicit UploadedFile(const std::string& bytes) {
    std::string name = (std::filesystem::temp_directory_path() / "kolvar-upload-XXXXXX").string();
    const int fd = mkstemp(name.data());
    if (fd < 0) throw ApiError{500, "cannot keep the uploaded file"};
    path_ = name;
    std::size_t written = 0;
    while (written < bytes.size()) {
      const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
      if (n <= 0) break;
      written += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (written != bytes.size()) throw ApiError{500, "cannot keep the uploaded file"};
  }
  ~UploadedFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
  }
  UploadedFile(const UploadedFile&) = delete;
  UploadedFile& operator=(const UploadedFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

json FindingsJson(const std::vector<ImportFinding>& findings) {
  json list = json::array();
  for (const ImportFinding& f : findings) {
    if (list.size() == kListedFindings) break;
    list.push_back({{"line", f.line},
                    {"field", f.field},
                    {"position", f.position},
                    {"code", f.code},
                    {"text", f.text},
                    {"message", FindingMessages(f.code, FindingPlace::Import)}});
  }
  return list;
}

}  // namespace

struct ImportJobs::Job {
  Declaration declaration;
  std::unique_ptr<UploadedFile> file;  // gone once the file can no longer be stored
  std::atomic<bool> cancel = false;
  std::mutex mutex;                  // guards what follows, which Status reads
  std::string phase = "validating";  // validating, checked, storing, stored, cancelled, failed
  int pass = 1;                      // 1 the check, 2 the import
  std::int64_t lines = 0;            // lines done in this pass
  std::int64_t done = 0;             // bytes read over the passes of the run
  std::int64_t total = 0;
  std::int64_t stored = 0;
  std::int64_t findingCount = 0;
  std::int64_t linesWithFindings = 0;
  bool rejected = false;
  json findings = json::array();
  std::string error;
};

ImportJobs::ImportJobs(ApiContext& context) : context_(context) {}

ImportJobs::~ImportJobs() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& [id, job] : jobs_) job->cancel = true;
  }
  for (auto& t : threads_) t.join();
}

std::shared_ptr<ImportJobs::Job> ImportJobs::Find(const std::string& id) {
  std::lock_guard<std::mutex> lock(mutex_);
  const auto it = jobs_.find(id);
  if (it == jobs_.end()) throw ApiError{404, "unknown import: " + id};
  return it->second;
}

std::string ImportJobs::Start(const Declaration& declaration, const std::string& bytes) {
  auto job = std::make_shared<Job>();
  job->declaration = declaration;
  job->file = std::make_unique<UploadedFile>(bytes);
  job->total = static_cast<std::int64_t>(bytes.size());
  const std::string id = NewAccessToken().substr(0, 16);
  std::lock_guard<std::mutex> lock(mutex_);
  jobs_[id] = job;
  threads_.emplace_back([this, job] { Run(job, false); });
  return id;
}

json ImportJobs::Status(const std::string& id) {
  const std::shared_ptr<Job> job = Find(id);
  std::lock_guard<std::mutex> lock(job->mutex);
  json status{{"id", id},
              {"declaration", job->declaration.key},
              {"phase", job->phase},
              {"pass", job->pass},
              {"lines", job->lines},
              {"done", job->done},
              {"total", job->total},
              {"stored", job->stored},
              {"findingCount", job->findingCount},
              {"linesWithFindings", job->linesWithFindings},
              {"rejected", job->rejected},
              {"findings", job->findings}};
  if (!job->error.empty()) status["error"] = job->error;
  return status;
}

json ImportJobs::Store(const std::string& id) {
  const std::shared_ptr<Job> job = Find(id);
  {
    std::lock_guard<std::mutex> lock(job->mutex);
    if (job->phase != "checked" || !job->file)
      throw ApiError{409, "the file can be stored only once, after a check without findings"};
    job->phase = "storing";
    job->done = 0;
    job->total *= 2;  // the import checks every line again before it stores any
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    threads_.emplace_back([this, job] { Run(job, true); });
  }
  return Status(id);
}

json ImportJobs::Cancel(const std::string& id) {
  const std::shared_ptr<Job> job = Find(id);
  {
    std::lock_guard<std::mutex> lock(job->mutex);
    if (job->phase == "checked") {
      job->phase = "cancelled";
      job->file.reset();
    } else if (job->phase == "validating" || job->phase == "storing") {
      job->cancel = true;  // the running pass ends at its next report
    } else {
      throw ApiError{409, "the import has already ended: " + job->phase};
    }
  }
  return Status(id);
}

// One call of the library's whole-file import, alone on the library: it holds
// the user database's write lock from start to end.
void ImportJobs::Run(const std::shared_ptr<Job>& job, bool store) {
  const Declaration& d = job->declaration;
  ImportTarget target;
  target.userDatabase = context_.paths.user;
  target.referenceDatabase = context_.paths.reference;
  target.declaration = d.key;
  target.year = d.year;
  target.period = d.period;
  target.periodicity = static_cast<std::int16_t>(d.periodicity == "2" ? 2 : 1);
  kolvar::ImportOptions options = cli::LibraryImportOptions();
  options.validateOnly = !store;
  const auto progress = [&](const ImportProgress& p) {
    std::lock_guard<std::mutex> lock(job->mutex);
    job->pass = p.pass;
    job->lines = p.lines;
    job->done = (store ? (p.pass - 1) * p.bytesTotal : 0) + p.bytesRead;
    return !job->cancel;
  };
  try {
    ImportResult r;
    {
      std::lock_guard<FairLock> library(context_.library);
      r = ImportFile(job->file->path(), target, options, progress);
    }
    std::lock_guard<std::mutex> lock(job->mutex);
    job->findingCount = r.findingCount;
    job->linesWithFindings = r.linesWithFindings;
    job->rejected = r.rejected;
    job->findings = FindingsJson(r.findings);
    job->stored = r.stored;
    const bool clean = r.linesWithFindings == 0 && !r.rejected;
    job->phase = r.cancelled ? "cancelled" : store && clean ? "stored" : "checked";
    if (job->phase != "checked" || !clean) job->file.reset();
  } catch (const std::exception& e) {
    std::lock_guard<std::mutex> lock(job->mutex);
    job->error = e.what();
    job->phase = "failed";
    job->file.reset();
  }
}

}  // namespace kolvar::serve
