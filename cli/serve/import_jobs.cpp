#include "serve/import_jobs.h"

#include <chrono>
#include <ctime>

#include "serve/access_guard.h"
#include "serve/finding_messages.h"
#include "text_file.h"

namespace kolvar::serve {

namespace {

// Lines passed between lock releases, so that other calls interleave.
constexpr int kBatch = 200;

}  // namespace

std::vector<std::string> DeclarationFileLines(const std::string& bytes) {
  const std::string text = cli::IsValidUtf8(bytes) ? bytes : cli::Latin1ToUtf8(bytes);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  while (!lines.empty() && (lines.back().empty() || lines.back() == "\x1a")) lines.pop_back();
  return lines;
}

struct ImportJobs::Job {
  Declaration declaration;
  std::vector<std::string> lines;
  std::mutex mutex;  // guards what Status reads
  std::string phase = "validating";
  std::size_t done = 0;
  std::size_t stored = 0;
  json findings = json::array();
  std::string error;
};

ImportJobs::ImportJobs(ApiContext& context) : context_(context) {}

ImportJobs::~ImportJobs() {
  for (auto& t : threads_) t.join();
}

std::string ImportJobs::Start(const Declaration& declaration, std::string bytes) {
  auto job = std::make_shared<Job>();
  job->declaration = declaration;
  job->lines = DeclarationFileLines(bytes);
  const std::string id = NewAccessToken().substr(0, 16);
  std::lock_guard<std::mutex> lock(mutex_);
  jobs_[id] = job;
  threads_.emplace_back([this, job] { Validate(*job); });
  return id;
}

json ImportJobs::Status(const std::string& id) {
  std::shared_ptr<Job> job;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = jobs_.find(id);
    if (it == jobs_.end()) throw ApiError{404, "unknown import: " + id};
    job = it->second;
  }
  std::lock_guard<std::mutex> lock(job->mutex);
  json status{{"id", id},
              {"declaration", job->declaration.id},
              {"phase", job->phase},
              {"lines", job->lines.size()},
              {"done", job->done},
              {"stored", job->stored},
              {"findings", job->findings}};
  if (!job->error.empty()) status["error"] = job->error;
  return status;
}

json ImportJobs::Store(const std::string& id) {
  std::shared_ptr<Job> job;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = jobs_.find(id);
    if (it == jobs_.end()) throw ApiError{404, "unknown import: " + id};
    job = it->second;
  }
  {
    std::lock_guard<std::mutex> lock(job->mutex);
    if (job->phase != "checked")
      throw ApiError{409, "the file can be stored only once, after a check without findings"};
    if (!job->findings.empty()) throw ApiError{409, "the file has findings: nothing is stored"};
    job->phase = "storing";
    job->done = 0;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    threads_.emplace_back([this, job] { Import(*job); });
  }
  return Status(id);
}

namespace {

std::shared_ptr<Object> NewImport(const DataPaths& paths, const Declaration& d) {
  auto import = Service(paths, "kolvar.cImportacion");
  const int thisYear = [] {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
    gmtime_r(&now, &parts);
    return parts.tm_year + 1900;
  }();
  import->Let("Declaracion", Value(std::to_string(d.id)));
  import->Let("Ejercicio", Value(d.year));
  import->Let("Periodo", Value(static_cast<std::int16_t>(d.month)));
  import->Let("Periodicidad", Value(static_cast<std::int16_t>(d.periodicity == "2" ? 2 : 1)));
  import->Let("EjercicioMin", Value(std::int32_t{2009}));
  import->Let("EjercicioMax", Value(static_cast<std::int32_t>(thisYear + 1)));
  import->Let("Estatal", Value(false));
  return import;
}

// The entries of an import error buffer, with the line they belong to.
void AddFindings(json& findings, std::size_t line, const Value& errors) {
  if (!errors.isArray() || errors(0, 0).isEmpty()) return;
  for (std::int32_t k = 0; k <= errors.ubound(2); ++k) {
    const int code = errors(0, k).toInteger();
    findings.push_back({{"line", line},
                        {"code", code},
                        {"text", errors(1, k).isEmpty() ? "" : errors(1, k).toString()},
                        {"message", FindingMessages(code, FindingPlace::Import)}});
  }
}

}  // namespace

void ImportJobs::Validate(Job& job) {
  try {
    std::unique_lock<FairLock> library(context_.library);
    auto import = NewImport(context_.paths, job.declaration);
    json findings = json::array();
    for (std::size_t n = 0; n < job.lines.size(); ++n) {
      if (job.lines[n].rfind("1", 0) == 0) {
        std::vector<Value> args{Value(job.lines[n]), Value()};
        if (import->Call("ValidarDeclaracionDte", args).toLong() != 0)
          AddFindings(findings, n + 1, args[1]);
        break;
      }
    }
    for (std::size_t n = 0; n < job.lines.size(); ++n) {
      std::vector<Value> args{Value(job.lines[n]), Value(), Value(job.declaration.id)};
      import->Call("ValDeclaracion", args);
      const auto result = import->Get("Resultado").toLong();
      if (result == 3 || result == 5) AddFindings(findings, n + 1, args[1]);
      if ((n + 1) % kBatch == 0) {
        {
          std::lock_guard<std::mutex> lock(job.mutex);
          job.done = n + 1;
        }
        library.unlock();
        std::this_thread::yield();
        library.lock();
      }
    }
    std::lock_guard<std::mutex> lock(job.mutex);
    job.findings = std::move(findings);
    job.done = job.lines.size();
    job.phase = "checked";
  } catch (const std::exception& e) {
    std::lock_guard<std::mutex> lock(job.mutex);
    job.error = e.what();
    job.phase = "failed";
  }
}

void ImportJobs::Import(Job& job) {
  try {
    std::unique_lock<FairLock> library(context_.library);
    auto import = NewImport(context_.paths, job.declaration);
    std::size_t stored = 0;
    for (std::size_t n = 0; n < job.lines.size(); ++n) {
      std::vector<Value> args{Value(job.lines[n]), Value(), Value(job.declaration.id)};
      import->Call("importDeclarado", args);
      if (import->Get("Sujeto").toLong() == 3 && import->Get("Resultado").toLong() == 0) ++stored;
      if ((n + 1) % kBatch == 0) {
        {
          std::lock_guard<std::mutex> lock(job.mutex);
          job.done = n + 1;
          job.stored = stored;
        }
        library.unlock();
        std::this_thread::yield();
        library.lock();
      }
    }
    std::lock_guard<std::mutex> lock(job.mutex);
    job.done = job.lines.size();
    job.stored = stored;
    job.phase = "stored";
  } catch (const std::exception& e) {
    std::lock_guard<std::mutex> lock(job.mutex);
    job.error = e.what();
    job.phase = "failed";
  }
}

}  // namespace kolvar::serve
