// SPDX-License-Identifier: MIT
// A new headline page goes into the active tab, except where that tab keeps its site.
#include "TabsFixture.h"
#include "shell/SummaryDisplay.h"

namespace shell::testing {
namespace {

class Server : public SummaryPageServer {
 public:
  void ServeSummaryPage(const std::string& html) override { served = html; }
  std::string served;
};

class SummaryDisplayTest : public TabsFixture {
 protected:
  present::SummaryPage Page(const std::string& html, int64_t id) {
    present::SummaryPage page;
    page.Html = html;
    page.PageId = id;
    return page;
  }

  Server server;
  SummaryDisplay display{tabs, server};
};

TEST_F(SummaryDisplayTest, APageReplacesASiteUnlessTheTabKeepsItAndOneTabShowsHeadlines) {
  const std::vector<ViewId> views = StartWith({"http://one.example/"});
  display.ShowSummaryPage(Page("<p>1</p>", 7));
  Settle();
  EXPECT_EQ(server.served, "<p>1</p>");
  EXPECT_EQ(tabs.ActiveView(), views[1]);
  EXPECT_TRUE(tabs.ShowsSummary(views[1]));  // behaviour 0: the site gave way
  // The first tab held the older page: it is gone, not left beside the new one.
  ASSERT_EQ(tabs.TabCount(), 1u);
  EXPECT_EQ(tabs.TabAt(0).view, views[1]);
  EXPECT_TRUE(display.ShowsPage(7));
  EXPECT_FALSE(display.ShowsPage(6));

  EXPECT_TRUE(Follow(views[1], "http://two.example/"));
  EXPECT_FALSE(display.ShowsPage(7));  // the user left the page
  tabs.ToggleTabLock(0);
  display.ShowSummaryPage(Page("<p>2</p>", 8));
  Settle();
  ASSERT_EQ(tabs.TabCount(), 2u);  // the locked site stays; the page opens in front
  const ViewId summary = tabs.ActiveView();
  EXPECT_EQ(tabs.ActiveIndex(), 0);
  EXPECT_EQ(view.location[views[1]], "http://two.example/");
  EXPECT_TRUE(display.ShowsPage(8));

  // A summary tab the user locked is brought up to date rather than closed.
  tabs.ToggleTabLock(0);
  tabs.ToggleTabLock(1);
  tabs.ActivateTab(1);
  ASSERT_TRUE(tabs.TabAt(0).Locked);
  ASSERT_FALSE(tabs.TabAt(1).Locked);
  display.ShowSummaryPage(Page("<p>3</p>", 9));
  Settle();
  EXPECT_EQ(tabs.TabCount(), 2u);
  EXPECT_TRUE(tabs.ShowsSummary(summary));
  EXPECT_TRUE(tabs.ShowsSummary(views[1]));
}

TEST_F(SummaryDisplayTest, KeepingSitesWithoutASummaryTabOpensOneInFront) {
  settings.TabLock = settings::TabBehaviour::kKeepSites;
  const ViewId first = Start();
  EXPECT_TRUE(Follow(first, "http://one.example/"));
  display.ShowSummaryPage(Page("<p>x</p>", 0));
  Settle();
  ASSERT_EQ(tabs.TabCount(), 2u);
  EXPECT_EQ(tabs.ActiveIndex(), 0);
  EXPECT_TRUE(tabs.ShowsSummary(tabs.ActiveView()));
  EXPECT_EQ(view.location[first], "http://one.example/");
  EXPECT_FALSE(display.ShowsPage(0));  // a page outside view mode has no id to match
}

}  // namespace
}  // namespace shell::testing
