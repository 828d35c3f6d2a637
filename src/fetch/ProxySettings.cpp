// SPDX-License-Identifier: MIT
#include "fetch/ProxySettings.h"

#include <string_view>

namespace fetch {
namespace {

// The characters that may stand as they are in the user part of an address. Everything
// else, ":" and "@" among them, is escaped so that the part ends where we mean it to.
bool IsUserInfoChar(unsigned char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::string_view("-._~!$&'()*+,;=").find(static_cast<char>(c)) != std::string_view::npos;
}

std::string EscapeUserInfo(std::string_view part) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (const char c : part) {
    const auto byte = static_cast<unsigned char>(c);
    if (IsUserInfoChar(byte)) {
      out.push_back(c);
    } else {
      out.push_back('%');
      out.push_back(kHex[byte >> 4]);
      out.push_back(kHex[byte & 0x0F]);
    }
  }
  return out;
}

}  // namespace

ProxySettings ProxySettings::FromSettings(const settings::Settings& settings) {
  ProxySettings proxy;
  proxy.ProxyMode = settings.InternetPreConfig;
  proxy.ProxyServer = settings.ProxyServer;
  proxy.ProxyPort = settings.ProxyPort;
  proxy.ProxyUser = settings.ProxySetting.User;
  proxy.ProxyPassword = settings.ProxySetting.Password;
  proxy.ProxyAddUrl = settings.ProxyAddUrl;
  return proxy;
}

std::string ProxyRequestUrl(const std::string& url, const ProxySettings& proxy) {
  if (!proxy.Named() || !proxy.ProxyAddUrl || proxy.ProxyUser.empty()) return url;
  const size_t scheme = url.find("://");
  if (scheme == std::string::npos) return url;
  const size_t rest = scheme + 3;
  return url.substr(0, rest) + EscapeUserInfo(proxy.ProxyUser) + ":" + EscapeUserInfo(proxy.ProxyPassword) + "@" +
         url.substr(rest);
}

platform::HttpProxy TransportProxy(const ProxySettings& proxy) {
  platform::HttpProxy out;
  if (proxy.ProxyMode == 0) {
    out.kind = platform::ProxyKind::kDirect;
  } else if (proxy.ProxyMode == 1) {
    out.kind = platform::ProxyKind::kSystem;
  } else {
    out.kind = platform::ProxyKind::kNamed;
    out.server = proxy.ProxyServer;
    out.port = proxy.ProxyPort;
    if (!proxy.ProxyAddUrl) {
      out.user = proxy.ProxyUser;
      out.password = proxy.ProxyPassword;
    }
  }
  return out;
}

}  // namespace fetch
