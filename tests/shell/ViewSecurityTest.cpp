// SPDX-License-Identifier: MIT
// The headline pages follow the list-view restrictions, sites the secure-mode ones while
// secure mode is on.
#include <gtest/gtest.h>

#include "shell/ViewSecurity.h"

namespace shell {
namespace {

TEST(ViewSecurityTest, SummaryFollowsTheListSettingsAndSitesTheSecureModeSettings) {
  settings::Settings settings;
  settings.ListNoScript = true;
  settings.ListNoFrame = false;
  settings.ListNoImage = true;
  settings.SecNoScript = false;
  settings.SecNoVideo = true;

  const ViewSecurity summary = SecurityFor(settings, true);
  EXPECT_FALSE(summary.Scripts);
  EXPECT_TRUE(summary.Frames);
  EXPECT_FALSE(summary.Images);

  EXPECT_EQ(SecurityFor(settings, false), ViewSecurity{});  // a site outside secure mode
  settings.SecureMode = true;
  const ViewSecurity site = SecurityFor(settings, false);
  EXPECT_TRUE(site.Scripts);
  EXPECT_FALSE(site.Video);
  EXPECT_TRUE(site.Images);
  EXPECT_EQ(SecurityFor(settings, true), summary);  // secure mode leaves the headline pages alone
}

}  // namespace
}  // namespace shell
