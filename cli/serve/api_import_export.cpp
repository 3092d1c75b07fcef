// Upload and import of a declaration file; download of the declaration file.
#include "errors.h"
#include "export_command.h"
#include "serve/api_routes.h"
#include "serve/import_jobs.h"
#include "text_file.h"

namespace kolvar::serve {

namespace {

// The form-340 file of a declaration as the CLI's export writes it:
// ISO-8859-1, CR LF after every line.
std::string DeclarationFile(ApiContext& context, const Declaration& d) {
  const cli::Library library = LibraryOf(context);
  std::string bytes;
  try {
    for (const auto& line : cli::ExportLines(library, d.key, cli::Lang::es))
      bytes += cli::ToFileBytes(line, cli::Encoding::Latin1) + "\r\n";
  } catch (const cli::UsageError& e) {
    throw ApiError{422, e.what()};
  }
  return bytes;
}

}  // namespace

void AddImportExportRoutes(httplib::Server& server, ApiContext& context, ImportJobs& jobs) {
  // The body is the file itself.
  server.Post(R"(/api/declarations/(\d+)/import)",
              Unlocked(
                  [&](const httplib::Request& request) {
                    Declaration d;
                    {
                      std::lock_guard<FairLock> lock(context.library);
                      d = FindDeclaration(context, KeyParam(request, 1));
                    }
                    if (request.body.empty()) throw ApiError{400, "the file is empty"};
                    return jobs.Status(jobs.Start(d, request.body));
                  },
                  202));
  server.Get(R"(/api/imports/(\w+))", Unlocked([&](const httplib::Request& request) {
               return jobs.Status(request.matches[1]);
             }));
  server.Post(R"(/api/imports/(\w+)/store)", Unlocked([&](const httplib::Request& request) {
                return jobs.Store(request.matches[1]);
              }));
  server.Post(R"(/api/imports/(\w+)/cancel)", Unlocked([&](const httplib::Request& request) {
                return jobs.Cancel(request.matches[1]);
              }));
  server.Get(R"(/api/declarations/(\d+)/export)", [&](const httplib::Request& request,
                                                      httplib::Response& response) {
    std::string file;
    std::string name;
    // Refusals answer as JSON through the common wrapper.
    Guarded(context, [&](const httplib::Request& r) {
      const Declaration d = FindDeclaration(context, KeyParam(r, 1));
      file = DeclarationFile(context, d);
      name = file.substr(8, 9) + "_" + std::to_string(d.year) + cli::PeriodText(d) + ".340";
      return json{};
    })(request, response);
    if (response.status != 200) return;
    for (char& c : name)
      if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '_') c = '_';
    response.set_header("Content-Disposition", "attachment; filename=\"" + name + "\"");
    response.set_content(file, "application/octet-stream");
  });
}

}  // namespace kolvar::serve
