// SPDX-License-Identifier: MIT
// New channels registered from addresses a server inside the test serves: feeds, pages
// that declare feeds, failures and addresses registered already.
#include <gtest/gtest.h>

#include "UpdateRunSupport.h"
#include "fetch/ChannelRegistration.h"
#include "fetch/FeedLinks.h"
#include "fetch/HttpDocumentSource.h"
#include "fetch/UpdateTexts.h"
#include "settings/Credentials.h"
#include "support/LoopbackServer.h"
#include "support/ManualEventLoop.h"
#include "text/Literal.h"

namespace fetch {
namespace {

using store::TTreeNodeExt;

class SelectingView : public RegistrationView {
 public:
  TTreeNodeExt* SelectedNode() const override { return selected; }
  void SelectNode(TTreeNodeExt* node) override { selected = node; }
  void ReloadItemList() override { ++reloads; }
  void ShowBalloon(const std::string&, const std::string& text) override { balloons.push_back(text); }
  TTreeNodeExt* selected = nullptr;
  int reloads = 0;
  std::vector<std::string> balloons;
};

class ChannelRegistrationTest : public ::testing::Test {
 protected:
  ChannelRegistrationTest() {
    world.settings.InternetPreConfig = 0;
    server.Routes().Get("/feed.xml", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(RssDocument("Feed", 2), "application/rss+xml");
    });
    server.Routes().Get("/third.xml", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(RssDocument("Third", 1), "application/rss+xml");
    });
    server.Routes().Get("/blog/feeds/news.xml", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(RssDocument("News", 3), "application/rss+xml");
    });
    server.Routes().Get("/blog/index.html", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(
          "<html><head><title>Blog</title><!-- <link rel=\"alternate\" type=\"application/rss+xml\" "
          "href=\"/old.xml\"> --><link rel='stylesheet' href='a.css'>"
          "<LINK REL=\"Alternate\" TYPE=\"application/RSS+xml\" HREF=\"feeds/news.xml\"></head>"
          "<body><p>text</p></body></html>",
          "text/html");
    });
    server.Routes().Get("/plain.html", [](const httplib::Request&, httplib::Response& response) {
      response.set_content("<html><head><title>Plain</title></head><body>no feeds</body></html>", "text/html");
    });
    server.Routes().Get("/missing.xml",
                        [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
    server.Routes().Get("/private.xml", [](const httplib::Request& request, httplib::Response& response) {
      // "user:p@ss" in Base64.
      if (request.get_header_value("Authorization") != "Basic dXNlcjpwQHNz") {
        response.status = 401;
        return;
      }
      response.set_content(RssDocument("Private", 1), "application/rss+xml");
    });
    server.Start();
  }

  RegistrationServices Services() {
    RegistrationServices services{world.store, world.settings, world.dialogs, world.xml, processor, totals, web, view};
    services.Now = [this] { return world.today; };
    return services;
  }

  uint8_t Add(const std::vector<std::string>& addresses, TTreeNodeExt* target = nullptr) {
    formats::TDefParamType defaults;
    defaults.Present = 1;
    defaults.itemmax = 50;
    return registration.AddChannels(addresses, target != nullptr ? target : Root(), false, defaults);
  }

  TTreeNodeExt* Root() { return world.store.Tree().RootNode(); }

  size_t FeedRequests(const std::string& path) const {
    size_t count = 0;
    for (const testsupport::SeenRequest& request : server.Requests()) count += request.target == path ? 1 : 0;
    return count;
  }

  testsupport::LoopbackServer server;
  testsupport::ManualEventLoop loop;
  RunWorld world{loop};
  formats::UpdateRunTotals totals;
  HttpDocumentSource web{HttpSettings::FromSettings(world.settings, AgentKind::kMain)};
  formats::FeedProcessor processor{[this] {
    formats::FeedServices services{world.store, world.settings, world.dialogs, world.xml};
    services.Network = &web;
    services.Totals = &totals;
    services.Now = [this] { return world.today; };
    return services;
  }()};
  SelectingView view;
  ChannelRegistration registration{Services()};
};

