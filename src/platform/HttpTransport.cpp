// SPDX-License-Identifier: MIT
#include "platform/HttpTransport.h"

#include <curl/curl.h>

#include <algorithm>
#include <chrono>
#include <limits>
#include <string_view>

#include "platform/Ascii.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// How long the request loop waits for the network before it looks at the abort flag and
// the receive clock again. The library alone would look only about once a second while a
// server is silent, which is too slow for a cancelled update run.
constexpr int kPollMs = 20;

// Redirects followed in a row before the request fails, when the transport follows them.
constexpr int kMaxAutomaticRedirects = 10;

// Header blocks of a request together may not grow past this: a server that sends
// headers without end must not exhaust memory. (It stays below the library's own limit,
// so that such an answer reads as too large rather than as broken.)
constexpr size_t kMaxHeaderBytes = size_t{256} * 1024;

// Local addresses never go through a named proxy. Host names without a dot are added per
// request, since the library's list cannot say "every name without a dot".
constexpr const char* kLocalAddresses = "localhost,127.0.0.0/8,::1";

// The library's process-wide set-up must happen once, before any handle exists and never
// in two threads at the same time; a function-local static gives both.
bool InitializeLibrary() {
  static const bool initialized = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
  return initialized;
}

std::string_view WithoutLineBreak(std::string_view line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  return line;
}

// The status number of a status line ("HTTP/1.1 404 Not Found", "HTTP/2 200"), or 0.
int StatusOfLine(std::string_view line) {
  const size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return 0;
  int status = 0;
  size_t digits = 0;
  for (size_t pos = blank + 1; pos < line.size() && line[pos] >= '0' && line[pos] <= '9' && digits < 3; ++pos) {
    status = status * 10 + (line[pos] - '0');
    ++digits;
  }
  return digits == 3 ? status : 0;
}

// Redirect answers the transport follows when asked to.
bool IsFollowableRedirect(int status) {
  return status >= 300 && status < 400 && status != 304;
}

// A header line that carries credentials.
bool IsCredentialLine(const std::string& line) {
  return StartsWithAsciiNoCase(line, "authorization:");
}

enum class StopReason { kNone, kAborted, kTimedOut, kDeadline };

// The state of one exchange, shared with the library's callbacks.
struct Transfer {
  const HttpRequest& request;
  HttpResponse& response;
  Clock::time_point started;  // of the whole request, followed redirects included
  Clock::time_point lastActivity = Clock::now();
  bool requestSent = false;  // the receive clock runs from here on
  bool headersComplete = false;
  bool hasLocation = false;
  bool tooLarge = false;
  size_t headerBytes = 0;
  int status = 0;
  StopReason stop = StopReason::kNone;

  void Touch() { lastActivity = Clock::now(); }

  // Whether the request must stop now; the first reason found is kept.
  StopReason CheckStop() {
    if (stop != StopReason::kNone) return stop;
    if (request.abort != nullptr && request.abort->load(std::memory_order_relaxed)) {
      stop = StopReason::kAborted;
    } else if (requestSent && request.receiveTimeoutMs > 0 &&
               Clock::now() - lastActivity > std::chrono::milliseconds(request.receiveTimeoutMs)) {
      stop = StopReason::kTimedOut;
    } else if (request.totalTimeoutMs > 0 &&
               Clock::now() - started > std::chrono::milliseconds(request.totalTimeoutMs)) {
      stop = StopReason::kDeadline;
    }
    return stop;
  }
};

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  Transfer& transfer = *static_cast<Transfer*>(user);
  const size_t length = size * count;
  transfer.Touch();
  std::string& body = transfer.response.body;
  const size_t limit = transfer.request.maxBodyBytes;
  if (length > limit || body.size() > limit - length) {
    transfer.tooLarge = true;
    return 0;  // any count other than the one given ends the request with a write error
  }
  // Grow by doubling, but never past the ceiling, so memory stays within it. (A reserve on
  // the string itself may double past the size asked for; a fresh string takes it exactly.)
  if (body.size() + length > body.capacity()) {
    std::string grown;
    grown.reserve(std::min(limit, std::max(body.size() + length, body.capacity() * 2)));
    grown.append(body);
    body.swap(grown);
  }
  body.append(data, length);
  return length;
}

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  Transfer& transfer = *static_cast<Transfer*>(user);
  const size_t length = size * count;
  const std::string_view line(data, length);
  transfer.Touch();
  transfer.headerBytes += length;
  if (transfer.headerBytes > kMaxHeaderBytes) {
    transfer.tooLarge = true;
    return 0;
  }
  HttpResponse& response = transfer.response;
  if (line.starts_with("HTTP/") && (transfer.headersComplete || response.rawHeaders.empty())) {
    // A new answer begins: an interim one, or the next hop of a followed redirect.
    response.rawHeaders.clear();
    response.statusLine = WithoutLineBreak(line);
    transfer.status = StatusOfLine(line);
    transfer.headersComplete = false;
    transfer.hasLocation = false;
  } else if (transfer.headersComplete) {
    return length;  // trailer lines after a chunked body belong to no header block
  }
  response.rawHeaders.append(line);
  if (WithoutLineBreak(line).empty()) {
    transfer.headersComplete = true;
  } else if (StartsWithAsciiNoCase(line, "location:")) {
    transfer.hasLocation = true;
  }
  return length;
}

int OnProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  return static_cast<Transfer*>(user)->CheckStop() == StopReason::kNone ? 0 : 1;
}

// Called once a connection stands (with its proxy tunnel and TLS) and the request is about
// to go out: from here on the server's silence counts against the receive time-out.
int OnRequestReady(void* user, char*, char*, int, int) {
  Transfer& transfer = *static_cast<Transfer*>(user);
  transfer.requestSent = true;
  transfer.Touch();
  return CURL_PREREQFUNC_OK;
}

// The host part of an address, as the library reads it; empty when it cannot.
std::string HostOf(const std::string& url) {
  std::string host;
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return host;
  char* part = nullptr;
  if (curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK &&
      curl_url_get(parsed, CURLUPART_HOST, &part, 0) == CURLUE_OK) {
    host = part;
    curl_free(part);
  }
  curl_url_cleanup(parsed);
  return host;
}

// The scheme, host and port of an address, as the library reads it (the port filled in
// from the scheme when the address has none); false when it cannot be read.
bool OriginOf(const std::string& url, std::string& scheme, std::string& host, std::string& port) {
  CURLU* parsed = curl_url();
  if (parsed == nullptr) return false;
  bool ok = curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK;
  for (auto [part, out] :
       {std::pair{CURLUPART_SCHEME, &scheme}, std::pair{CURLUPART_HOST, &host}, std::pair{CURLUPART_PORT, &port}}) {
    char* text = nullptr;
    ok = ok && curl_url_get(parsed, part, &text, part == CURLUPART_PORT ? CURLU_DEFAULT_PORT : 0) == CURLUE_OK;
    if (text != nullptr) {
      *out = text;
      curl_free(text);
    }
  }
  curl_url_cleanup(parsed);
  return ok;
}

std::string NoProxyList(const std::string& url) {
  std::string list = kLocalAddresses;
  const std::string host = HostOf(url);
  // An intranet name (no dot; not an IPv6 address) is local as well.
  if (!host.empty() && host.find_first_of(".:[") == std::string::npos) list += "," + host;
  return list;
}

}  // namespace

struct HttpTransport::Handles {
  CURLM* multi = nullptr;
  CURL* easy = nullptr;
  curl_slist* headers = nullptr;
  char error[CURL_ERROR_SIZE] = {};

  ~Handles() {
    if (easy != nullptr) curl_easy_cleanup(easy);
    if (multi != nullptr) curl_multi_cleanup(multi);
    curl_slist_free_all(headers);
  }

  bool Configure(const HttpRequest& request, const std::string& userAgent, const HttpProxy& proxy, Transfer& transfer);
  bool ConfigureProxy(const HttpRequest& request, const HttpProxy& proxy);
  CURLcode Run(Transfer& transfer);
  void Finish(CURLcode result, Transfer& transfer);
};

