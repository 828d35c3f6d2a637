// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "app/Startup.h"
#include "support/ManualEventLoop.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"

namespace app {
namespace {

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;

struct ColourCase {
  int bitsPerPixel;
  bool goesOn;
};

class ColourDepth : public testing::TestWithParam<ColourCase> {};

TEST_P(ColourDepth, EndsBelowSixteenBitColour) {
  testsupport::ScriptedDialogs dialogs;
  EXPECT_EQ(CheckColourDepth(GetParam().bitsPerPixel, dialogs), GetParam().goesOn);
  if (GetParam().goesOn) {
    EXPECT_TRUE(dialogs.shown.empty());
  } else {
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, "message");
    EXPECT_EQ(dialogs.shown[0].type, platform::MessageType::kInformation);
    EXPECT_EQ(dialogs.shown[0].text,
              "コントロールパネルの[画面]の[設定]タブで画面色を\r\nHigh Color(16ビット)以上に設定してください。");
  }
}

INSTANTIATE_TEST_SUITE_P(Depths, ColourDepth,
                         testing::Values(ColourCase{1, false}, ColourCase{4, false}, ColourCase{8, false},
                                         ColourCase{15, true}, ColourCase{16, true}, ColourCase{32, true}),
                         [](const testing::TestParamInfo<ColourCase>& info) {
                           return std::to_string(info.param.bitsPerPixel) + "Bits";
                         });

TEST(LocalDateSerial, CountsDaysFromTheEndOf1899) {
  const char* saved = std::getenv("TZ");
  const std::string savedValue = saved ? saved : "";
  ::setenv("TZ", "UTC", 1);
  ::tzset();
  EXPECT_EQ(LocalDateSerial(1704196800), 45293.0);  // 2024-01-02 12:00 UTC
  EXPECT_EQ(LocalDateSerial(0), 25569.0);           // 1970-01-01
  if (saved) {
    ::setenv("TZ", savedValue.c_str(), 1);
  } else {
    ::unsetenv("TZ");
  }
  ::tzset();
}

// A program folder and an application data folder in a temporary folder, and a start-up
// that records its callbacks.
class StartupTest : public testing::Test {
 protected:
  StartupInputs Inputs(std::vector<std::string> arguments) {
    StartupInputs inputs;
    inputs.ProgramFolder = program;
    inputs.Arguments = std::move(arguments);
    inputs.AppDataFolder = root / "share";
    inputs.Now = 1704196800;
    inputs.LockRetryMs = 2000;
    return inputs;
  }

  Startup::Callbacks Recording(int& ready, int& forward) {
    return {[&ready] { ++ready; }, [&forward] { ++forward; }};
  }