TEST_F(ChannelRegistrationTest, APageDeclaringARelativeFeedRegistersThatFeed) {
  const uint8_t result = Add({server.Url("/blog/index.html")});
  EXPECT_EQ(result, formats::kFeedNewItems);
  ASSERT_EQ(Root()->ChildCount(), 1u);
  TTreeNodeExt* channel = Root()->FirstChild();
  EXPECT_EQ(channel->Data()->Site.rdfurl, server.Url("/blog/feeds/news.xml"));
  EXPECT_EQ(channel->Data()->itemmax, 50);
  EXPECT_EQ(channel->Data()->Count(), 3u);
  EXPECT_EQ(view.selected, channel);
  EXPECT_EQ(registration.Outcomes().at(0).address, server.Url("/blog/feeds/news.xml"));
  EXPECT_EQ(FeedRequests("/old.xml"), 0u) << "a link inside a comment is no link";
  EXPECT_TRUE(world.dialogs.shown.empty());
  ASSERT_EQ(view.balloons.size(), 1u);
  EXPECT_EQ(view.balloons[0], RunSummaryText(3, 0, 0, false, false));
}

TEST_F(ChannelRegistrationTest, AChannelTargetGetsTheNewChannelJustBeforeIt) {
  TTreeNodeExt* group = world.store.Tree().AddChild(Root(), "group", store::kKindGroup, nullptr);
  TTreeNodeExt* existing = world.AddChannel("existing", "http://example.jp/other.rdf", group);
  view.selected = existing;
  EXPECT_EQ(Add({server.Url("/feed.xml")}, existing), formats::kFeedNewItems);
  ASSERT_EQ(group->ChildCount(), 2u);
  EXPECT_EQ(group->Child(1), existing);
  EXPECT_EQ(group->Child(0)->Data()->Site.rdfurl, server.Url("/feed.xml"));
  EXPECT_EQ(view.selected, group->Child(0));
}

TEST_F(ChannelRegistrationTest, NoToTheDuplicateQuestionOnTheLastAddressRegistersNothing) {
  world.AddChannel(text::J("登録済み"), server.Url("/feed.xml"));
  world.dialogs.Answer(false);
  std::string upper = server.Url("/feed.xml");
  upper.replace(0, 4, "HTTP");
  EXPECT_EQ(Add({upper}), formats::kFeedNothingDone);
  EXPECT_EQ(Root()->ChildCount(), 1u);
  EXPECT_EQ(FeedRequests("/feed.xml"), 0u);
  ASSERT_EQ(world.dialogs.shown.size(), 1u);
  EXPECT_EQ(world.dialogs.shown[0].kind, "yesno");
  EXPECT_EQ(text::J(world.dialogs.shown[0].text), ChannelRegistration::DuplicateQuestion(upper, text::J("登録済み")));
  EXPECT_EQ(view.selected, nullptr);
}

TEST_F(ChannelRegistrationTest, DuplicatesBeforeTheLastAddressCanBeSkippedOrEndTheCall) {
  const std::string known = server.Url("/feed.xml");
  const std::string news = server.Url("/blog/feeds/news.xml");
  const std::string fresh = server.Url("/third.xml");
  world.AddChannel("known", known);
  world.AddChannel("news", news);
  // No skips the first; Cancel on the second ends the call before the third is tried.
  world.dialogs.Answer(platform::DialogAnswer::kNo);
  world.dialogs.Answer(platform::DialogAnswer::kCancel);
  EXPECT_EQ(Add({known, news, fresh}), formats::kFeedNothingDone);
  EXPECT_EQ(Root()->ChildCount(), 2u);
  EXPECT_EQ(FeedRequests("/feed.xml") + FeedRequests("/blog/feeds/news.xml") + FeedRequests("/third.xml"), 0u);
  ASSERT_EQ(registration.Outcomes().size(), 2u);
  EXPECT_TRUE(registration.Outcomes()[0].skipped && registration.Outcomes()[1].skipped);
  ASSERT_EQ(world.dialogs.shown.size(), 2u);
  EXPECT_EQ(world.dialogs.shown[0].kind, "yesnocancel");
  EXPECT_EQ(text::J(world.dialogs.shown[0].text), ChannelRegistration::DuplicateQuestion(known, "known"));
  EXPECT_EQ(text::J(world.dialogs.shown[1].text), ChannelRegistration::DuplicateQuestion(news, "news"));

  // No skips only its own address: Yes on the second registers it once more, and the
  // third, which nobody has, is registered without a question.
  world.dialogs.Answer(platform::DialogAnswer::kNo);
  world.dialogs.Answer(platform::DialogAnswer::kYes);
  EXPECT_EQ(Add({known, news, fresh}), formats::kFeedNewItems);
  EXPECT_EQ(Root()->ChildCount(), 4u);
  EXPECT_EQ(FeedRequests("/feed.xml"), 0u);
  EXPECT_EQ(FeedRequests("/blog/feeds/news.xml"), 1u);
  EXPECT_EQ(FeedRequests("/third.xml"), 1u);
  EXPECT_EQ(world.dialogs.shown.size(), 4u);
  EXPECT_EQ(world.dialogs.UnusedAnswers(), 0u);
}

