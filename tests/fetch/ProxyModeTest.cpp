// SPDX-License-Identifier: MIT
// The three proxy modes, with a small proxy endpoint inside the test: it answers every
// request itself and records how the request arrived.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "fetch/HttpDocumentSource.h"
#include "fetch/private/HttpRules.h"
#include "support/LoopbackServer.h"

namespace fetch {
namespace {

using formats::FetchRequest;
using testsupport::LoopbackServer;

constexpr char kRemote[] = "http://feeds.example.com/rss?a=1";

// Sets the proxy variables of the environment for one test and puts back what was there.
class ProxyEnvironment {
 public:
  explicit ProxyEnvironment(const std::string& httpProxy) {
    for (const char* name : kNames) {
      const char* value = std::getenv(name);
      saved_[Index(name)] = value == nullptr ? std::nullopt : std::optional<std::string>(value);
      ::unsetenv(name);
    }
    ::setenv("http_proxy", httpProxy.c_str(), 1);
  }
  ~ProxyEnvironment() {
    for (const char* name : kNames) {
      const std::optional<std::string>& value = saved_[Index(name)];
      if (value) {
        ::setenv(name, value->c_str(), 1);
      } else {
        ::unsetenv(name);
      }
    }
  }

 private:
  static constexpr const char* kNames[] = {"http_proxy", "no_proxy", "NO_PROXY", "all_proxy", "ALL_PROXY"};
  static size_t Index(const char* name) {
    for (size_t i = 0; i < std::size(kNames); ++i) {
      if (std::string(kNames[i]) == name) return i;
    }
    return 0;
  }
  std::optional<std::string> saved_[std::size(kNames)];
};

class ProxyModeTest : public testing::Test {
 protected:
  void SetUp() override {
    proxy_.Routes().Get(".*", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("via proxy", "text/plain");
    });
    origin_.Routes().Get(".*", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("direct", "text/plain");
    });
    proxy_.Start();
    origin_.Start();
  }

  HttpSettings Settings(int mode, bool addUrl) const {
    HttpSettings settings;
    settings.Proxy.ProxyMode = mode;
    settings.Proxy.ProxyServer = "127.0.0.1";
    settings.Proxy.ProxyPort = proxy_.Port();
    settings.Proxy.ProxyUser = "proxy user";
    settings.Proxy.ProxyPassword = "p@ss";
    settings.Proxy.ProxyAddUrl = addUrl;
    settings.ConnectTimeoutMs = 2000;
    settings.ReceiveTimeoutMs = 2000;
    return settings;
  }

  std::string Fetch(const HttpSettings& settings, const std::string& address) {
    HttpDocumentSource source(settings);
    const formats::FetchResult result = source.FetchDocument(FetchRequest{address});
    return result.status == formats::FetchResult::Status::kDocument ? result.bytes : "<failed> " + result.message;
  }

  LoopbackServer proxy_;
  LoopbackServer origin_;
  const std::string kCredentials = "Basic " + EncodeBase64("proxy user:p@ss");
};

TEST_F(ProxyModeTest, TheNamedProxyGetsTheWholeAddressAndItsCredentials) {
  EXPECT_EQ(Fetch(Settings(2, false), kRemote), "via proxy");
  ASSERT_EQ(proxy_.Requests().size(), 1u);
  const testsupport::SeenRequest asOptions = proxy_.Requests().back();
  EXPECT_EQ(asOptions.target, kRemote);  // the absolute form of the request line
  EXPECT_EQ(asOptions.Header("Host"), "feeds.example.com");
  EXPECT_EQ(asOptions.Header("Proxy-Authorization"), kCredentials);
  EXPECT_EQ(asOptions.Count("Authorization"), 0u);

  // With ProxyAddUrl the credentials travel in the address; the library turns the user
  // part of an address into an authorization line of the request and keeps it out of the
  // request line.
  EXPECT_EQ(Fetch(Settings(2, true), kRemote), "via proxy");
  const testsupport::SeenRequest inAddress = proxy_.Requests().back();
  EXPECT_EQ(inAddress.target, kRemote);
  EXPECT_EQ(inAddress.Header("Authorization"), kCredentials);
  EXPECT_EQ(inAddress.Count("Proxy-Authorization"), 0u);
}

TEST_F(ProxyModeTest, LocalAddressesBypassTheNamedProxy) {
  for (const char* host : {"127.0.0.1", "localhost"}) {
    const std::string address = "http://" + std::string(host) + ":" + std::to_string(origin_.Port()) + "/feed";
    EXPECT_EQ(Fetch(Settings(2, false), address), "direct") << host;
  }
  EXPECT_EQ(proxy_.Requests().size(), 0u);
  EXPECT_EQ(origin_.Requests().back().Count("Proxy-Authorization"), 0u);
}

TEST_F(ProxyModeTest, SystemModeFollowsTheEnvironmentAndDirectModeIgnoresIt) {
  ProxyEnvironment environment("http://127.0.0.1:" + std::to_string(proxy_.Port()));
  EXPECT_EQ(Fetch(Settings(1, false), origin_.Url("/feed")), "via proxy");
  ASSERT_EQ(proxy_.Requests().size(), 1u);
  EXPECT_EQ(proxy_.Requests()[0].target, origin_.Url("/feed"));
  // The stored proxy credentials belong to the named proxy only.
  EXPECT_EQ(proxy_.Requests()[0].Count("Proxy-Authorization"), 0u);

  EXPECT_EQ(Fetch(Settings(0, true), origin_.Url("/feed")), "direct");
  EXPECT_EQ(proxy_.Requests().size(), 1u);
  // Nor does the direct mode put them into the address.
  EXPECT_EQ(origin_.Requests().back().Count("Authorization"), 0u);
}

}  // namespace
}  // namespace fetch
