// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/HttpTransport.h"
#include "settings/Settings.h"

namespace fetch {

// The process-wide proxy settings every HTTP request follows. They are copied from the
// settings when a session is made, so a worker never reads the settings record itself.
struct ProxySettings {
  int ProxyMode = 1;  // 0 direct; 1 the system's settings; anything else the named proxy
  std::string ProxyServer;
  int ProxyPort = 8080;
  std::string ProxyUser;
  std::string ProxyPassword;
  bool ProxyAddUrl = false;  // the proxy credentials go into the request address

  static ProxySettings FromSettings(const settings::Settings& settings);

  bool Named() const { return ProxyMode != 0 && ProxyMode != 1; }
};

// The address a request goes to. With the named proxy, ProxyAddUrl on and a proxy user,
// the user, ":", the password and "@" are put right after the "://" of the address
// (characters that would end those parts early are %-escaped); otherwise, and for an
// address without "://", the address is unchanged.
std::string ProxyRequestUrl(const std::string& url, const ProxySettings& proxy);

// The transport's proxy for these settings. The proxy credentials are handed to the proxy
// only in the named mode with ProxyAddUrl off; the other modes never use them.
platform::HttpProxy TransportProxy(const ProxySettings& proxy);

}  // namespace fetch
