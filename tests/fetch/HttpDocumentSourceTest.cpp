// SPDX-License-Identifier: MIT
// The synchronous document source against a server inside the test process.
#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <string>

#include "fetch/HttpDocumentSource.h"
#include "fetch/private/HttpRules.h"
#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace fetch {
namespace {

using formats::FetchRequest;
using formats::FetchResult;
using testsupport::LoopbackServer;
using Status = formats::FetchResult::Status;

constexpr char kDate[] = "Sat, 01 Jan 2000 00:00:00 GMT";

HttpSettings TestSettings() {
  HttpSettings settings;
  settings.Proxy.ProxyMode = 0;
  settings.UserAgent = UserAgentText(AgentKind::kMain);
  settings.ConnectTimeoutMs = 2000;
  settings.ReceiveTimeoutMs = 2000;
  return settings;
}

FetchRequest Request(const std::string& address, const std::string& lastModified = {},
                     const std::string& authorization = {}) {
  return FetchRequest{address, lastModified, authorization};
}

std::set<std::string> HeaderNames(const testsupport::SeenRequest& request) {
  std::set<std::string> names;
  for (const auto& [name, value] : request.headers) names.insert(name);
  return names;
}

TEST(HttpDocumentSourceTest, AConditionalRequestCarriesTheStoredDateExactly) {
  LoopbackServer server;
  server.Routes().Get("/feed", [](const httplib::Request& request, httplib::Response& response) {
    if (request.get_header_value("If-Modified-Since") == kDate) {
      response.status = 304;
      return;
    }
    response.set_header("Last-Modified", kDate);
    response.set_content("<rss/>", "application/xml");
  });
  server.Start();
  HttpDocumentSource source(TestSettings());

  const FetchResult first = source.FetchDocument(Request(server.Url("/feed")));
  EXPECT_EQ(first.status, Status::kDocument) << first.message;
  EXPECT_EQ(first.bytes, "<rss/>");
  EXPECT_EQ(first.lastModified, kDate);
  EXPECT_EQ(first.httpStatus, 200);
  EXPECT_EQ(source.Header(), "");

  const FetchResult second = source.FetchDocument(Request(server.Url("/feed"), first.lastModified));
  EXPECT_EQ(second.status, Status::kNotModified);
  EXPECT_EQ(second.lastModified, kDate);  // kept as it was sent
  EXPECT_EQ(source.StatusCode(), 304);
  EXPECT_EQ(source.Header(), BuildRequestHeaders(kDate, ""));

  // A stale date gets the document and the server's new date.
  const FetchResult third = source.FetchDocument(Request(server.Url("/feed"), "Fri, 31 Dec 1999 00:00:00 GMT"));
  EXPECT_EQ(third.status, Status::kDocument);
  EXPECT_EQ(third.lastModified, kDate);

  const auto requests = server.Requests();
  ASSERT_EQ(requests.size(), 3u);
  // Without a date and credentials nothing of ours goes out: only what the library always sends.
  EXPECT_EQ(HeaderNames(requests[0]), (std::set<std::string>{"Accept", "Accept-Encoding", "Host", "User-Agent"}));
  EXPECT_EQ(requests[0].Header("Accept"), "*/*");
  EXPECT_EQ(requests[0].Header("User-Agent"), "Plover [w] (https://plover.example.org/)");
  EXPECT_EQ(requests[1].Header("If-Modified-Since"), kDate);
  EXPECT_EQ(requests[1].Count("Accept"), 1u);  // ours replaced the library's
}

TEST(HttpDocumentSourceTest, BasicAuthorizationIsSentAndAnythingButOkFailsSilently) {
  const std::string credentials = text::J("太郎:ﾊﾟｽ");
  LoopbackServer server;
  server.Routes().Get("/private", [&](const httplib::Request& request, httplib::Response& response) {
    if (request.get_header_value("Authorization") == "Basic " + EncodeBase64(credentials)) {
      response.set_content("secret", "text/plain");
      return;
    }
    response.status = 401;
    response.set_header("WWW-Authenticate", "Basic realm=\"feeds\"");
  });
  server.Routes().Get("/error", [](const httplib::Request&, httplib::Response& response) { response.status = 500; });
  server.Start();
  HttpDocumentSource source(TestSettings());

  const FetchResult granted = source.FetchDocument(Request(server.Url("/private"), "", credentials));
  EXPECT_EQ(granted.status, Status::kDocument);
  EXPECT_EQ(granted.bytes, "secret");
  EXPECT_EQ(server.Requests().back().Count("Accept"), 1u);
  EXPECT_EQ(server.Requests().back().Count("If-Modified-Since"), 0u);

  for (const auto& [request, status] : {std::pair{Request(server.Url("/private")), 401},
                                        std::pair{Request(server.Url("/private"), "", "taro:wrong"), 401},
                                        std::pair{Request(server.Url("/error")), 500}}) {
    const FetchResult refused = source.FetchDocument(request);
    EXPECT_EQ(refused.status, Status::kFailed);
    EXPECT_EQ(refused.message, "");
    EXPECT_EQ(refused.httpStatus, status);
    EXPECT_EQ(source.StatusCode(), status);
  }
}

TEST(HttpDocumentSourceTest, RedirectsAreFollowedAndLongHeaderBlocksStillGiveTheDate) {
  LoopbackServer server;
  server.Routes().Get(
      "/moved", [](const httplib::Request&, httplib::Response& response) { response.set_redirect("/feed", 301); });
  server.Routes().Get("/feed", [](const httplib::Request&, httplib::Response& response) {
    response.set_header("X-Padding", std::string(3000, 'p'));
    response.set_header("Last-Modified", kDate);
    response.set_content("<rss/>", "application/xml");
  });
  server.Start();
  HttpDocumentSource source(TestSettings());
  const FetchResult result = source.FetchDocument(Request(server.Url("/moved")));
  EXPECT_EQ(result.status, Status::kDocument) << result.message;
  EXPECT_EQ(result.bytes, "<rss/>");
  EXPECT_EQ(result.lastModified, kDate);
  EXPECT_EQ(result.httpStatus, 200);
}

// Failures that carry a message, each from a server that misbehaves in its own way.
TEST(HttpDocumentSourceTest, FailedFetchesCarryTheirMessages) {
  LoopbackServer server;
  server.Routes().Get("/silent", [&](const httplib::Request&, httplib::Response& response) {
    server.Hold(10000);
    response.set_content("late", "text/plain");
  });
  server.Routes().Get("/broken", [](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(1000, "application/xml", [](size_t, size_t, httplib::DataSink& sink) {
      sink.write("<rss>", 5);
      return false;  // the connection is dropped 995 bytes short
    });
  });
  server.Routes().Get("/stalling", [&](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("application/xml", [&](size_t offset, httplib::DataSink& sink) {
      if (offset == 0) return sink.write("<rss>", 5);
      server.Hold(10000);
      return false;
    });
  });
  server.Start();
  const int closedPort = testsupport::ClosedPort();
  struct Case {
    std::string address;
    std::string message;
    int64_t receiveTimeoutMs;  // short where the time-out is the point, roomy elsewhere
  };
  const Case cases[] = {
      {"http://127.0.0.1:" + std::to_string(closedPort) + "/feed", OpenFailedMessage(), 2000},
      {server.Url("/silent"), OpenFailedMessage(), 300},  // given up after the receive time-out
      {server.Url("/broken"), DownloadFailedMessage(), 2000},
      {server.Url("/stalling"), DownloadFailedMessage(), 300},
      {"ftp://127.0.0.1/feed.xml", OpenFailedMessage(), 2000},  // only web addresses go out
  };
  for (const auto& [address, message, receiveTimeoutMs] : cases) {
    HttpSettings settings = TestSettings();
    settings.ReceiveTimeoutMs = receiveTimeoutMs;
    HttpDocumentSource source(settings);
    const FetchResult result = source.FetchDocument(Request(address, kDate));
    EXPECT_EQ(result.status, Status::kFailed) << address;
    EXPECT_EQ(result.message, message) << address;
    EXPECT_EQ(result.lastModified, "") << address;
  }
}

// The ceiling is a setting (64 MB unless told otherwise); a small one keeps the test quick.
TEST(HttpDocumentSourceTest, ABodyOverTheCeilingFailsWithoutBeingHeldWhole) {
  constexpr size_t kBlock = 64 * 1024;
  constexpr size_t kCeiling = 4 * 1024 * 1024;
  std::atomic<size_t> sent{0};
  LoopbackServer server;
  server.Routes().Get("/huge", [&](const httplib::Request&, httplib::Response& response) {
    response.set_chunked_content_provider("application/xml", [&](size_t offset, httplib::DataSink& sink) {
      static const std::string block(kBlock, 'x');
      if (offset >= 16 * kCeiling || !sink.write(block.data(), block.size())) return false;
      sent += block.size();
      return true;
    });
  });
  server.Start();
  HttpSettings settings = TestSettings();
  settings.MaxBodyBytes = kCeiling;
  HttpDocumentSource source(settings);
  const FetchResult result = source.FetchDocument(Request(server.Url("/huge")));
  EXPECT_EQ(result.status, Status::kFailed);
  EXPECT_EQ(result.message, DownloadFailedMessage());
  EXPECT_EQ(result.cause, "size limit 4 MiB exceeded");
  EXPECT_EQ(result.bytes, "");
  // The fetch stopped at the ceiling, long before the server ran out of blocks (what the
  // sockets' buffers took besides can be tens of megabytes on loopback).
  EXPECT_LT(sent.load(), 16 * kCeiling);
}

// A server that trickles is never silent for long, yet the whole fetch ends at the total
// time limit of the settings.
TEST(HttpDocumentSourceTest, ATricklingServerEndsAtTheTotalTimeLimit) {
  LoopbackServer server;
  server.ServeTrickle("/trickle");
  server.Start();
  settings::Settings stored;
  stored.InternetPreConfig = 0;
  stored.HTTPTotalTimeout = 1;
  HttpDocumentSource source(HttpSettings::FromSettings(stored, AgentKind::kMain));
  const FetchResult result = source.FetchDocument(Request(server.Url("/trickle")));
  EXPECT_EQ(result.status, Status::kFailed);
  EXPECT_EQ(result.message, DownloadFailedMessage());
  EXPECT_EQ(result.cause, "time limit 1 s exceeded");
  EXPECT_EQ(result.httpStatus, 200);
}

TEST(HttpDocumentSourceTest, LocalAddressesAreReadFromTheDisk) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "feed.xml", "<rss/>");
  HttpDocumentSource source(TestSettings());
  const FetchResult local = source.FetchDocument(Request(dir / "feed.xml", kDate));
  EXPECT_EQ(local.status, Status::kDocument);
  EXPECT_EQ(local.bytes, "<rss/>");
  EXPECT_EQ(source.Header(), "");
  EXPECT_EQ(source.StatusCode(), 0);
  const FetchResult missing = source.FetchDocument(Request(dir / "none.xml"));
  EXPECT_EQ(missing.status, Status::kFailed);
  EXPECT_EQ(missing.message, "");
}

}  // namespace
}  // namespace fetch
