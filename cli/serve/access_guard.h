// Who may talk to the local server: a page of its own origin carrying the
// access token printed at start.
#pragma once

#include <optional>
#include <string>

namespace httplib {
struct Request;
}

namespace kolvar::serve {

// 32 random bytes as hexadecimal text.
std::string NewAccessToken();

struct Refusal {
  int status;
  std::string message;
};

class AccessGuard {
 public:
  AccessGuard(std::string token, int port);
  // Every request: the Host must name this server (no other name may reach
  // it through the resolver), and an Origin or fetch site, when sent, must be
  // this server's own.
  std::optional<Refusal> CheckOrigin(const httplib::Request& request) const;
  // API requests also carry the token in the X-Kolvar-Token header.
  std::optional<Refusal> CheckToken(const httplib::Request& request) const;

 private:
  std::string token_;
  int port_;
};

}  // namespace kolvar::serve