TEST_F(ChannelRegistrationTest, AFailingAddressIsLoggedAndReported) {
  const std::string missing = server.Url("/missing.xml");
  // A page without declared feeds ends with the code of its own attempt.
  EXPECT_EQ(Add({missing, server.Url("/plain.html")}), formats::kFeedNotAFeed);
  EXPECT_EQ(Root()->ChildCount(), 0u);
  EXPECT_EQ(registration.ErrorCount(), 2);
  ASSERT_EQ(world.dialogs.shown.size(), 2u);
  // The system's message first, then what the server answered, then the address.
  EXPECT_EQ(text::J(world.dialogs.shown[0].text), ErrorMessageText(7) + "\r\n404 Not Found\r\n\r\n\"" + missing + "\"");
  EXPECT_EQ(world.dialogs.shown[0].kind, "message");
  const std::vector<std::string> titles = ErrorLogTitles(world.store.Tree());
  ASSERT_EQ(titles.size(), 2u);
  EXPECT_EQ(titles[0], ErrorTitlePrefix(7) + text::J(" - 不明"));
  EXPECT_EQ(titles[1], ErrorTitlePrefix(9) + text::J(" - 不明"));
  // Without a channel, the entries keep the address that failed, and the cause.
  const store::TSiteList& log = *world.store.Tree().ErrorLogNode()->Data();
  EXPECT_EQ(log.Items()[0]->link, missing);
  EXPECT_EQ(log.Items()[0]->desc, "404 Not Found");
  EXPECT_EQ(log.Items()[1]->link, server.Url("/plain.html"));
  EXPECT_EQ(registration.Outcomes()[0].cause, "404 Not Found");
  ASSERT_EQ(view.balloons.size(), 1u);
  EXPECT_EQ(view.balloons[0], RunSummaryText(0, 0, 2, false, false));
}

// A user name and password written into an address ("%40" for "@") are taken out of it
// into the channel's credentials, scrambled as credentials always are; the form's own
// credentials go before them. No message and no log entry shows the password.
TEST_F(ChannelRegistrationTest, APasswordInTheAddressBecomesTheChannelsCredentials) {
  const std::string address = server.Url("/private.xml");
  const std::string host = address.substr(7);  // "127.0.0.1:port/private.xml"
  EXPECT_EQ(Add({"http://user:p%40ss@" + host}), formats::kFeedNewItems);
  ASSERT_EQ(Root()->ChildCount(), 1u);
  const store::TSiteList& channel = *Root()->FirstChild()->Data();
  EXPECT_EQ(channel.Site.rdfurl, address);
  EXPECT_EQ(channel.authorize, settings::StoreCredential({"user", "p@ss"}));
  EXPECT_EQ(Root()->FirstChild()->Caption(), "Private");
  EXPECT_EQ(registration.Outcomes()[0].entered, address);

  formats::TDefParamType form;
  form.Present = 1;
  form.authorize = settings::StoreCredential({"user", "p@ss"});
  EXPECT_EQ(registration.AddChannels({"http://someone:else@" + host}, Root(), true, form), formats::kFeedNewItems);
  EXPECT_EQ(Root()->FirstChild()->Data()->authorize, form.authorize);

  EXPECT_EQ(Add({"http://user:s3cr3t@" + server.Url("/missing.xml").substr(7)}), formats::kFeedFetchFailed);
  ASSERT_EQ(world.dialogs.shown.size(), 1u);
  EXPECT_EQ(text::J(world.dialogs.shown[0].text),
            ErrorReportText(formats::kFeedFetchFailed, "404 Not Found", server.Url("/missing.xml")));
  const store::TSiteRecord& entry = *world.store.Tree().ErrorLogNode()->Data()->Items()[0];
  EXPECT_EQ(entry.link, server.Url("/missing.xml"));
  for (const std::string& shown : {world.dialogs.shown[0].text, entry.title, entry.link, entry.desc}) {
    EXPECT_EQ(shown.find("s3cr3t"), std::string::npos) << shown;
  }
}

