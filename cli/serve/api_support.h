// What every API handler shares: the data paths, one lock around the library,
// JSON bodies in and out, and library errors turned into HTTP answers.
#pragma once

#include <httplib.h>

#include <functional>
#include <map>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>

#include "serve/fair_lock.h"
#include "serve/library_calls.h"

namespace kolvar::serve {

using json = nlohmann::json;

// Largest JSON body an API call accepts (file uploads have their own limit).
inline constexpr std::size_t kMaxJsonBody = 256 * 1024;

struct ApiContext {
  DataPaths paths;
  // The library's units of work run one at a time, in the order the requests
  // came: each write commits whole before the next call starts, whatever the
  // number of clients.
  FairLock library;
  // Which declarant each declaration seen so far belongs to (under `library`).
  std::map<std::int32_t, std::int32_t> declarantOf;
};

// A refusal with a message that the page shows.
struct ApiError {
  int status;
  std::string message;
  std::string field = {};             // the input the refusal is about, when there is one
  nlohmann::json findings = nullptr;  // the library's findings, when it refused a record
};

// Runs the handler under the library lock and answers its JSON result with
// `status`; ApiError, library errors and bad JSON become 4xx/5xx answers with
// {"error": message}.
using JsonHandler = std::function<json(const httplib::Request&)>;
httplib::Server::Handler Guarded(ApiContext& context, JsonHandler handler, int status = 200);
// The same without the lock, for handlers that take it themselves.
httplib::Server::Handler Unlocked(JsonHandler handler, int status = 200);

void SendError(httplib::Response& response, int status, const std::string& message,
               const std::string& field = {}, const nlohmann::json& findings = nullptr);

// The request body as a JSON object, or ApiError 400/413.
json JsonBody(const httplib::Request& request);
// A path parameter (httplib's matches[n]) as a key above 0, or ApiError 404.
std::int32_t KeyParam(const httplib::Request& request, int n);
// A JSON member as text ("" when missing or null; numbers as their text).
std::string TextOf(const json& object, const char* name);

}  // namespace kolvar::serve
