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

TEST_F(SummaryDisplayTest, APageReplacesASiteUnlessTheTabKeepsIt) {
  const std::vector<ViewId> views = StartWith({"http://one.example/"});
  display.ShowSummaryPage(Page("<p>1</p>", 7));
  Settle();
  EXPECT_EQ(server.served, "<p>1</p>");
  EXPECT_EQ(tabs.ActiveView(), views[1]);
  EXPECT_TRUE(tabs.ShowsSummary(views[1]));  // behaviour 0: the site gave way
  EXPECT_TRUE(display.ShowsPage(7));
  EXPECT_FALSE(display.ShowsPage(6));

  EXPECT_TRUE(Follow(views[1], "http://two.example/"));
  EXPECT_FALSE(display.ShowsPage(7));  // the user left the page
  tabs.ToggleTabLock(1);
  display.ShowSummaryPage(Page("<p>2</p>", 8));
  Settle();
  EXPECT_EQ(tabs.ActiveView(), views[0]);  // the first tab showing the summary
  EXPECT_EQ(view.location[views[1]], "http://two.example/");
  EXPECT_TRUE(display.ShowsPage(8));
}

TEST_F(SummaryDisplayTest, KeepingSitesWithoutASummaryTabOpensOneInFront) {
  settings.TabLock = kTabsKeepSites;
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
