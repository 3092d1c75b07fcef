#include "serve/serve.h"

#include <httplib.h>
#include <kolvar/kolvar.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include <csignal>
#include <filesystem>
#include <iostream>
#include <thread>

#include "serve/access_guard.h"
#include "serve/api_routes.h"
#include "serve/import_jobs.h"
#include "serve/web_assets.h"

extern char** environ;

namespace kolvar::serve {

namespace {

// Connections waiting to be accepted. The HTTP library listens with room for
// only 5, and a connection beyond them waits a whole second for the kernel to
// retry it: many clients (re)connecting at once would see that second.
constexpr int kListenBacklog = 1024;

// Largest upload: a file of 100,000 lines with room to spare.
constexpr std::size_t kMaxUpload = 64 * 1024 * 1024;

// Creates the databases of a data folder (or the user database elsewhere)
// that has none.
DataPaths PrepareData(const std::string& folder, const std::string& userDb) {
  std::filesystem::create_directories(folder);
  DataPaths paths{
      userDb.empty() ? (std::filesystem::path(folder) / "kolvar-usuario.db").string() : userDb,
      (std::filesystem::path(folder) / "kolvar-referencia.db").string()};
  if (IsServerDatabase(paths.user)) {
    try {
      CreateUserDatabase(paths.user);
    } catch (const Error& e) {
      if (e.number() != 3204) throw;  // there already
    }
  } else if (!std::filesystem::exists(paths.user)) {
    CreateUserDatabase(paths.user);
  }
  if (!std::filesystem::exists(paths.reference)) CreateReferenceDatabase(paths.reference);
  return paths;
}

void ServePages(httplib::Server& server) {
  for (const auto& asset : WebAssets()) {
    const std::string path(asset.path);
    auto handler = [&asset](const httplib::Request&, httplib::Response& response) {
      response.set_content(asset.body.data(), asset.body.size(), std::string(asset.type).c_str());
      response.set_header("Cache-Control", "no-store");
    };
    server.Get(path, handler);
    if (path == "/index.html") server.Get("/", handler);
  }
}

void OpenBrowser(const std::string& url) {
  const char* argv[] = {"xdg-open", url.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdg-open", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
    std::cerr << "kolvar serve: could not start a browser (xdg-open); open the URL yourself\n";
}

// Stops the server on SIGINT or SIGTERM, taken by a thread of its own.
void StopOnSignal(httplib::Server& server) {
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  std::thread([&server, signals] {
    int taken = 0;
    sigwait(&signals, &taken);
    server.stop();
  }).detach();
}

}  // namespace

int RunServe(const ServeOptions& options) {
  const DataPaths paths = PrepareData(options.dataDir, options.userDb);
  httplib::Server server;
  StopOnSignal(server);  // before any thread starts, so that all inherit the mask
  server.new_task_queue = [] { return new httplib::ThreadPool(64); };
  server.set_payload_max_length(kMaxUpload);
  server.set_keep_alive_max_count(100);
  server.set_tcp_nodelay(true);  // headers and body go out at once, not a delayed ACK apart
  int listening = -1;
  server.set_socket_options([&listening](socket_t socket) {
    httplib::default_socket_options(socket);
    listening = socket;
  });

  const int port = options.port == 0
                       ? server.bind_to_any_port("127.0.0.1")
                       : (server.bind_to_port("127.0.0.1", options.port) ? options.port : -1);
  // Listening again on the bound socket only widens its queue.
  if (port < 0 || ::listen(listening, kListenBacklog) != 0) {
    std::cerr << "kolvar serve: cannot listen on 127.0.0.1:" << options.port << '\n';
    return 2;
  }
  const std::string token = NewAccessToken();
  AccessGuard guard(token, port);
  ApiContext context;
  context.paths = paths;
  ImportJobs jobs(context);

  server.set_pre_routing_handler([&](const httplib::Request& request, httplib::Response& response) {
    auto refusal = guard.CheckOrigin(request);
    if (!refusal && request.path.rfind("/api/", 0) == 0) refusal = guard.CheckToken(request);
    if (!refusal) return httplib::Server::HandlerResponse::Unhandled;
    SendError(response, refusal->status, refusal->message);
    return httplib::Server::HandlerResponse::Handled;
  });
  server.set_post_routing_handler([](const httplib::Request&, httplib::Response& response) {
    response.set_header("X-Content-Type-Options", "nosniff");
    response.set_header("X-Frame-Options", "DENY");
    response.set_header("Content-Security-Policy",
                        "default-src 'self'; img-src 'self' data: blob:; frame-ancestors 'none'");
  });
  server.set_error_handler([](const httplib::Request& request, httplib::Response& response) {
    if (!response.body.empty()) return;
    const std::string message = response.status == 413   ? "the request body is too large"
                                : response.status == 404 ? "no such address: " + request.path
                                                         : "the request was refused";
    SendError(response, response.status, message);
  });
  ServePages(server);
  AddSettingsRoutes(server, context);
  AddDeclarantRoutes(server, context);
  AddDeclarationRoutes(server, context);
  AddRecordRoutes(server, context);
  AddImportExportRoutes(server, context, jobs);

  const std::string url = "http://127.0.0.1:" + std::to_string(port) + "/#token=" + token;
  std::cout << "kolvar serve: " << url << std::endl;
  if (options.open) OpenBrowser(url);

  server.listen_after_bind();
  return 0;
}

}  // namespace kolvar::serve
