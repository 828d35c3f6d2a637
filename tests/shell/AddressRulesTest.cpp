// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "TabsFakes.h"
#include "settings/Settings.h"
#include "shell/OtherBrowser.h"
#include "shell/PageAddress.h"
#include "shell/SecureAddressCheck.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace shell::testing {
namespace {

TEST(PageAddressTest, RecognisesTheProgramsOwnAddresses) {
  EXPECT_TRUE(IsSummaryAddress("plover://page/summary"));
  EXPECT_TRUE(IsSummaryAddress("PLOVER://Page/Summary#item3"));
  EXPECT_FALSE(IsSummaryAddress("plover://page/summary/x"));
  EXPECT_FALSE(IsSummaryAddress("about:blank"));
  EXPECT_TRUE(IsEmptyLocation(""));
  EXPECT_TRUE(IsEmptyLocation("About:Blank"));
  EXPECT_FALSE(IsEmptyLocation("http://a/"));
  EXPECT_TRUE(IsCommandAddress(text::J("　 VARNHOLT:hrfeed_next")));
  EXPECT_TRUE(IsCommandAddress("Feed:http://a/rss"));
  EXPECT_TRUE(IsCommandAddress("enclosure:http://a/b.mp3"));
  EXPECT_FALSE(IsCommandAddress("http://a/feed:x"));
  EXPECT_TRUE(IsWebArchiveAddress("file:///d/page.MHT"));
  EXPECT_FALSE(IsWebArchiveAddress("http://a/page.mhtml"));
}

TEST(SecureAddressCheckTest, OnlyWebAndProgramSchemesPassInSecureMode) {
  settings::Settings settings;
  testsupport::ScriptedDialogs dialogs;
  SecureAddressCheck check(settings, dialogs);
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", true},
      {"   ", true},
      {"http://a/", true},
      {"HTTPS://a/", true},
      {"ftp://a/", true},
      {"feed:http://a/", true},
      {"Enclosure:x", true},
      {"https://a/  ", true},
      {"file:///etc/passwd", false},
      {"javascript:alert(1)", false},
      {" http://a/", false},
      {"about:blank", false},
  };
  for (const auto& [address, allowed] : cases) {
    EXPECT_EQ(SecureAddressCheck::AllowedInSecureMode(address), allowed) << address;
    EXPECT_TRUE(check.Check(address, true)) << "outside secure mode everything passes: " << address;
  }
  settings.SecureMode = true;
  EXPECT_FALSE(check.Check("file:///x", false));
  EXPECT_TRUE(dialogs.shown.empty());
  EXPECT_FALSE(check.Check("file:///x", true));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].type, platform::MessageType::kError);
}

class OtherBrowserTest : public ::testing::Test {
 protected:
  OtherBrowserTest() {
    for (const char* name : {"bin/xdg-open", "opt/firefox", "plain/xdg-open"})
      testsupport::WriteFile(dir / name, "#!/bin/sh\n");
    std::filesystem::permissions(dir / "bin/xdg-open", std::filesystem::perms::owner_all);
    std::filesystem::permissions(dir / "opt/firefox", std::filesystem::perms::owner_all);
  }
  testsupport::TempDir dir;
  RecordingLauncher launcher;
};

TEST_F(OtherBrowserTest, FindsTheOpenerAlongTheSearchPath) {
  // An empty or relative entry is never searched, nor a file that cannot run.
  OtherBrowser browser(launcher, "::relative:" + dir.Path() + "plain:" + dir.Path() + "bin");
  EXPECT_EQ(browser.ProgramPath(), dir.Path() + "bin/xdg-open");
  const std::string address = text::J("http://例.jp/?q=日本");
  EXPECT_TRUE(browser.Open("  " + address + "\r\n"));
  ASSERT_EQ(launcher.started.size(), 1u);
  EXPECT_EQ(launcher.started[0].program, dir.Path() + "bin/xdg-open");
  EXPECT_EQ(launcher.started[0].arguments, std::vector<std::string>{"http://例.jp/?q=日本"});
  OtherBrowser nowhere(launcher, dir.Path() + "plain");
  EXPECT_EQ(nowhere.ProgramPath(), std::nullopt);
  EXPECT_FALSE(nowhere.Open("http://a/"));
  launcher.result = false;
  EXPECT_FALSE(browser.Open("http://a/"));
}

TEST_F(OtherBrowserTest, TheDesktopOpenerGetsWebAddressesOnly) {
  OtherBrowser browser(launcher, dir.Path() + "bin");
  for (const char* address : {"file:///home/user/x.desktop", "javascript:alert(1)", "mailto:a@b", "feed:http://a/",
                              "-new-instance", "", "/etc/passwd"}) {
    EXPECT_FALSE(browser.Open(address)) << address;
  }
  EXPECT_FALSE(browser.OpenOfflineCopy("file:///d/page.html"));
  EXPECT_FALSE(browser.OpenOfflineCopy("http://a/page.mht"));
  EXPECT_TRUE(launcher.started.empty());
  EXPECT_TRUE(browser.OpenOfflineCopy("/data/mht/page.mht"));
  EXPECT_TRUE(browser.Open("FTP://files.example/"));
  EXPECT_EQ(launcher.started.size(), 2u);
}

TEST_F(OtherBrowserTest, ANamedBrowserGetsAnyAddressButNoOption) {
  OtherBrowser browser(launcher, dir.Path() + "bin:" + dir.Path() + "opt");
  browser.SetProgram("firefox");
  EXPECT_EQ(browser.ProgramPath(), dir.Path() + "opt/firefox");
  EXPECT_TRUE(browser.Open("file:///home/user/page.html"));
  EXPECT_FALSE(browser.Open("-P default"));
  EXPECT_FALSE(browser.Open("varnholt:hrfeed_next"));
  browser.SetProgram("/usr/local/bin/browser");
  EXPECT_EQ(browser.ProgramPath(), "/usr/local/bin/browser");
  EXPECT_TRUE(browser.Open("http://a/"));
  ASSERT_EQ(launcher.started.size(), 2u);
  EXPECT_EQ(launcher.started[0].program, dir.Path() + "opt/firefox");
  EXPECT_EQ(launcher.started[1].program, "/usr/local/bin/browser");
}

}  // namespace
}  // namespace shell::testing
