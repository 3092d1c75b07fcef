#include "serve/api_support.h"

#include <kolvar/error.h>

#include <charconv>

namespace kolvar::serve {

namespace {

// Library errors that mean the request's data was unusable, not that the
// server failed.
bool IsBadData(int number) {
  switch (number) {
    case err::kInvalidCall:
    case err::kOverflow:
    case err::kSubscript:
    case err::kTypeMismatch:
    case err::kInvalidNull:
    case err::kSyntax:
    case err::kTextTooLong:
    case err::kDataType:
      return true;
    default:
      return false;
  }
}

httplib::Server::Handler Wrap(ApiContext* context, JsonHandler handler, int status) {
  return [context, handler = std::move(handler), status](const httplib::Request& request,
                                                         httplib::Response& response) {
    try {
      json result;
      if (context) {
        std::lock_guard<FairLock> lock(context->library);
        result = handler(request);
      } else {
        result = handler(request);
      }
      response.status = status;
      response.set_content(result.dump(), "application/json");
    } catch (const ApiError& e) {
      SendError(response, e.status, e.message, e.field, e.findings);
    } catch (const Error& e) {
      if (e.number() == err::kNoCurrentRecord)
        SendError(response, 404, "not found: " + e.description());
      else
        SendError(response, IsBadData(e.number()) ? 422 : 500,
                  "error " + std::to_string(e.number()) + ": " + e.description());
    } catch (const json::exception& e) {
      SendError(response, 400, std::string("bad JSON: ") + e.what());
    } catch (const std::exception& e) {
      SendError(response, 500, e.what());
    }
  };
}

}  // namespace

httplib::Server::Handler Guarded(ApiContext& context, JsonHandler handler, int status) {
  return Wrap(&context, std::move(handler), status);
}

httplib::Server::Handler Unlocked(JsonHandler handler, int status) {
  return Wrap(nullptr, std::move(handler), status);
}

void SendError(httplib::Response& response, int status, const std::string& message,
               const std::string& field, const json& findings) {
  json body{{"error", message}};
  if (!field.empty()) body["field"] = field;
  if (!findings.is_null()) body["findings"] = findings;
  response.status = status;
  response.set_content(body.dump(), "application/json");
}

json JsonBody(const httplib::Request& request) {
  if (request.body.size() > kMaxJsonBody)
    throw ApiError{413,
                   "the request body is larger than " + std::to_string(kMaxJsonBody) + " bytes"};
  json body = json::parse(request.body);
  if (!body.is_object()) throw ApiError{400, "bad JSON: an object was expected"};
  return body;
}

std::int32_t KeyParam(const httplib::Request& request, int n) {
  const std::string text = request.matches[n];
  std::int32_t key = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), key);
  if (ec != std::errc() || end != text.data() + text.size() || key < 1)
    throw ApiError{404, "unknown id: " + text};
  return key;
}

std::string TextOf(const json& object, const char* name) {
  const auto it = object.find(name);
  if (it == object.end() || it->is_null()) return "";
  if (it->is_string()) return it->get<std::string>();
  if (it->is_number_integer()) return std::to_string(it->get<long long>());
  if (it->is_number()) return it->dump();
  if (it->is_boolean()) return it->get<bool>() ? "1" : "0";
  throw ApiError{400, std::string("bad JSON: ") + name + " must be text or a number"};
}

}  // namespace kolvar::serve
