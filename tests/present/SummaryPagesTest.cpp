// SPDX-License-Identifier: MIT
// The summary pages as the headline list asks for them: a selected headline, the
// messages, the view-mode pages with their control and the carry-over, paging, "Show
// All", the item's own page instead, and the clean-up of the body.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HeadlineFakes.h"
#include "PageTestSupport.h"
#include "formats/feeds/DocumentSource.h"
#include "present/HeadlineList.h"
#include "present/KeywordListQuery.h"
#include "present/Styles.h"
#include "present/SummaryPages.h"
#include "support/ManualEventLoop.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace present {
namespace {

using testing::CountOf;
using testing::M;
using text::J;

// The pane: it keeps every page it was given and tells the headline list's view which
// page it shows, as the desktop program's pane does.
class RecordingDisplay : public PageDisplay {
 public:
  explicit RecordingDisplay(testing::FakeView& view) : view_(view) {}
  void ShowSummaryPage(const SummaryPage& page) override {
    pages.push_back(page);
    view_.shownPageId = page.PageId;
    view_.showsSummary = true;
  }
  bool ShowsPage(int64_t pageId) const override { return view_.shownPageId == pageId; }
  const std::string& Last() const { return pages.back().Html; }

  std::vector<SummaryPage> pages;

 private:
  testing::FakeView& view_;
};

class CountingSearch : public store::SearchCountControl {
 public:
  void Restart() override { ++restarts; }
  int restarts = 0;
};

// A small style of the tests' own: every block says which it is.
class TinyStyle : public StyleSource {
 public:
  TinyStyle() {
    style.Name = "Tiny";
    style.DefaultMarker = M("$ITEM_DEFAULT$");
    style.SingleMarker = M("$ITEM_SINGLE$");
    style.MultiMarker = M("$ITEM_MULTI$");
    style.PageTemplate =
        M("<div>$ANCHOR_PAGE_CONTROL$</div>$ITEM_DEFAULT$$ITEM_SINGLE$$ITEM_MULTI$<i>$ITEM_TITLE$</i>");
    style.Css = "p { color: red }";
    style.HeaderBlock = M("<h2>$CHANNEL_TREE_TITLE$</h2>");
    style.DefaultBlock = M("<p class=\"d\">$ANCHOR_ITEM_TITLE$</p>");
    style.SingleBlock = M("<p class=\"s\">$ANCHOR_ITEM_TITLE$ $ANCHOR_PAGE_CONTROL$</p>");
    style.MultiBlock = M("<p class=\"m\">$ITEM_TITLE$$ANCHOR_ITEM_OPTION$</p>");
  }
  const PreparedStyle& CurrentStyle() override { return style; }
  PreparedStyle style;
};

class SummaryPagesTest : public ::testing::Test {
 protected:
  static constexpr double kNow = 38722.5;

  SummaryPagesTest() {
    settings.KidokuTime = -1;
    store::TChannelTree& tree = store.Tree();
    group = tree.AddChild(tree.RootNode(), "Group", store::kKindGroup);
    chanA = testing::AddTestChannel(store, group, "ChanA");
    chanB = testing::AddTestChannel(store, group, "ChanB");
    list.SetWindowReady(true);
    list.SetStartupFinished(true);
    pages.SetHeadlineList(&list);
  }

  store::TSiteRecord* Add(store::TTreeNodeExt* channel, const std::string& title, uint8_t read = 0,
                          double ageDays = 1) {
    return testing::AddTestItem(store, channel, title, read, kNow, ageDays);
  }
  void AddMany(store::TTreeNodeExt* channel, int count) {
    for (int i = 0; i < count; ++i) Add(channel, "item" + std::to_string(100 + i), 0, 1 + i / 100.0);
  }
  const std::string& Page() const { return display.Last(); }
  PageState& State() { return list.Page(); }

