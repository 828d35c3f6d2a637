// SPDX-License-Identifier: MIT
// Update runs against an HTTP server inside the test process, on the plain event loop.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "UpdateRunNetworkFixture.h"
#include "UpdateRunSupport.h"
#include "fetch/UpdateTexts.h"
#include "platform/PlainEventLoop.h"
#include "settings/Credentials.h"
#include "support/LoopbackServer.h"
#include "text/Literal.h"

namespace fetch {
namespace {

using store::TTreeNodeExt;
using text::J;

constexpr const char* kLastModified = "Wed, 01 Jan 2025 00:00:00 GMT";

// A feed that answers 304 once the client sends back its Last-Modified date.
void ServeConditionalFeed(testsupport::LoopbackServer& server, const std::string& path, const std::string& body) {
  server.Routes().Get(path, [body](const httplib::Request& request, httplib::Response& response) {
    if (request.get_header_value("If-Modified-Since") == kLastModified) {
      response.status = 304;
      return;
    }
    response.set_header("Last-Modified", kLastModified);
    response.set_content(body, "application/rss+xml");
  });
}

TEST_F(UpdateRunNetwork, ConditionalGetAcrossRunsAndForcedReload) {
  ServeConditionalFeed(server, "/feed.xml", RssDocument("Feed", 3));
  server.Start();
  TTreeNodeExt* node = Channel("/feed.xml");

  FullRun();
  EXPECT_EQ(world.Run().NewItemCount(), 3);
  EXPECT_EQ(Data(node).Count(), 3u);
  EXPECT_EQ(Data(node).server, kLastModified);
  EXPECT_EQ(node->Kind(), store::kKindChannel);
  EXPECT_EQ(world.view.balloons, std::vector<std::string>{J("新着情報が 3 件あります。")});
  EXPECT_EQ(world.settings.RefreshTime, world.today);
  EXPECT_TRUE(world.store.DataModified());

  FullRun();
  EXPECT_EQ(world.Run().NewItemCount(), 0);
  EXPECT_EQ(world.view.balloons.size(), 1u);  // nothing to say the second time
  EXPECT_EQ(Data(node).server, kLastModified);

  world.keys.shift = true;  // Shift counts on the toolbar button only
  FullRun(RunSender::kMenu);
  FullRun(RunSender::kUpdateButton);
  const auto requests = RequestsFor("/feed.xml");
  ASSERT_EQ(requests.size(), 4u);
  EXPECT_EQ(requests[0].Header("If-Modified-Since"), "<none>");
  EXPECT_EQ(requests[1].Header("If-Modified-Since"), kLastModified);
  EXPECT_EQ(requests[2].Header("If-Modified-Since"), kLastModified);
  EXPECT_EQ(requests[3].Header("If-Modified-Since"), "<none>");
  EXPECT_EQ(requests[0].Header("User-Agent"), "Plover [t] (https://plover.example.org/)");
  EXPECT_EQ(world.view.tips.back(), TrayTipText("Plover", world.today));
}

TEST_F(UpdateRunNetwork, BasicAuthorizationFromTheChannel) {
  server.Routes().Get("/private.xml", [](const httplib::Request& request, httplib::Response& response) {
    if (request.get_header_value("Authorization") != "Basic dXNlcjpwYXNz") {
      response.status = 401;
      return;
    }
    response.set_content(RssDocument("Private", 1), "application/rss+xml");
  });
  server.Start();
  TTreeNodeExt* node = Channel("/private.xml");
  Data(node).authorize = settings::StoreCredential({"user", "pass"});
  FullRun();
  EXPECT_EQ(Data(node).Count(), 1u);
  EXPECT_EQ(world.Run().ErrorCount(), 0);
}

// A chain of `hops` redirects (302) that ends at a feed.
void ServeRedirectChain(testsupport::LoopbackServer& server, int status) {
  server.Routes().Get(R"(/hop/(\d+))", [&server, status](const httplib::Request& request, httplib::Response& response) {
    const int left = std::stoi(request.matches[1]);
    if (left == 0) {
      response.set_content(RssDocument("End", 2), "application/rss+xml");
      return;
    }
    response.status = status;
    response.set_header("Location", server.Url("/hop/" + std::to_string(left - 1)));
  });
}

TEST_F(UpdateRunNetwork, RedirectChainsOfFiveAreFollowedAndSixFail) {
  ServeRedirectChain(server, 302);
  server.Start();
  TTreeNodeExt* five = Channel("/hop/5");
  TTreeNodeExt* six = Channel("/hop/6");
  FullRun();
  EXPECT_EQ(Data(five).Count(), 2u);
  EXPECT_EQ(five->Kind(), store::kKindChannel);
  // A temporary move changes nothing of the channel.
  EXPECT_EQ(Data(five).Site.rdfurl, server.Url("/hop/5"));
  EXPECT_EQ(Data(six).Count(), 0u);
  EXPECT_EQ(six->Kind(), store::kKindError);
  EXPECT_EQ(ErrorLogTitles(world.store.Tree()), std::vector<std::string>{J("応答無し - /hop/6")});
  EXPECT_EQ(world.store.Tree().ErrorLogNode()->Data()->Items()[0]->desc, "too many redirects");
  EXPECT_EQ(world.view.balloons.back(),
            J("新着情報が 2 件あります。") + "\r\n\r\n" + J("更新に失敗した項目が 1 件ありました。"));
}

TEST_F(UpdateRunNetwork, PermanentMoveBecomesTheAddressOnlyWithNewItems) {
  ServeRedirectChain(server, 301);
  ServeConditionalFeed(server, "/same.xml", RssDocument("Same", 1));
  server.Routes().Get("/old-same.xml", [this](const httplib::Request&, httplib::Response& response) {
    response.status = 301;
    response.set_header("Location", server.Url("/same.xml"));
  });
  server.Start();
  TTreeNodeExt* moved = Channel("/hop/1");
  TTreeNodeExt* unchanged = Channel("/old-same.xml");
  Data(unchanged).server = kLastModified;  // the target answers 304
  FullRun();
  EXPECT_EQ(Data(moved).Site.rdfurl, server.Url("/hop/0"));
  EXPECT_EQ(Data(unchanged).Site.rdfurl, server.Url("/old-same.xml"));
  EXPECT_EQ(unchanged->Kind(), store::kKindChannel);
}

TEST_F(UpdateRunNetwork, SeeOtherFails) {
  server.Routes().Get("/other.xml", [this](const httplib::Request&, httplib::Response& response) {
    response.status = 303;
    response.set_header("Location", server.Url("/elsewhere.xml"));
  });
  server.Start();
  TTreeNodeExt* node = Channel("/other.xml");
  FullRun();
  EXPECT_EQ(node->Kind(), store::kKindError);
  EXPECT_TRUE(RequestsFor("/elsewhere.xml").empty());
}

// 404 and 410 count once a day; the seventh counted answer stops the channel, and a 200
// in between starts the count again.
TEST_F(UpdateRunNetwork, VanishedFeedsStopAfterSevenDays) {
  std::atomic<int> status{404};
  server.Routes().Get("/gone.xml", [&status](const httplib::Request&, httplib::Response& response) {
    response.status = status;
    if (status == 200) response.set_content(RssDocument("Back", 1), "application/rss+xml");
  });
  server.Start();
  TTreeNodeExt* node = Channel("/gone.xml");
  const auto runOn = [&](double day, int answer) {
    world.today = day;
    status = answer;
    FullRun();
  };
  runOn(46000.5, 404);
  runOn(46000.9, 404);  // within 24 hours of the counted one
  EXPECT_EQ(Data(node).gonecount, 1);
  runOn(46001.5, 410);
  runOn(46002.5, 200);
  EXPECT_EQ(Data(node).gonecount, 0);
  EXPECT_EQ(Data(node).gonedate, 0);
  for (int day = 0; day < 6; ++day) runOn(46003.5 + day, 404);
  EXPECT_EQ(Data(node).gonecount, 6);
  EXPECT_EQ(node->Kind(), store::kKindError);
  runOn(46009.5, 404);
  EXPECT_EQ(node->Kind(), store::kKindStopped);
  EXPECT_EQ(Data(node).gonecount, 0);
  EXPECT_EQ(Data(node).gonedate, 0);
  // A stopped channel is left alone by full runs.
  const size_t requests = RequestsFor("/gone.xml").size();
  runOn(46010.5, 200);
  EXPECT_EQ(RequestsFor("/gone.xml").size(), requests);
}

TEST_F(UpdateRunNetwork, SilentServerIsGivenUpAfterTheTimeout) {
  server.Routes().Get("/silent.xml", [this](const httplib::Request&, httplib::Response& response) {
    server.Hold(10000);
    response.set_content(RssDocument("Late", 1), "application/rss+xml");
  });
  server.Start();
  world.settings.HTTPTimeout = 1;
  TTreeNodeExt* node = Channel("/silent.xml");
  const auto started = std::chrono::steady_clock::now();
  FullRun();
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
  EXPECT_EQ(node->Kind(), store::kKindError);
  EXPECT_EQ(ErrorLogTitles(world.store.Tree()), std::vector<std::string>{J("応答無し - /silent.xml")});
  // Whichever ends it first, the worker's own receive time-out or the run's watch, says so.
  const std::string cause = world.store.Tree().ErrorLogNode()->Data()->Items()[0]->desc;
  EXPECT_TRUE(cause == "no data for 1 s" || cause == "no answer within 1 s") << cause;
}

TEST_F(UpdateRunNetwork, BrokenOffBodyFails) {
  server.Routes().Get("/broken.xml", [](const httplib::Request&, httplib::Response& response) {
    response.set_content_provider(1000, "application/xml", [](size_t, size_t, httplib::DataSink& sink) {
      sink.write("<rss>", 5);
      return false;
    });
  });
  server.Start();
  TTreeNodeExt* node = Channel("/broken.xml");
  FullRun();
  EXPECT_EQ(node->Kind(), store::kKindError);
  EXPECT_EQ(world.Run().ErrorCount(), 1);
}

TEST_F(UpdateRunNetwork, SecondClickCancelsWithoutLoggingErrors) {
  server.Routes().Get(R"(/slow/\d+)", [this](const httplib::Request&, httplib::Response& response) {
    server.Hold(10000);
    response.set_content(RssDocument("Slow", 1), "application/rss+xml");
  });
  ServeConditionalFeed(server, "/quick.xml", RssDocument("Quick", 2));
  server.Start();
  world.settings.HttpThreadMax = 2;
  TTreeNodeExt* quick = Channel("/quick.xml");
  std::vector<TTreeNodeExt*> slow;
  for (int i = 0; i < 4; ++i) slow.push_back(Channel("/slow/" + std::to_string(i)));
  RunAndWait([&] {
    world.Run().SB_NewClick(RunSender::kUpdateButton);
    EXPECT_EQ(world.view.buttonCaption, J("停止"));
    loop.StartTimer(500, platform::TimerKind::kOnce, [&] { world.Run().SB_NewClick(RunSender::kUpdateButton); });
  });
  EXPECT_EQ(world.store.Tree().ErrorLogNode(), nullptr);
  EXPECT_EQ(quick->Kind(), store::kKindChannel);
  for (TTreeNodeExt* node : slow) EXPECT_EQ(node->Kind(), store::kKindChannel);
  // The channels after the cancel were never asked for.
  EXPECT_EQ(RequestsFor("/slow/3").size(), 0u);
  EXPECT_EQ(world.view.balloons.back(),
            J("新着情報が 2 件あります。") + "\r\n" + J("ユーザーにより更新がキャンセルされました。"));
  EXPECT_EQ(world.view.buttonCaption, J("更新"));
  EXPECT_FALSE(world.view.locked);
  EXPECT_FALSE(world.Run().CancelRequested());
}

struct ConcurrencyCase {
  const char* name;
  int threadMax;
  bool ctrl;
  int expectedPeak;
};

class RunConcurrency : public UpdateRunNetwork, public ::testing::WithParamInterface<ConcurrencyCase> {};

// The server counts the requests it holds at once.
TEST_P(RunConcurrency, AtMostThreadMaxRequestsAtOnce) {
  std::atomic<int> inFlight{0};
  std::atomic<int> peak{0};
  server.Routes().Get(R"(/c/\d+)", [&](const httplib::Request&, httplib::Response& response) {
    const int now = ++inFlight;
    int seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
    server.Hold(150);
    --inFlight;
    response.set_content(RssDocument("C", 1), "application/rss+xml");
  });
  server.Start();
  world.settings.HttpThreadMax = GetParam().threadMax;
  world.keys.ctrl = GetParam().ctrl;
  for (int i = 0; i < 7; ++i) Channel("/c/" + std::to_string(i));
  bool busyDuringRun = false;
  RunAndWait([&] {
    world.Run().SB_NewClick(RunSender::kUpdateButton);
    busyDuringRun = world.view.busy;
  });
  EXPECT_EQ(peak.load(), GetParam().expectedPeak);
  EXPECT_EQ(busyDuringRun, GetParam().ctrl);
  EXPECT_EQ(world.Run().NewItemCount(), 7);
  EXPECT_EQ(server.Requests().size(), 7u);
}

INSTANTIATE_TEST_SUITE_P(UpdateRun, RunConcurrency,
                         ::testing::Values(ConcurrencyCase{"ThreeWorkers", 3, false, 3},
                                           ConcurrencyCase{"OneWorker", 1, false, 1},
                                           ConcurrencyCase{"CtrlFetchesOneByOne", 8, true, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(UpdateRunNetwork, HtmlChannelsInLinkAndPatternMode) {
  std::string links =
      "<html><head><title>Links</title></head><body><ul>"
      "<li><a href=\"/a/1.html\">One</a></li><li><a href=\"/a/2.html\">Two</a></li></ul></body></html>";
  std::mutex pageMutex;
  server.Routes().Get("/links.html", [&](const httplib::Request&, httplib::Response& response) {
    std::lock_guard lock(pageMutex);
    response.set_content(links, "text/html");
  });
  server.Routes().Get("/pattern.html", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<html><head><title>P</title></head><body><h2>First</h2><h2>Second</h2></body></html>",
                         "text/html");
  });
  server.Start();
  TTreeNodeExt* linkChannel = Channel("/links.html");
  Data(linkChannel).htmlrss = 1;
  TTreeNodeExt* patternChannel = Channel("/pattern.html");
  Data(patternChannel).htmlrss = 1;
  Data(patternChannel).regexpr = "<h2>({title}.*?)</h2>";

  FullRun();
  // The first visit of a page only notes its links.
  EXPECT_EQ(Data(linkChannel).Count(), 0u);
  EXPECT_EQ(Data(linkChannel).Site.title, "Links");
  EXPECT_EQ(linkChannel->Kind(), store::kKindChannel);
  ASSERT_EQ(Data(patternChannel).Count(), 2u);
  EXPECT_EQ(patternChannel->Kind(), store::kKindChannel);

  {
    std::lock_guard lock(pageMutex);
    links.insert(links.find("</ul>"), "<li><a href=\"/a/3.html\">The third story of the day</a></li>");
  }
  FullRun();
  ASSERT_EQ(Data(linkChannel).Count(), 1u);
  EXPECT_EQ(Data(linkChannel).Items()[0]->title, "The third story of the day");
  EXPECT_EQ(Data(linkChannel).Items()[0]->link, server.Url("/a/3.html"));
  EXPECT_EQ(world.Run().NewItemCount(), 1);
}

TEST_F(UpdateRunNetwork, ErrorLogEntriesForDocumentsThatAreNoFeeds) {
  server.Routes().Get("/bad.xml", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<rss><channel><title>x</title></rss>", "application/xml");
  });
  server.Routes().Get("/page.xml", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<html><body>not a feed</body></html>", "application/xml");
  });
  server.Start();
  world.settings.HttpThreadMax = 1;  // the log in the order of the tree
  TTreeNodeExt* bad = Channel("/bad.xml");
  TTreeNodeExt* page = Channel("/page.xml");
  Data(page).Site.title = J("ページ");
  Data(page).Site.link = "http://example.jp/page";
  FullRun();
  EXPECT_EQ(ErrorLogTitles(world.store.Tree()),
            (std::vector<std::string>{J("XMLフォーマットが不正 - /bad.xml"), J("Feedフォーマットが不正 - ページ")}));
  const store::TSiteList& log = *world.store.Tree().ErrorLogNode()->Data();
  EXPECT_NE(log.Items()[0]->desc.find(J("エラーコード > ")), std::string::npos);
  EXPECT_NE(log.Items()[0]->desc.find(J("<br><br>内容 > \"")), std::string::npos);
  EXPECT_EQ(log.Items()[1]->desc, "");
  EXPECT_EQ(log.Items()[1]->link, "http://example.jp/page");
  EXPECT_EQ(log.Items()[1]->Owner, page->Data());
  EXPECT_EQ(world.store.Tree().ErrorLogNode()->UnreadTotal(), 2);
  EXPECT_EQ(bad->Kind(), store::kKindError);
  EXPECT_EQ(page->Kind(), store::kKindError);
  // The next fetch of a document that failed is unconditional.
  EXPECT_EQ(Data(bad).server, "");
}

// A timer run fetches only the channels that are due, and tries the failed ones once more.
TEST_F(UpdateRunNetwork, TimerRunRetriesFailuresOnce) {
  server.Routes().Get("/fails.xml",
                      [](const httplib::Request&, httplib::Response& response) { response.status = 500; });
  ServeConditionalFeed(server, "/fine.xml", RssDocument("Fine", 1));
  server.Start();
  TTreeNodeExt* fails = Channel("/fails.xml");
  TTreeNodeExt* fine = Channel("/fine.xml");
  TTreeNodeExt* recent = Channel("/recent.xml");
  Data(recent).client = world.today - 10.0 / 1440;  // ten minutes ago; the interval is 60
  FullRun(RunSender::kTimer);
  EXPECT_EQ(RequestsFor("/fails.xml").size(), 2u);
  EXPECT_EQ(RequestsFor("/fine.xml").size(), 1u);
  EXPECT_EQ(RequestsFor("/recent.xml").size(), 0u);
  EXPECT_EQ(fails->Kind(), store::kKindError);
  EXPECT_EQ(fine->Kind(), store::kKindChannel);
  // Two entries: one per pass.
  EXPECT_EQ(ErrorLogTitles(world.store.Tree()).size(), 2u);
  // The window is visible: the list is not reloaded and the balloon says why.
  EXPECT_TRUE(world.Run().KeepList());
  EXPECT_EQ(world.view.balloons.back(), J("新着情報が 1 件あります。") + "\r\n\r\n" +
                                            J("更新に失敗した項目が 1 件ありました。") + "\r\n\r\n" +
                                            J("閲覧中の可能性がありますのでリストの再読込は行いません。"));
}

TEST_F(UpdateRunNetwork, ResumeFetchesStoppedChannelsOnly) {
  ServeConditionalFeed(server, "/a.xml", RssDocument("A", 1));
  server.Routes().Get("/b.xml", [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
  ServeConditionalFeed(server, "/c.xml", RssDocument("C", 1));
  server.Start();
  TTreeNodeExt* group = world.store.Tree().AddChild(world.store.Tree().RootNode(), "G", store::kKindGroup);
  TTreeNodeExt* a = world.AddChannel("a", server.Url("/a.xml"), group);
  TTreeNodeExt* b = world.AddChannel("b", server.Url("/b.xml"), group);
  TTreeNodeExt* c = world.AddChannel("c", server.Url("/c.xml"), group);
  world.store.Tree().SetNodeKind(a, store::kKindStopped);
  world.store.Tree().SetNodeKind(b, store::kKindStopped);
  Data(b).gonecount = 3;
  world.dialogs.Answer(true);
  RunAndWait([&] { EXPECT_TRUE(world.Run().UpdateSelection(SelectionMode::kResume, group)); });
  EXPECT_EQ(world.dialogs.shown.at(0).text, "選択されているグループ内の全てのチャンネルの購読を開始しますか？");
  EXPECT_EQ(a->Kind(), store::kKindChannel);
  EXPECT_EQ(Data(a).Count(), 1u);
  // A failed resume stays stopped; the counter was cleared by the resume and a resume
  // does not count a 404.
  EXPECT_EQ(b->Kind(), store::kKindStopped);
  EXPECT_EQ(Data(b).gonecount, 0);
  EXPECT_FALSE(world.Run().LastSelectionSucceeded());
  EXPECT_TRUE(RequestsFor("/c.xml").empty());
  EXPECT_EQ(c->Kind(), store::kKindChannel);
}

}  // namespace
}  // namespace fetch
