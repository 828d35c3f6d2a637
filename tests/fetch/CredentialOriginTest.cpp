// SPDX-License-Identifier: MIT
// Credentials go only to the origin they were given for: a redirect to another port, host
// or scheme goes on without them, whether the fetch worker follows it itself or leaves it
// to the transport, and whether the move is permanent or not.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "fetch/FetchWorkers.h"
#include "fetch/HttpDocumentSource.h"
#include "support/LoopbackServer.h"
#include "support/ManualEventLoop.h"

namespace fetch {
namespace {

using testsupport::LoopbackServer;

// "user:pass" in Base64.
constexpr const char* kUserPass = "Basic dXNlcjpwYXNz";

// Who follows the redirect.
enum class Follower {
  kWorker,           // a fetch worker of an update run, hop by hop
  kWorkerAutomatic,  // a fetch worker after a redirect without Location: the transport
  kDocumentSource,   // the synchronous source of plover-cli and registration: the transport
};

struct OriginCase {
  const char* name;
  Follower follower;
  int status;
  bool elsewhere;  // the redirect leaves the origin
};

void PrintTo(const OriginCase& test, std::ostream* out) {
  *out << test.name;
}

class CredentialOrigin : public testing::TestWithParam<OriginCase> {
 protected:
  CredentialOrigin() {
    const auto feed = [](const httplib::Request&, httplib::Response& response) {
      response.set_content("<rss/>", "application/xml");
    };
    other.Routes().Get("/feed.xml", feed);
    other.Start();
    origin.Routes().Get("/feed.xml", feed);
    origin.Routes().Get(
        R"(/redirect/(\d+)/(here|elsewhere))", [this](const httplib::Request& request, httplib::Response& response) {
          response.status = std::stoi(request.matches[1]);
          response.set_header("Location", (request.matches[2] == "here" ? origin : other).Url("/feed.xml"));
        });
    // A redirect the worker cannot read a Location from, then a plain one for the transport.
    origin.Routes().Get(
        R"(/blind/(\d+)/(here|elsewhere))", [this](const httplib::Request& request, httplib::Response& response) {
          const bool first = blindAnswered.exchange(true) == false;
          response.status = std::stoi(request.matches[1]);
          if (!first) response.set_header("Location", (request.matches[2] == "here" ? origin : other).Url("/feed.xml"));
        });
    origin.Start();
  }

  HttpSettings Settings() const {
    HttpSettings settings;
    settings.Proxy.ProxyMode = 0;
    settings.UserAgent = UserAgentText(AgentKind::kWorker);
    settings.ConnectTimeoutMs = 5000;
    settings.ReceiveTimeoutMs = 5000;
    return settings;
  }

  // Fetches `url` with the credentials and returns the document it ended with.
  std::string Fetch(Follower follower, const std::string& url) {
    if (follower == Follower::kDocumentSource) {
      HttpDocumentSource source(Settings());
      return source.FetchDocument(formats::FetchRequest{url, {}, "user:pass"}).bytes;
    }
    testsupport::ManualEventLoop loop;
    std::atomic<bool> cancel{false};
    FetchWorkers workers(loop, cancel);
    FetchJob job;
    job.Http = Settings();
    job.Url = url;
    job.Authorization = "user:pass";
    std::optional<FetchOutcome> outcome;
    workers.Start(job, [&](FetchWorkers::WorkerId, FetchOutcome result) { outcome = std::move(result); });
    loop.RunUntil([&] { return outcome.has_value(); });
    return outcome->Document ? *outcome->Document : "<no document>";
  }

  static std::vector<std::string> Authorizations(const LoopbackServer& server, const std::string& path) {
    std::vector<std::string> seen;
    for (const testsupport::SeenRequest& request : server.Requests()) {
      if (request.target == path) seen.push_back(request.Header("Authorization"));
    }
    return seen;
  }

  LoopbackServer origin;
  LoopbackServer other;
  std::atomic<bool> blindAnswered{false};
};

TEST_P(CredentialOrigin, GoOnlyToTheirOrigin) {
  const OriginCase& test = GetParam();
  const std::string where = test.elsewhere ? "elsewhere" : "here";
  const std::string path = (test.follower == Follower::kWorkerAutomatic ? "/blind/" : "/redirect/") +
                           std::to_string(test.status) + "/" + where;
  EXPECT_EQ(Fetch(test.follower, origin.Url(path)), "<rss/>");
  // The address the credentials were given for has them, every time it is asked.
  for (const std::string& seen : Authorizations(origin, path)) EXPECT_EQ(seen, kUserPass);
  if (test.elsewhere) {
    EXPECT_EQ(Authorizations(other, "/feed.xml"), std::vector<std::string>{"<none>"});
    EXPECT_TRUE(Authorizations(origin, "/feed.xml").empty());
  } else {
    EXPECT_EQ(Authorizations(origin, "/feed.xml"), std::vector<std::string>{kUserPass});
    EXPECT_TRUE(Authorizations(other, "/feed.xml").empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Redirects, CredentialOrigin,
    testing::Values(OriginCase{"WorkerTemporaryElsewhere", Follower::kWorker, 302, true},
                    OriginCase{"WorkerPermanentElsewhere", Follower::kWorker, 301, true},
                    OriginCase{"WorkerTemporaryRedirectElsewhere", Follower::kWorker, 307, true},
                    OriginCase{"WorkerTemporaryHere", Follower::kWorker, 302, false},
                    OriginCase{"WorkerPermanentHere", Follower::kWorker, 301, false},
                    OriginCase{"TransportAfterTheWorkerElsewhere", Follower::kWorkerAutomatic, 302, true},
                    OriginCase{"TransportAfterTheWorkerHere", Follower::kWorkerAutomatic, 302, false},
                    OriginCase{"DocumentSourceElsewhere", Follower::kDocumentSource, 302, true},
                    OriginCase{"DocumentSourcePermanentElsewhere", Follower::kDocumentSource, 301, true},
                    OriginCase{"DocumentSourceHere", Follower::kDocumentSource, 302, false}),
    [](const testing::TestParamInfo<OriginCase>& info) { return info.param.name; });

}  // namespace
}  // namespace fetch