bool HttpTransport::Handles::Configure(const HttpRequest& request, const std::string& userAgent, const HttpProxy& proxy,
                                       Transfer& transfer) {
  // A reset forgets the options of the previous request but keeps the open connections.
  curl_easy_reset(easy);
  curl_slist_free_all(headers);
  headers = nullptr;
  for (const std::string& line : request.headerLines) {
    curl_slist* longer = curl_slist_append(headers, line.c_str());
    if (longer == nullptr) return false;
    headers = longer;
  }
  error[0] = '\0';
  void* data = &transfer;
  bool ok = curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, error) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_URL, request.url.c_str()) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https") == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https") == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_USERAGENT, userAgent.c_str()) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_ACCEPT_ENCODING, "") == CURLE_OK;
  // Redirects are followed by the transport itself, one exchange each, so that the rule of
  // where credentials may go is ours and does not depend on the library's version.
  ok = ok && curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_UNRESTRICTED_AUTH, 0L) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_SSL_VERIFYPEER, 1L) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_SSL_VERIFYHOST, 2L) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L) == CURLE_OK;
  // A length announced past the ceiling fails the request before any of the body is read.
  const size_t announcedLimit = std::min<size_t>(request.maxBodyBytes, std::numeric_limits<curl_off_t>::max());
  ok = ok && curl_easy_setopt(easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(announcedLimit)) == CURLE_OK;
  if (request.connectTimeoutMs > 0) {
    ok = ok &&
         curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.connectTimeoutMs)) == CURLE_OK;
  }
  ok = ok && curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_WRITEDATA, data) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_HEADERDATA, data) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_NOPROGRESS, 0L) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_XFERINFOFUNCTION, OnProgress) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_XFERINFODATA, data) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_PREREQFUNCTION, OnRequestReady) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_PREREQDATA, data) == CURLE_OK;
  return ok && ConfigureProxy(request, proxy);
}

bool HttpTransport::Handles::ConfigureProxy(const HttpRequest& request, const HttpProxy& proxy) {
  switch (proxy.kind) {
    case ProxyKind::kSystem:
      return true;  // the library reads the proxy variables of the environment by default
    case ProxyKind::kDirect:
      return curl_easy_setopt(easy, CURLOPT_PROXY, "") == CURLE_OK;
    case ProxyKind::kNamed:
      break;
  }
  // An empty proxy name would mean "no proxy" to the library; the user asked for one, so
  // nothing goes out rather than everything going around it.
  if (proxy.server.empty()) return false;
  bool ok = curl_easy_setopt(easy, CURLOPT_PROXY, proxy.server.c_str()) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_PROXYPORT, static_cast<long>(proxy.port)) == CURLE_OK;
  ok = ok && curl_easy_setopt(easy, CURLOPT_NOPROXY, NoProxyList(request.url).c_str()) == CURLE_OK;
  if (!proxy.user.empty()) {
    ok = ok && curl_easy_setopt(easy, CURLOPT_PROXYUSERNAME, proxy.user.c_str()) == CURLE_OK;
    ok = ok && curl_easy_setopt(easy, CURLOPT_PROXYPASSWORD, proxy.password.c_str()) == CURLE_OK;
  }
  return ok;
}

// Drives the request through the multi interface so that the loop wakes every few
// milliseconds to look at the abort flag and the receive clock, however silent the server.
CURLcode HttpTransport::Handles::Run(Transfer& transfer) {
  if (curl_multi_add_handle(multi, easy) != CURLM_OK) return CURLE_FAILED_INIT;
  CURLcode result = CURLE_OK;
  for (;;) {
    int running = 0;
    if (curl_multi_perform(multi, &running) != CURLM_OK) {
      result = CURLE_FAILED_INIT;
      break;
    }
    bool done = false;
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi, &queued)) {
      if (message->msg == CURLMSG_DONE && message->easy_handle == easy) {
        result = message->data.result;
        done = true;
      }
    }
    if (done) break;
    if (running == 0) {
      result = CURLE_FAILED_INIT;
      break;
    }
    if (transfer.CheckStop() != StopReason::kNone) {
      result = CURLE_ABORTED_BY_CALLBACK;
      break;
    }
    if (curl_multi_poll(multi, nullptr, 0, kPollMs, nullptr) != CURLM_OK) {
      result = CURLE_FAILED_INIT;
      break;
    }
  }
  // Taking the handle out of an unfinished transfer closes its connection.
  curl_multi_remove_handle(multi, easy);
  return result;
}

