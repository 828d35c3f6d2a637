// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fetch/ProxySettings.h"
#include "platform/HttpTransport.h"
#include "settings/Settings.h"

namespace fetch {

inline constexpr std::string_view kProductName = "Plover";
inline constexpr std::string_view kProductHomePage = "https://plover.example.org/";

// Who sends a request: the synchronous fetches of the main thread, or a fetch worker.
// The agent texts differ in one tag so that a server's log tells them apart.
enum class AgentKind {
  kMain,    // "Plover [w] (home page)"
  kWorker,  // "Plover [t] (home page)"
};

std::string UserAgentText(AgentKind kind);

// The time-out of the HTTPTimeout setting in milliseconds: 60 seconds when it is 0 (or,
// being damaged, below 0), so that no setting means waiting for ever.
int64_t HttpTimeoutMs(int httpTimeoutSeconds);

// The longest a whole fetch may take, from the HTTPTotalTimeout setting, in milliseconds:
// 300 seconds when it is 0 or below.
int64_t HttpTotalTimeoutMs(int httpTotalTimeoutSeconds);

// Everything a session needs to make requests under the rules: where they go, how they
// introduce themselves, and how long they may take.
struct HttpSettings {
  ProxySettings Proxy;
  std::string UserAgent;
  int64_t ConnectTimeoutMs = 0;  // 0: the transport's default
  int64_t ReceiveTimeoutMs = 0;  // 0: no limit
  // The whole fetch, redirects included, however steadily the server trickles; 0: no limit.
  int64_t TotalTimeoutMs = 0;
  size_t MaxBodyBytes = platform::kDefaultMaxBodyBytes;

  // The proxy settings, the agent text of `kind`, both time-outs from HTTPTimeout and the
  // total one from HTTPTotalTimeout.
  static HttpSettings FromSettings(const settings::Settings& settings, AgentKind kind);
};

}  // namespace fetch
