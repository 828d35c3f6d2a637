// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TabsFixture.h"
#include "shell/private/TabFile.h"
#include "text/Literal.h"

namespace shell::testing {
namespace {

class TabFileTest : public TabsFixture {
 protected:
  std::string TabFile() const { return dir / "plover.tab"; }

  // The tabs of the next start: a list of its own, its start page shown, then the
  // restore, with every navigation carried out.
  struct NextRun {
    FakeTabsView view;
    std::unique_ptr<BrowserTabs> tabs;
    size_t settled = 0;
  };
  void RestoreIntoNextRun(NextRun& run, bool withStartPage = true) {
    run.tabs = std::make_unique<BrowserTabs>(Services(run.view));
    if (withStartPage) run.tabs->Start();
    run.tabs->RestoreTabs();
    Settle(*run.tabs, run.view, run.settled);
  }
  std::string Shown(const NextRun& run, size_t index) const { return run.view.Location(run.tabs->TabAt(index).view); }
};

TEST_F(TabFileTest, RoundTripKeepsSitesLocksAndOrder) {
  settings.RestoreTab = 2;
  const std::string japanese = text::J("http://例.jp/検索?q=日本語");
  const std::vector<ViewId> views = StartWith({"http://a.example/", japanese, "http://pending.example/"});
  tabs.ToggleTabLock(1);
  tabs.SetPendingLoads(views[3], 1);
  tabs.OpenTab("", true, false);  // has shown nothing yet
  tabs.SaveTabs();
  EXPECT_EQ(testsupport::ReadFile(TabFile()), "1\thttp://a.example/\r\n0\t" + japanese + "\r\n");

  settings.TabLock = settings::TabBehaviour::kNewWithFocus;
  const settings::Settings before = settings;
  NextRun run;
  RestoreIntoNextRun(run);
  EXPECT_EQ(settings, before);
  ASSERT_EQ(run.tabs->TabCount(), 3u);
  EXPECT_EQ(run.tabs->ActiveIndex(), 0);
  EXPECT_EQ(Shown(run, 0), kSummary);
  EXPECT_EQ(Shown(run, 1), "http://a.example/");
  EXPECT_EQ(Shown(run, 2), japanese);
  EXPECT_TRUE(run.tabs->TabAt(1).Locked);
  EXPECT_FALSE(run.tabs->TabAt(2).Locked);
  EXPECT_TRUE(run.view.row[1].locked);
  EXPECT_EQ(run.view.row[2].caption, "Loading...");
  EXPECT_TRUE(run.view.rowVisible);
}

TEST_F(TabFileTest, RestoreTabOneKeepsOnlyLockedTabsAndLocksThemAgain) {
  settings.RestoreTab = 1;
  StartWith({"http://a.example/", "http://b.example/", "http://c.example/"});
  tabs.ToggleTabLock(2);
  tabs.ToggleTabLock(0);  // the summary tab is locked but shows no site
  tabs.SaveTabs();
  EXPECT_EQ(testsupport::ReadFile(TabFile()), "1\thttp://b.example/\r\n");
  NextRun run;
  RestoreIntoNextRun(run);
  ASSERT_EQ(run.tabs->TabCount(), 2u);
  EXPECT_EQ(Shown(run, 1), "http://b.example/");
  EXPECT_TRUE(run.tabs->TabAt(1).Locked);
}

TEST_F(TabFileTest, NothingToKeepLeavesNoFile) {
  StartWith({"http://a.example/"});
  for (int restoreTab : {0, 1}) {
    SCOPED_TRACE(restoreTab);
    settings.RestoreTab = restoreTab;
    testsupport::WriteFile(TabFile(), "0\thttp://stale.example/\r\n");
    tabs.SaveTabs();
    EXPECT_FALSE(testsupport::FileExists(TabFile()));
  }
  // With RestoreTab 0 a file left over is not read either.
  testsupport::WriteFile(TabFile(), "0\thttp://stale.example/\r\n");
  settings.RestoreTab = 0;
  NextRun run;
  RestoreIntoNextRun(run);
  EXPECT_EQ(run.tabs->TabCount(), 1u);
}

TEST_F(TabFileTest, ATabRestoredAtTheFirstPositionIsNotLocked) {
  settings.RestoreTab = 2;
  testsupport::WriteFile(TabFile(), "1\thttp://a.example/\r\n1\thttp://b.example/\r\n");
  NextRun run;
  RestoreIntoNextRun(run, false);
  ASSERT_EQ(run.tabs->TabCount(), 2u);
  EXPECT_FALSE(run.tabs->TabAt(0).Locked);
  EXPECT_TRUE(run.tabs->TabAt(1).Locked);
  EXPECT_EQ(run.tabs->ActiveIndex(), 0);
  EXPECT_EQ(Shown(run, 0), "http://a.example/");
}

TEST(TabFileFormatTest, ParseSkipsBrokenLinesAndReadsTheLock) {
  const std::string content =
      "1\thttp://a/\r\n"
      "no tab here\r\n"
      "0\t   \r\n"
      " true \t http://b/ \n"
      "x\thttp://c/\r\n"
      "-1\thttp://d/\twith tab\r\n"
      "\r\n"
      "00\thttp://e/";
  EXPECT_EQ(ParseTabFile(content), (std::vector<SavedTab>{{true, "http://a/"},
                                                          {true, "http://b/"},
                                                          {false, "http://c/"},
                                                          {true, "http://d/\twith tab"},
                                                          {false, "http://e/"}}));
  EXPECT_EQ(FormatTabFile({{false, "http://a/"}, {true, "http://b/\r\n1\tfile:///etc"}, {true, "http://c/"}}),
            "0\thttp://a/\r\n1\thttp://c/\r\n");
}

}  // namespace
}  // namespace shell::testing