void HttpTransport::Handles::Finish(CURLcode result, Transfer& transfer) {
  HttpResponse& response = transfer.response;
  const HttpRequest& request = transfer.request;
  const bool tooLarge = transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED;
  // An answer counts once its header block is whole; one refused for its size counts as
  // soon as its status line came (a Content-Length over the ceiling is refused at once).
  int status = transfer.headersComplete || tooLarge ? transfer.status : 0;
  // A redirect that was to be followed is not an answer when it broke off.
  if (result != CURLE_OK && request.followRedirects && IsFollowableRedirect(status) && transfer.hasLocation) {
    status = 0;
  }
  response.status = status;
  if (status == 0) {
    response.statusLine.clear();
    response.rawHeaders.clear();
  }
  char* text = nullptr;
  if (curl_easy_getinfo(easy, CURLINFO_EFFECTIVE_URL, &text) == CURLE_OK && text != nullptr) response.finalUrl = text;
  text = nullptr;
  if (IsFollowableRedirect(status) && curl_easy_getinfo(easy, CURLINFO_REDIRECT_URL, &text) == CURLE_OK &&
      text != nullptr) {
    response.location = text;
  }
  if (result == CURLE_OK) {
    response.outcome = HttpOutcome::kCompleted;
    return;
  }
  response.error = error[0] != '\0' ? std::string(error) : std::string(curl_easy_strerror(result));
  if (transfer.stop == StopReason::kAborted) {
    response.outcome = HttpOutcome::kAborted;
  } else if (transfer.stop == StopReason::kTimedOut || transfer.stop == StopReason::kDeadline) {
    response.outcome = HttpOutcome::kTimedOut;
    response.limit = transfer.stop == StopReason::kDeadline ? HttpLimit::kTotalTimeout : HttpLimit::kReceiveTimeout;
  } else if (tooLarge) {
    response.outcome = HttpOutcome::kTooLarge;
    response.limit = HttpLimit::kSize;
  } else {
    response.outcome = HttpOutcome::kFailed;
  }
}

HttpTransport::HttpTransport(std::string userAgent, HttpProxy proxy)
    : userAgent_(std::move(userAgent)), proxy_(std::move(proxy)), handles_(std::make_unique<Handles>()) {
  if (!InitializeLibrary()) return;
  handles_->multi = curl_multi_init();
  handles_->easy = curl_easy_init();
}

HttpTransport::~HttpTransport() = default;

bool HttpTransport::Ready() const {
  return handles_->multi != nullptr && handles_->easy != nullptr;
}

HttpResponse HttpTransport::Get(const HttpRequest& request) {
  const Clock::time_point started = Clock::now();
  HttpRequest hop = request;
  for (int followed = 0;; ++followed) {
    HttpResponse response = GetOnce(hop, started);
    const bool redirect = request.followRedirects && response.outcome == HttpOutcome::kCompleted &&
                          IsFollowableRedirect(response.status) && !response.location.empty();
    if (!redirect) {
      if (request.followRedirects) response.location.clear();
      return response;
    }
    if (followed == kMaxAutomaticRedirects) {
      // A redirect without end is no answer at all.
      HttpResponse failed;
      failed.finalUrl = std::move(response.finalUrl);
      failed.error = "too many redirects";
      failed.limit = HttpLimit::kRedirects;
      return failed;
    }
    // Credentials belong to the origin they were given for: a redirect elsewhere goes on
    // without them, and they do not come back for a later hop either.
    if (!SameOrigin(response.location, request.url)) std::erase_if(hop.headerLines, IsCredentialLine);
    hop.url = std::move(response.location);
  }
}

HttpResponse HttpTransport::GetOnce(const HttpRequest& request, Clock::time_point started) {
  HttpResponse response;
  if (!Ready()) {
    response.error = "the network library is not initialised";
    return response;
  }
  Transfer transfer{request, response, started};
  if (transfer.CheckStop() == StopReason::kAborted) {
    response.outcome = HttpOutcome::kAborted;
    return response;
  }
  if (!handles_->Configure(request, userAgent_, proxy_, transfer)) {
    response.error = handles_->error[0] != '\0' ? handles_->error : "the request could not be set up";
    return response;
  }
  const CURLcode result = handles_->Run(transfer);
  handles_->Finish(result, transfer);
  return response;
}

bool SameOrigin(const std::string& first, const std::string& second) {
  std::string firstScheme, firstHost, firstPort, secondScheme, secondHost, secondPort;
  if (!OriginOf(first, firstScheme, firstHost, firstPort) || !OriginOf(second, secondScheme, secondHost, secondPort)) {
    return false;
  }
  return EqualsAsciiNoCase(firstScheme, secondScheme) && EqualsAsciiNoCase(firstHost, secondHost) &&
         firstPort == secondPort;
}

}  // namespace platform
