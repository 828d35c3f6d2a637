// SPDX-License-Identifier: MIT
// The links of the headline pages that are commands, and the rule that marks a headline
// read when its link is followed from its page.
#include <gtest/gtest.h>

#include <tuple>

#include "formats/feeds/DocumentSource.h"
#include "platform/Process.h"
#include "present/HeadlineFixture.h"
#include "present/Styles.h"
#include "shell/HeadlinePageCommands.h"

namespace shell {
namespace {

// The page the pane shows, by id.
class ShownPage : public present::PageDisplay {
 public:
  void ShowSummaryPage(const present::SummaryPage& page) override { id = page.PageId; }
  bool ShowsPage(int64_t pageId) const override { return pageId != 0 && pageId == id; }
  int64_t id = 0;
};

class RecordingHost : public PageCommandsHost {
 public:
  bool ShiftHeld() const override { return shift; }
  bool CtrlHeld() const override { return false; }
  bool AltHeld() const override { return false; }
  bool ActiveViewShowsSummary() const override { return summary; }
  void SetPageImage(const std::string& name, const std::string& only, const std::string& source) override {
    images.emplace_back(name, only, source);
  }
  void OpenOptionMenu(store::TSiteRecord& item) override { option = &item; }
  void OpenAddChannel(const std::string& address) override { added.push_back(address); }
  std::vector<std::string> DiscoveredFeeds(ViewId) const override { return feeds; }

  bool shift = false;
  bool summary = true;
  std::vector<std::tuple<std::string, std::string, std::string>> images;
  store::TSiteRecord* option = nullptr;
  std::vector<std::string> added;
  std::vector<std::string> feeds;
};

class NoDocuments : public formats::DocumentSource {
 public:
  formats::FetchResult FetchDocument(const formats::FetchRequest&) override { return formats::FetchResult::Failed(); }
};

class PageCommandsTest : public present::testing::HeadlineFixture {
 protected:
  PageCommandsTest() {
    unread = Add(chanA, "http://a.example/1");
    read = Add(chanA, "http://a.example/2", store::kStateRead);
  }

  // The view-mode page of ChanA, as the pane shows it.
  void ShowViewPage() {
    settings.FormViewMode = settings::kModeView;
    settings.EvwMidokuOnly = 0;  // read headlines on the page too
    list.ShowNode(chanA, true);
    display.id = list.Page().PageId;
  }

  size_t IndexOf(const store::TSiteRecord* item) {
    const auto& entries = list.Page().PageList;
    return static_cast<size_t>(std::find(entries.begin(), entries.end(), item) - entries.begin());
  }

  store::TSiteRecord* unread = nullptr;
  store::TSiteRecord* read = nullptr;
  ShownPage display;
  RecordingHost host;
  NoDocuments web;
  present::Styles styles{settings, dialogs, web, "/nonexistent/", folder.Path()};
  present::SummaryPages pages{present::PageServices{settings, styles, display, opener, states, searchCount, dialogs,
                                                    present::PageLocations{"p/", "plover://page/system/", "s/"}}};
  formats::MediaQueue media;
  std::unique_ptr<platform::ProcessLauncher> launcher = platform::MakeProcessLauncher();
  formats::MediaHandOver handOver{folder.Path() + "programs/", folder.Path() + "appdata/", *launcher};
  HeadlinePageCommands commands{PageCommandServices{
      settings, dialogs, states, list, pages, display, media, handOver, host, {}, "plover://page/system/"}};
};

TEST_F(PageCommandsTest, TheProtectionMarkProtectsThenMakesReadAndSwitchesItsImage) {
  ShowViewPage();
  const std::string index = std::to_string(IndexOf(unread));
  const std::string check = "varnholt:hrfeed_check#" + index;
  EXPECT_TRUE(commands.HandleInternalLink(check, 1));
  EXPECT_EQ(unread->read, store::kStateProtected);
  EXPECT_TRUE(commands.HandleInternalLink(check, 1));
  EXPECT_EQ(unread->read, store::kStateRead);  // not back to unread
  ASSERT_EQ(host.images.size(), 2u);
  EXPECT_EQ(host.images[0],
            std::make_tuple("rec" + index, std::string(), std::string("plover://page/system/flag_p.gif")));
  EXPECT_EQ(std::get<2>(host.images[1]), "plover://page/system/flag_r.gif");
  EXPECT_TRUE(store.DataModified());

  // A page that has been replaced since only beeps.
  display.id = 0;
  EXPECT_TRUE(commands.HandleInternalLink(check, 1));
  EXPECT_EQ(unread->read, store::kStateRead);
  EXPECT_EQ(dialogs.beeps, 1);
}

TEST_F(PageCommandsTest, CommandsAndFeedsAreHandledEverythingElseIsLeftToTheBrowser) {
  ShowViewPage();
  EXPECT_TRUE(commands.HandleInternalLink("varnholt:hrfeed_unknown", 1));   // swallowed
  EXPECT_TRUE(commands.HandleInternalLink("varnholt:hrfeed_check#99", 1));  // out of the list: nothing
  EXPECT_TRUE(commands.HandleInternalLink("  VARNHOLT:hrfeed_option#" + std::to_string(IndexOf(read)), 1));
  EXPECT_EQ(host.option, read);
  EXPECT_EQ(commands.OptionItem(), read);
  EXPECT_TRUE(commands.HandleInternalLink("feed://example.jp/rss.xml", 1));
  EXPECT_FALSE(commands.HandleInternalLink("http://example.jp/page.html", 1));

  // A feed the page announced opens the registration, unless Shift is held.
  host.feeds = {"http://example.jp/index.rdf"};
  EXPECT_TRUE(commands.HandleInternalLink("HTTP://example.jp/index.rdf", 1));
  host.shift = true;
  EXPECT_FALSE(commands.HandleInternalLink("http://example.jp/index.rdf", 1));
  EXPECT_EQ(host.added, (std::vector<std::string>{"http://example.jp/rss.xml", "http://example.jp/index.rdf"}));
  EXPECT_EQ(unread->read, store::kStateUnread);
  EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(PageCommandsTest, FollowingTheSelectedHeadlinesLinkMarksItReadOnce) {
  list.ShowNode(chanA, false);
  size_t row = 0;
  while (list.Item(row) != unread) ++row;
  list.SelectRow(row, true);
  const int32_t unreadBefore = chanA->UnreadTotal();
  commands.LinkOpened("http://a.example/1");
  EXPECT_EQ(unread->read, store::kStateRead);
  EXPECT_EQ(chanA->UnreadTotal(), unreadBefore - 1);
  commands.LinkOpened("http://a.example/1");
  EXPECT_EQ(chanA->UnreadTotal(), unreadBefore - 1);

  // In view mode only the flag of the shown page changes; the item stays as it is.
  unread->read = store::kStateUnread;
  ShowViewPage();
  host.images.clear();
  commands.LinkOpened("http://a.example/2");
  ASSERT_EQ(host.images.size(), 1u);
  EXPECT_EQ(host.images[0], std::make_tuple("rec" + std::to_string(IndexOf(read)), std::string("flag_u.gif"),
                                            std::string("plover://page/system/flag_r.gif")));
  EXPECT_EQ(read->read, store::kStateRead);
}

}  // namespace
}  // namespace shell