  testsupport::TempDir root;
  std::string program = root / "bin/";
  testsupport::ManualEventLoop loop;
  testsupport::ScriptedDialogs dialogs;
  int ready = 0;
  int comeForward = 0;
};

TEST_F(StartupTest, WithoutLocationFileTheDataLivesInTheProgramFolder) {
  Startup startup(loop, dialogs, Recording(ready, comeForward));
  EXPECT_EQ(startup.Run(Inputs({"-l", "-b"})), StartupOutcome::kGoOn);

  const StartupState& state = startup.State();
  EXPECT_EQ(state.ProgramFolder, program);
  EXPECT_EQ(state.DataFolder, program);
  EXPECT_EQ(state.IniFileName, program + "plover.ini");
  EXPECT_EQ(state.ViewMode, 2);
  EXPECT_FALSE(state.StartedAtLogon);
  EXPECT_FALSE(state.InstallAdminMode);
  EXPECT_TRUE(state.IsVistaOrLater);
  EXPECT_EQ(state.Settings.ProgramTitle, "Plover");
  EXPECT_TRUE(FileExists(program + "system/default.opml"));
  EXPECT_TRUE(FileExists(program + "plover.txt"));
  EXPECT_TRUE(dialogs.shown.empty());

  EXPECT_EQ(ready, 0) << "the window is made from the loop, after start-up returns";
  loop.RunPending();
  EXPECT_EQ(ready, 1);
  loop.Advance(60000);
  EXPECT_EQ(ready, 1);
}

TEST_F(StartupTest, NoInstallTakesTheLastLineWithThePlaceholderReplaced) {
  WriteFile(program + "plover.drv", "[appdata]/Plover\r\n");
  Startup startup(loop, dialogs, Recording(ready, comeForward));
  EXPECT_EQ(startup.Run(Inputs({"/noinstall"})), StartupOutcome::kGoOn);
  EXPECT_EQ(startup.State().DataFolder, root / "share/Plover/");
  EXPECT_TRUE(FileExists(root / "share/Plover/system/xml.png"));
  EXPECT_TRUE(FileExists(root / "share/Plover/plover.ini"));
  EXPECT_TRUE(FileExists(program + "plover.txt"));
  EXPECT_FALSE(startup.State().InstallAdminMode);
}

TEST_F(StartupTest, NoInstallAdminMovesOldDataFirst) {
  WriteFile(program + "plover.drv", "/unused\r\n[APPDATA]/Plover\r\n");
  WriteFile(program + "plover.dat", "channels");
  WriteFile(program + "plover.ini", "[Ev_Extension]\r\nProgramTitle=Old Plover\r\n");
  dialogs.Answer(true);
  dialogs.Answer(true);
  Startup startup(loop, dialogs, Recording(ready, comeForward));
  EXPECT_EQ(startup.Run(Inputs({"/NOINSTALLADMIN"})), StartupOutcome::kGoOn);

  const std::string data = root / "share/Plover/";
  EXPECT_EQ(startup.State().DataFolder, data);
  EXPECT_TRUE(startup.State().InstallAdminMode);
  EXPECT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(ReadFile(data + "plover.dat"), "channels");
  EXPECT_FALSE(FileExists(program + "plover.dat"));
  // The moved settings file is the one read, and the built-in one did not replace it.
  EXPECT_EQ(startup.State().Settings.ProgramTitle, "Old Plover");
}

TEST_F(StartupTest, UpdateRewritesTheBuiltInFilesButKeepsTheSettings) {
  WriteFile(program + "system/xml.png", "changed");
  WriteFile(program + "plover.ini", "[Ev_Main]\r\nPausetime=5\r\n");
  Startup startup(loop, dialogs, Recording(ready, comeForward));
  EXPECT_EQ(startup.Run(Inputs({"/update"})), StartupOutcome::kGoOn);
  EXPECT_NE(ReadFile(program + "system/xml.png"), "changed");
  EXPECT_EQ(ReadFile(program + "plover.ini"), "[Ev_Main]\r\nPausetime=5\r\n");
  EXPECT_EQ(startup.State().Settings.Pausetime, 5);
}

TEST_F(StartupTest, LogonStartWaitsPausetimeSecondsBeforeTheWindow) {
  WriteFile(program + "plover.ini", "[Ev_Main]\r\nPausetime=20\r\n");
  Startup startup(loop, dialogs, Recording(ready, comeForward));
  EXPECT_EQ(startup.Run(Inputs({"/startup"})), StartupOutcome::kGoOn);
  EXPECT_TRUE(startup.State().StartedAtLogon);

  loop.Advance(19999);
  EXPECT_EQ(ready, 0);
  loop.Advance(1);
  EXPECT_EQ(ready, 1);
  loop.Advance(60000);
  EXPECT_EQ(ready, 1);
  EXPECT_EQ(loop.ActiveTimerCount(), 0u);
}

TEST_F(StartupTest, TheWindowNeverComesWhenTheProgramIsToldToEndDuringThePause) {
  WriteFile(program + "plover.ini", "[Ev_Main]\r\nPausetime=20\r\n");
  Startup startup(loop, dialogs, Recording(ready, comeForward));
  EXPECT_EQ(startup.Run(Inputs({"/startup"})), StartupOutcome::kGoOn);
  loop.Advance(10000);
  startup.Terminate();
  EXPECT_TRUE(startup.Terminated());
  loop.Advance(60000);
  EXPECT_EQ(ready, 0);
  EXPECT_EQ(loop.ActiveTimerCount(), 0u);
}

TEST_F(StartupTest, NoPauseWithoutLogonStartOrWithPausetimeZero) {
  for (const auto& [arguments, ini] :
       {std::pair<std::vector<std::string>, std::string>{{}, "Pausetime=20"}, {{"/startup"}, "Pausetime=0"}}) {
    WriteFile(program + "plover.ini", "[Ev_Main]\r\n" + ini + "\r\n");
    int calls = 0;
    int forward = 0;
    Startup startup(loop, dialogs, Recording(calls, forward));
    EXPECT_EQ(startup.Run(Inputs(arguments)), StartupOutcome::kGoOn);
    loop.RunPending();
    EXPECT_EQ(calls, 1) << ini;
  }
}

TEST_F(StartupTest, ASecondStartAsksTheFirstToComeForwardAndEnds) {
  Startup first(loop, dialogs, Recording(ready, comeForward));
  ASSERT_EQ(first.Run(Inputs({})), StartupOutcome::kGoOn);

  int secondReady = 0;
  int secondForward = 0;
  Startup second(loop, dialogs, Recording(secondReady, secondForward));
  EXPECT_EQ(second.Run(Inputs({"-s"})), StartupOutcome::kAnotherCopyRuns);

  loop.RunPending();
  EXPECT_EQ(comeForward, 1);
  EXPECT_EQ(ready, 1);
  EXPECT_EQ(secondReady, 0);
  EXPECT_EQ(secondForward, 0);
}

}  // namespace
}  // namespace app
