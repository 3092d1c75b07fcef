// Upload and import of a declaration file; download of the declaration file.
#include "serve/api_routes.h"
#include "serve/import_jobs.h"

namespace kolvar::serve {

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
}

}  // namespace kolvar::serve