TEST_F(ChannelRegistrationTest, ShortcutsAreSkippedAndFileAddressesBecomePaths) {
  testsupport::WriteFile(world.data / "local rss.xml", RssDocument("Local", 1));
  const std::string path = world.data.Path() + "local rss.xml";
  EXPECT_EQ(Add({"/tmp/a.URL", "file://" + path}), formats::kFeedNewItems);
  ASSERT_EQ(Root()->ChildCount(), 1u);
  EXPECT_EQ(Root()->FirstChild()->Data()->Site.rdfurl, path);
  EXPECT_TRUE(registration.Outcomes()[0].skipped);
  EXPECT_EQ(ChannelRegistration::FileAddressToPath("FILE:///home/a/b.rdf"), "/home/a/b.rdf");
  EXPECT_EQ(ChannelRegistration::FileAddressToPath("http://x/file:///"), "http://x/file:///");
}

TEST(FeedLinksTest, ReadsLinkElementsOfAnyMarkup) {
  const std::vector<PageLinkElement> links = ReadPageLinkElements(
      "<script>var s = '<link rel=alternate href=x.rdf>';</script><style>a{}</style>"
      "<link rel=alternate type=application/atom+xml href=a.xml?x=1&amp;y=2>"
      "<link href=\"b>c.rdf\" type='application/rss+xml' rel=\"alternate\"/><linker href=\"no\"><link>");
  ASSERT_EQ(links.size(), 3u);
  EXPECT_EQ(links[0].href, "a.xml?x=1&y=2");
  EXPECT_EQ(links[0].type, "application/atom+xml");
  EXPECT_EQ(links[1].href, "b>c.rdf");
  // The markup is the element as the parser writes it back, not the bytes of the page.
  EXPECT_EQ(links[1].markup, "<link href=\"b&gt;c.rdf\" type=\"application/rss+xml\" rel=\"alternate\">");
  EXPECT_EQ(FindFeedLinks(links), (std::vector<std::string>{"a.xml?x=1&y=2", "b>c.rdf"}));
  // A tag the end of the page cuts off is no element, as in a browser.
  EXPECT_TRUE(ReadPageLinkElements("<link rel=\"alternate").empty());
  const std::vector<PageLinkElement> cut =
      ReadPageLinkElements("<link rel=alternate href=whole.xml><link rel=\"alternate\" href=\"hal");
  ASSERT_EQ(cut.size(), 1u);
  EXPECT_EQ(cut[0].href, "whole.xml");
}

// The page is read in the character set it names, and the texts come in code page 932.
TEST(FeedLinksTest, ReadsPagesInTheirCharacterSet) {
  const std::string sjisHref = "/\x93\xFA\x96\x7B.xml";          // "/日本.xml" in code page 932
  const std::string utf8Href = "/\xE6\x97\xA5\xE6\x9C\xAC.xml";  // the same in UTF-8
  const std::string eucHref = "/\xC6\xFC\xCB\xDC.xml";           // the same in EUC-JP
  struct Page {
    const char* name;
    std::string head;
    std::string href;
  };
  const std::vector<Page> pages{{"shift_jis label", "<meta charset=shift_jis>", sjisHref},
                                {"no label, not UTF-8", "", sjisHref},
                                {"no label, UTF-8", "", utf8Href},
                                {"euc-jp label", "<meta charset=euc-jp>", eucHref}};
  for (const auto& [name, head, href] : pages) {
    SCOPED_TRACE(name);
    const std::vector<PageLinkElement> links = ReadPageLinkElements(
        "<html><head>" + head + "<link rel=alternate type=application/rss+xml href=\"" + href + "\"></head></html>");
    ASSERT_EQ(links.size(), 1u);
    EXPECT_EQ(links[0].href, sjisHref);
    EXPECT_NE(links[0].markup.find(sjisHref), std::string::npos);
  }
}

TEST(FeedLinksTest, FindsChannelsInGroupsByAddressIgnoringCase) {
  settings::Settings settings;
  store::ChannelStore store{settings};
  store::TChannelTree& tree = store.Tree();
  TTreeNodeExt* group = tree.AddChild(tree.RootNode(), "group", store::kKindGroup, nullptr);
  auto list = std::make_unique<store::TSiteList>();
  list->Site.rdfurl = "http://Example.jp/RSS.xml";
  tree.AddChild(group, "inside", store::kKindStopped, std::move(list));
  EXPECT_EQ(FindChannelByAddress(tree.RootNode(), "http://example.jp/rss.xml"), "inside");
  EXPECT_EQ(FindChannelByAddress(tree.RootNode(), "http://example.jp/other.xml"), "");
}

}  // namespace
}  // namespace fetch
