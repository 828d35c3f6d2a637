// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One HTTP session on the network library: a GET at a time, with the header lines the
// caller gives, through the proxy the caller chose. The rules of what to send and what an
// answer means live in the fetch layer; this only carries bytes and reports what
// happened. Bodies are held in memory up to a ceiling.
namespace platform {

// How requests reach the server.
enum class ProxyKind {
  kDirect,  // straight to the server; proxy variables of the environment are ignored
  kSystem,  // as the system is set up: the http_proxy, https_proxy and no_proxy variables
  kNamed,   // through the proxy named below; local addresses go straight to the server
};

struct HttpProxy {
  ProxyKind kind = ProxyKind::kSystem;
  std::string server;  // kNamed: host name or address (a scheme such as "socks5://" may lead)
  int port = 8080;     // kNamed
  // kNamed: handed to the proxy as its Basic authorization when the user is not empty.
  std::string user;
  std::string password;
};

// The longest body a request accepts unless it says otherwise.
inline constexpr size_t kDefaultMaxBodyBytes = size_t{64} * 1024 * 1024;

struct HttpRequest {
  std::string url;  // http:// or https:// only
  // Sent exactly as given, in this order, each without its line break. A line whose name
  // the library would send itself ("Accept:...") replaces the library's own. An
  // "Authorization:" line carries credentials meant for the origin of `url` alone: it goes
  // with a followed redirect only while the redirect stays on that origin.
  std::vector<std::string> headerLines;
  // Whether redirect answers are followed here (at most ten in a row). When not, a
  // redirect answer is returned as it is, with `HttpResponse::location` telling where it
  // points.
  bool followRedirects = true;
  int64_t connectTimeoutMs = 0;  // 0: the library's default
  // The longest silence of the server once connected, waiting for the answer or between
  // blocks of it; 0: no limit.
  int64_t receiveTimeoutMs = 0;
  // The longest the whole request may take, followed redirects included; 0: no limit.
  int64_t totalTimeoutMs = 0;
  size_t maxBodyBytes = kDefaultMaxBodyBytes;  // a longer (decoded) body fails the request
  // When given, setting it from any thread stops the request within about a tenth of a
  // second.
  const std::atomic<bool>* abort = nullptr;
};

enum class HttpOutcome {
  kCompleted,  // the whole answer arrived
  kFailed,     // no connection, a failed certificate check, a broken-off answer, a bad address...
  kTimedOut,   // the receive time-out or the total time-out ran out
  kTooLarge,   // the body (or the header block) passed its ceiling
  kAborted,    // the abort flag was set
};

// Which limit of the request ended it, when one did.
enum class HttpLimit {
  kNone,
  kReceiveTimeout,  // the server was silent for longer than the receive time-out
  kTotalTimeout,    // the whole request took longer than the total time-out
  kSize,            // the body or the header block passed its ceiling
  kRedirects,       // too many redirects in a row (the outcome is kFailed, without status)
};

struct HttpResponse {
  HttpOutcome outcome = HttpOutcome::kFailed;
  // The status of the answer whose header block arrived whole (the last one, when
  // redirects were followed); 0 when none did.
  int status = 0;
  std::string statusLine;  // "HTTP/1.1 200 OK", without line break; empty when status is 0
  // That answer's status line and header lines exactly as received, each with its line
  // break, and the empty line that ends them.
  std::string rawHeaders;
  std::string body;      // decoded when the server compressed it; what arrived, on failure
  std::string finalUrl;  // the address last requested (after followed redirects)
  std::string location;  // a redirect answer that was not followed: its target, made absolute
  std::string error;     // the library's description of a failure (English), for diagnostics
  HttpLimit limit = HttpLimit::kNone;
};

// Whether two web addresses share their origin: the same scheme, host (in any case) and
// port, a missing port being the scheme's own. An address that cannot be read shares no
// origin with anything.
bool SameOrigin(const std::string& first, const std::string& second);

// One session: it owns a handle of the network library that its requests reuse, with its
// open connections. Use an object from one thread at a time; separate objects share
// nothing and may run in parallel threads.
class HttpTransport {
 public:
  HttpTransport(std::string userAgent, HttpProxy proxy);
  HttpTransport(const HttpTransport&) = delete;
  HttpTransport& operator=(const HttpTransport&) = delete;
  ~HttpTransport();

  // False when the library could not give a handle; every request then fails.
  bool Ready() const;

  // Performs one GET and blocks the calling thread until it is done, failed, timed out or
  // aborted.
  HttpResponse Get(const HttpRequest& request);

 private:
  struct Handles;

  // One exchange without following a redirect; the time-outs count from `started`.
  HttpResponse GetOnce(const HttpRequest& request, std::chrono::steady_clock::time_point started);

  std::string userAgent_;
  HttpProxy proxy_;
  std::unique_ptr<Handles> handles_;
};

}  // namespace platform