  testsupport::TempDir folder;
  settings::Settings settings;
  store::ChannelStore store{settings};
  store::ItemStateContext states{store};
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  CountingSearch searchCount;
  store::TreeEditHost editHost;
  testsupport::ManualUiLock lock;
  store::TreeEditor editor{states, dialogs, searchCount, editHost, lock};
  testing::FakeView view;
  RecordingDisplay display{view};
  testing::FakeOpener opener;
  TinyStyle tiny;
  formats::LocalFileSource files;
  Styles styles{settings, dialogs, files, "/opt/plover/", folder.Path()};
  PageLocations locations = FileLocations("/opt/plover/", "/data/");
  bool useBuiltIn = false;
  // The style source the pages read: the tiny style, or the built-in style StyleName names.
  struct Source : StyleSource {
    SummaryPagesTest& test;
    explicit Source(SummaryPagesTest& t) : test(t) {}
    const PreparedStyle& CurrentStyle() override {
      return test.useBuiltIn ? test.styles.CurrentStyle() : test.tiny.CurrentStyle();
    }
  } source{*this};
  SummaryPages pages{PageServices{settings, source, display, opener, states, searchCount, dialogs, locations, {}}};
  KeywordListQuery query{settings};
  HeadlineList list{HeadlineServices{states, editor, settings, loop, dialogs, searchCount, view, pages, opener, query,
                                     lock, [] { return kNow; }}};
  store::TTreeNodeExt* group = nullptr;
  store::TTreeNodeExt* chanA = nullptr;
  store::TTreeNodeExt* chanB = nullptr;
};

// A headline with every part a page shows, in the channel ChanA.
store::TSiteRecord* AddRichItem(store::ChannelStore& store, store::TTreeNodeExt* channel) {
  store::TSiteList& data = *channel->Data();
  data.Site.title = J("技術ニュース");
  data.Site.link = "http://example.jp/news/";
  data.Site.rdfurl = "http://example.jp/news/rss.xml";
  data.Site.imgurl = "http://example.jp/logo.png";
  data.Site.imgtitle = J("ロゴ");
  store::TSiteRecord record;
  record.title = J("新しい記事 & 話題");
  record.link = "2006/01/05/a.html";
  record.xmlbase = "http://example.jp/base/";
  record.de_cd =
      J("<p>本文<img src=\"img/a.png\"></p><style>p{}</style><script>alert(1)</script><iframe "
        "src=\"http://ads/\"></iframe>");
  record.creator = J("山田");
  record.modified = 38722 + (9 * 60 + 7) / 1440.0;
  record.commurl = "comments/a";
  record.commnum = 2;
  record.enclose = "media/a.mp3";
  return store.AddItemToChannel(data, record);
}

TEST_F(SummaryPagesTest, SelectedItemInEachBuiltInStyle) {
  useBuiltIn = true;
  AddRichItem(store, chanA);
  for (const char* name : {"Simple", "Classic"}) {
    styles.ChooseStyle(name);
    list.SelectNode(chanA);
    ASSERT_EQ(list.FocusedRow(), 0);
    const SummaryPage& shown = display.pages.back();
    EXPECT_EQ(shown.Caption, J("概要"));
    EXPECT_EQ(shown.PageId, 0);
    testing::ExpectGoldenPage(shown.Html, std::string("item_") + name + ".html");
    list.SelectNode(chanB);
  }
}

TEST_F(SummaryPagesTest, ViewModePageOfThirtyItemsInSimple) {
  useBuiltIn = true;
  settings.FormViewMode = settings::kModeView;
  loop.Advance(5000);
  AddMany(chanA, 30);
  list.SelectNode(chanA);
  ASSERT_EQ(State().PageList.size(), 30u);
  testing::ExpectGoldenPage(Page(), "view_Simple_page1.html");
  EXPECT_EQ(display.pages.back().PageId, State().PageId);
  EXPECT_EQ(CountOf(Page(), " (1/3) "), 2u);
  EXPECT_TRUE(list.SeekNextUnread(true));
  EXPECT_EQ(CountOf(Page(), " (2/3) "), 2u);
  EXPECT_TRUE(pages.PageNext(State()));
  EXPECT_EQ(CountOf(Page(), " (3/3) "), 2u);
  EXPECT_EQ(CountOf(Page(), ">Next Unread</a>"), 2u);
  EXPECT_FALSE(pages.PageNext(State()));
  EXPECT_TRUE(pages.PagePrevious(State()));
  EXPECT_EQ(CountOf(Page(), " (2/3) "), 2u);
  EXPECT_EQ(dialogs.beeps, 0);
}

TEST_F(SummaryPagesTest, ViewModeMarksShownItemsReadAndRefreshes) {
  settings.FormViewMode = settings::kModeView;
  AddMany(chanA, 30);
  list.SelectNode(chanA);
  size_t read = 0;
  for (const store::TSiteRecord* item : State().PageList) read += item->read == store::kStateRead;
  EXPECT_EQ(read, 12u);
  // The multi block fills each item with its index in the page list.
  EXPECT_NE(Page().find("varnholt:hrfeed_option#11"), std::string::npos);
  EXPECT_EQ(Page().find("varnholt:hrfeed_option#12"), std::string::npos);
  const int restarts = searchCount.restarts;
  view.panel = "(not refreshed)";
  ASSERT_TRUE(pages.PageNext(State()));
  EXPECT_NE(view.panel, "(not refreshed)");
  EXPECT_EQ(searchCount.restarts, restarts + 1);
  EXPECT_EQ(State().PageList[23]->read, store::kStateRead);
  EXPECT_EQ(State().PageList[24]->read, store::kStateUnread);
  // A page whose items are all read already changes nothing.
  ASSERT_TRUE(pages.PagePrevious(State()));
  EXPECT_EQ(searchCount.restarts, restarts + 1);
}

TEST_F(SummaryPagesTest, ErrorLogEntriesStayUnreadWithoutCheckOrOption) {
  settings.FormViewMode = settings::kModeView;
  settings.EvwMidokuOnly = 0;
  store::TTreeNodeExt* log = store.Tree().EnsureErrorLogNode();
  store::TSiteRecord entry;
  entry.title = "failure";
  entry.StatusEntry = 1;
  store::TSiteRecord* added = store.AddItemToChannel(*log->Data(), entry);
  added->Owner = chanA->Data();
  Add(chanA, "x");
  list.SelectNode(log);
  ASSERT_EQ(State().PageList.size(), 1u);
  EXPECT_NE(Page().find("<p class=\"s\">failure"), std::string::npos);  // one entry: the single block
  EXPECT_EQ(Page().find("hrfeed_option"), std::string::npos);
  EXPECT_EQ(added->read, store::kStateUnread);
}

TEST_F(SummaryPagesTest, ChannelHeadersBetweenChannelsWhenSortedByChannel) {
  settings.FormViewMode = settings::kModeView;
  settings.EvwMidokuOnly = 0;
  Add(chanA, "a1");
  Add(chanA, "a2");
  Add(chanB, "b1");
  list.SelectNode(group);
  EXPECT_EQ(CountOf(Page(), "<h2>ChanA</h2>"), 1u);
  EXPECT_EQ(CountOf(Page(), "<h2>ChanB</h2>"), 1u);
  EXPECT_LT(Page().find("<h2>ChanA</h2>"), Page().find("a1"));
  EXPECT_LT(Page().find("a2"), Page().find("<h2>ChanB</h2>"));
  // Sorted by title there are no headers.
  settings.EvwSortNum = 2;
  list.SelectNode(chanA);
  list.SelectNode(group);
  EXPECT_EQ(CountOf(Page(), "<h2>"), 0u);
}

TEST_F(SummaryPagesTest, PreviousPageOfTheNodeBeforeIsCarriedOver) {
  settings.FormViewMode = settings::kModeView;
  loop.Advance(1000);
  for (int i = 0; i < 5; ++i) Add(chanA, "a" + std::to_string(i));
  for (int i = 0; i < 3; ++i) Add(chanB, "b" + std::to_string(i));
  list.SelectNode(chanA);
  loop.Advance(1000);
  list.SelectNode(chanB);
  ASSERT_EQ(State().PageList.size(), 15u);  // five kept, padded to twelve, then three
  EXPECT_EQ(State().PageFirst, 12u);
  EXPECT_EQ(Page().find("a0"), std::string::npos);
  EXPECT_NE(Page().find("b2"), std::string::npos);
  EXPECT_NE(Page().find(" (1/1) "), std::string::npos);
  EXPECT_NE(Page().find("varnholt:hrfeed_previous"), std::string::npos);
  ASSERT_TRUE(pages.PagePrevious(State()));
  EXPECT_NE(Page().find("a4"), std::string::npos);
  EXPECT_EQ(Page().find("b0"), std::string::npos);
  EXPECT_NE(Page().find(" (0/1) "), std::string::npos);
  EXPECT_EQ(CountOf(Page(), "<p class=\"m\">"), 5u);  // empty slots show nothing
}

TEST_F(SummaryPagesTest, PagingRefusedWhenThePaneShowsAnotherPage) {
  settings.FormViewMode = settings::kModeView;
  loop.Advance(1000);
  AddMany(chanA, 30);
  list.SelectNode(chanA);
  const size_t shown = display.pages.size();
  view.shownPageId = 12345;  // the user followed a link meanwhile
  EXPECT_FALSE(pages.PageNext(State()));
  EXPECT_FALSE(pages.PagePrevious(State()));
  EXPECT_EQ(dialogs.beeps, 2);
  EXPECT_EQ(display.pages.size(), shown);
  EXPECT_EQ(State().PageStart, 0u);
}

TEST_F(SummaryPagesTest, ShowAllIgnoresTheReadFilterOnce) {
  settings.FormViewMode = settings::kModeView;
  Add(chanA, "unread1");
  Add(chanA, "read1", store::kStateRead);
  Add(chanA, "read2", store::kStateRead);
  list.SelectNode(chanA);
  EXPECT_EQ(State().PageList.size(), 1u);
  pages.ShowAllPage();
  EXPECT_EQ(State().PageList.size(), 3u);
  EXPECT_NE(Page().find("read2"), std::string::npos);
  // The last page in show-all mode offers no next unread channel.
  EXPECT_NE(Page().find(") Next Page | "), std::string::npos);
  list.ShowNode(chanA, true);
  EXPECT_EQ(State().PageList.size(), 0u);  // all read now: the filter applies again
  EXPECT_NE(Page().find(J("未読の記事はありません")), std::string::npos);
}

struct MessageCase {
  const char* name;
  int mode;
  int readFilter;
  bool stopped;
  bool root;
  const char* block;  // the block the message fills
  const char* message;
};

class MessagePages : public SummaryPagesTest, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(MessagePages, Show) {
  const MessageCase& c = GetParam();
  settings.FormViewMode = c.mode;
  settings.EvwMidokuOnly = c.readFilter;
  settings.MidokuOnly = c.readFilter;
  store::TTreeNodeExt* node = chanA;
  if (c.stopped) store.Tree().SetNodeKind(chanA, store::kKindStopped);
  Add(chanA, "old", store::kStateRead);
  if (c.root) node = store.Tree().RootNode();
  list.SelectNode(node);
  ASSERT_FALSE(display.pages.empty());
  const std::string expected =
      std::string(c.block) + "<a class=\"anchor_item_title\" href=\"varnholt:blank\">" + J(c.message) + "</a>";
  EXPECT_NE(Page().find(expected), std::string::npos) << text::SjisToUtf8(Page());
  const bool viewMode = c.mode == settings::kModeView;
  EXPECT_EQ(CountOf(Page(), "class=\"anchor_page_control\">"), viewMode ? 2u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Nodes, MessagePages,
    ::testing::Values(MessageCase{"StandardNoRows", settings::kModeStandard, 2, false, false, "<p class=\"d\">",
                                  "表示できる記事はありません"},
                      MessageCase{"StoppedChannel", settings::kModeStandard, 2, true, false, "<p class=\"d\">",
                                  "表示できる記事はありません （購読は中止されています）"},
                      MessageCase{"ViewModeRoot", settings::kModeView, 2, false, true, "<p class=\"s\">",
                                  "チャンネルを選択してください"},
                      MessageCase{"ViewModeUnreadOnly", settings::kModeView, 2, false, false, "<p class=\"s\">",
                                  "未読の記事はありません"},
                      MessageCase{"ViewModeProtectedOnly", settings::kModeView, 3, false, false, "<p class=\"s\">",
                                  "表示できる記事はありません"}),
    [](const ::testing::TestParamInfo<MessageCase>& info) { return std::string(info.param.name); });

TEST_F(SummaryPagesTest, MessageWithRowsAsksForASelection) {
  Add(chanA, "one");
  settings.NoListSelect = 1;
  list.SelectNode(chanA);
  ASSERT_EQ(list.RowCount(), 1u);
  EXPECT_TRUE(display.pages.empty());
  pages.RenderMessagePage(chanA);
  EXPECT_NE(Page().find(J("記事を選択してください")), std::string::npos);
  // The channel header of a group is its caption; the error log shows nothing.
  pages.RenderMessagePage(group);
  EXPECT_NE(Page().find("<i>" + J("記事を選択してください") + "</i>"), std::string::npos);
  const size_t shown = display.pages.size();
  pages.RenderMessagePage(store.Tree().EnsureErrorLogNode());
  EXPECT_EQ(display.pages.size(), shown);
}

struct OwnPageCase {
  const char* name;
  int mode;
  bool normalNoAddin;
  int linkOpen;
  bool linkop;
  bool description;
  bool opens;
};

class OwnPage : public SummaryPagesTest, public ::testing::WithParamInterface<OwnPageCase> {};

TEST_P(OwnPage, OpensTheItemsPageInstead) {
  const OwnPageCase& c = GetParam();
  settings.FormViewMode = c.mode;
  settings.NormalNoAddin = c.normalNoAddin;
  settings.LinkOpen = c.linkOpen;
  chanA->Data()->linkop = c.linkop;
  chanA->Data()->entojp = 1;
  store::TSiteRecord* item = Add(chanA, "page.html");
  if (c.description) item->desc = "text";
  pages.RenderSummaryPage(*item);
  if (c.opens) {
    EXPECT_TRUE(display.pages.empty());
    EXPECT_EQ(opener.opened, std::vector<std::string>{"http://www.excite.co.jp/world/english/web/"
                                                      "?wb_lp=ENJA&wb_url=http://ChanA.example/page.html"});
  } else {
    EXPECT_EQ(display.pages.size(), 1u);
    EXPECT_TRUE(opener.opened.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, OwnPage,
    ::testing::Values(OwnPageCase{"LinkOpen2", settings::kModeStandard, false, 2, false, true, true},
                      OwnPageCase{"LinkOpen1WithoutText", settings::kModeBrowser, false, 1, false, false, true},
                      OwnPageCase{"LinkOpen1WithText", settings::kModeStandard, false, 1, false, true, false},
                      OwnPageCase{"ChannelLinkop", settings::kModeStandard, false, 0, true, true, true},
                      OwnPageCase{"NormalNoAddin", settings::kModeStandard, true, 2, true, true, false},
                      OwnPageCase{"ListMode", settings::kModeList, false, 2, true, true, false},
                      OwnPageCase{"NothingAsks", settings::kModeStandard, false, 0, false, false, false}),
    [](const ::testing::TestParamInfo<OwnPageCase>& info) { return std::string(info.param.name); });

TEST_F(SummaryPagesTest, BodyCleanedByTheListViewSettings) {
  store::TSiteRecord* item = Add(chanA, "x");
  item->de_cd =
      "<p>a<script>s()</script><iframe src=\"f\"></iframe><object><embed src=\"e\"></object>"
      "<style>p{}</style><link rel=\"stylesheet\" href=\"c\"><meta charset=\"x\"></p>";
  tiny.style.DefaultBlock = M("$ITEM_DESCRIPTION$");
  pages.RenderSummaryPage(*item);
  const std::string body = Page().substr(Page().find("<body>"));
  EXPECT_NE(body.find("<p>a</p>"), std::string::npos) << body;
  settings.ListNoScript = false;
  settings.ListNoFrame = false;
  pages.RenderSummaryPage(*item);
  const std::string kept = Page().substr(Page().find("<body>"));
  EXPECT_NE(kept.find("<script>s()</script><iframe src=\"f\"></iframe><object><embed src=\"e\"></object>"),
            std::string::npos)
      << kept;
  EXPECT_EQ(kept.find("<style>"), std::string::npos);
  EXPECT_EQ(kept.find("<link"), std::string::npos);
  EXPECT_EQ(CountOf(Page(), "<meta"), 1u);  // only the page's own
  // The style's CSS is the head's style sheet.
  EXPECT_EQ(Page().find("<html>\r\n<head>\r\n<meta charset=\"Shift_JIS\">\r\n<title>" + J("概要") +
                        "</title>\r\n<style>\r\n*, *::before, *::after { box-sizing: border-box }\r\np { color: red "
                        "}\r\n</style>\r\n</head>\r\n<body>\r\n"),
            0u);
}

TEST(PageDocument, StyleSheetCannotEndItsElement) {
  const std::string page = PageDocument("b", "a{content:\"</style><script>\"}", "UTF-8");
  EXPECT_NE(page.find("a{content:\"<\\/style><script>\"}"), std::string::npos);
  EXPECT_EQ(CountOf(page, "</style>"), 1u);
}

}  // namespace
}  // namespace present
