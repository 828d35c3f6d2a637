// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace app {
namespace {

struct SwitchCase {
  const char* name;
  std::vector<std::string> arguments;
  bool startup, update, noInstall, noInstallAdmin;
  int viewMode;
};

class CommandLineSwitches : public testing::TestWithParam<SwitchCase> {};

TEST_P(CommandLineSwitches, AreRead) {
  const SwitchCase& c = GetParam();
  const CommandLine line = ParseCommandLine(c.arguments);
  EXPECT_EQ(line.Startup, c.startup);
  EXPECT_EQ(line.Update, c.update);
  EXPECT_EQ(line.NoInstall, c.noInstall);
  EXPECT_EQ(line.NoInstallAdmin, c.noInstallAdmin);
  EXPECT_EQ(line.ViewMode, c.viewMode);
}

const SwitchCase kSwitchCases[] = {
    {"Nothing", {}, false, false, false, false, 0},
    {"StartupInCapitals", {"/STARTUP"}, true, false, false, false, 0},
    {"UpdateInsideAnArgument", {"x/UpDatey"}, false, true, false, false, 0},
    {"NoInstallAlone", {"/noinstall"}, false, false, true, false, 0},
    {"NoInstallAdminCountsAsNoInstall", {"/NoInstallAdmin"}, false, false, true, true, 0},
    {"FirstModeWinsListBeforeBrowser", {"-l", "-b"}, false, false, false, false, 2},
    {"ModeIgnoresCase", {"-B"}, false, false, false, false, 3},
    {"ModeAfterOtherArguments", {"/startup", "-x", "-S", "-r"}, true, false, false, false, 4},
    {"StandardMode", {"-r", "/update"}, false, true, false, false, 1},
    {"ModeMustBeAWholeArgument", {"-lb", "x-l", "-l "}, false, false, false, false, 0},
    {"SwitchSplitOverArgumentsDoesNotCount", {"/up", "date"}, false, false, false, false, 0},
};

INSTANTIATE_TEST_SUITE_P(Cases, CommandLineSwitches, testing::ValuesIn(kSwitchCases),
                         [](const testing::TestParamInfo<SwitchCase>& info) { return info.param.name; });

}  // namespace
}  // namespace app
