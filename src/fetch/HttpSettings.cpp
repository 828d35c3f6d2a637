// SPDX-License-Identifier: MIT
#include "fetch/HttpSettings.h"

namespace fetch {
namespace {

constexpr int64_t kDefaultTimeoutMs = 60000;
constexpr int64_t kDefaultTotalTimeoutMs = 300000;

}  // namespace

std::string UserAgentText(AgentKind kind) {
  std::string agent(kProductName);
  agent += kind == AgentKind::kMain ? " [w] (" : " [t] (";
  agent += kProductHomePage;
  agent += ")";
  return agent;
}

int64_t HttpTimeoutMs(int httpTimeoutSeconds) {
  return httpTimeoutSeconds > 0 ? int64_t{httpTimeoutSeconds} * 1000 : kDefaultTimeoutMs;
}

int64_t HttpTotalTimeoutMs(int httpTotalTimeoutSeconds) {
  return httpTotalTimeoutSeconds > 0 ? int64_t{httpTotalTimeoutSeconds} * 1000 : kDefaultTotalTimeoutMs;
}

HttpSettings HttpSettings::FromSettings(const settings::Settings& settings, AgentKind kind) {
  HttpSettings http;
  http.Proxy = ProxySettings::FromSettings(settings);
  http.UserAgent = UserAgentText(kind);
  http.ConnectTimeoutMs = HttpTimeoutMs(settings.HTTPTimeout);
  http.ReceiveTimeoutMs = http.ConnectTimeoutMs;
  http.TotalTimeoutMs = HttpTotalTimeoutMs(settings.HTTPTotalTimeout);
  return http;
}

}  // namespace fetch
