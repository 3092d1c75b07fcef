#include "serve/access_guard.h"

#include <httplib.h>

#include <cstdio>
#include <random>

namespace kolvar::serve {

std::string NewAccessToken() {
  std::random_device device;
  std::string token;
  for (int i = 0; i < 8; ++i) {
    char part[9];
    std::snprintf(part, sizeof part, "%08x", static_cast<unsigned>(device()));
    token += part;
  }
  return token;
}

namespace {

// Compares without stopping at the first difference.
bool SameText(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  unsigned char diff = 0;
  for (std::size_t i = 0; i < a.size(); ++i) diff |= static_cast<unsigned char>(a[i] ^ b[i]);
  return diff == 0;
}

}  // namespace

AccessGuard::AccessGuard(std::string token, int port) : token_(std::move(token)), port_(port) {}

std::optional<Refusal> AccessGuard::CheckOrigin(const httplib::Request& request) const {
  const std::string port = std::to_string(port_);
  const std::string host = request.get_header_value("Host");
  if (host != "127.0.0.1:" + port && host != "localhost:" + port)
    return Refusal{403, "unknown host: this server answers only to 127.0.0.1:" + port};
  if (request.has_header("Origin")) {
    const std::string origin = request.get_header_value("Origin");
    if (origin != "http://127.0.0.1:" + port && origin != "http://localhost:" + port)
      return Refusal{403, "requests from another origin are refused"};
  }
  const std::string site = request.get_header_value("Sec-Fetch-Site");
  if (!site.empty() && site != "same-origin" && site != "none")
    return Refusal{403, "requests from another site are refused"};
  return std::nullopt;
}

std::optional<Refusal> AccessGuard::CheckToken(const httplib::Request& request) const {
  if (!request.has_header("X-Kolvar-Token")) return Refusal{401, "the access token is missing"};
  if (!SameText(request.get_header_value("X-Kolvar-Token"), token_))
    return Refusal{403, "the access token is wrong"};
  return std::nullopt;
}

}  // namespace kolvar::serve
