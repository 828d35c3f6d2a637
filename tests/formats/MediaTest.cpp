// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

#include "formats/media/MediaHandOver.h"
#include "formats/media/MediaQueue.h"
#include "settings/Credentials.h"
#include "settings/IniFile.h"
#include "settings/Settings.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace formats {
namespace {

using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;
using text::J;

struct MediaCase {
  const char* name;
  const char* address;
  bool media;
};

void PrintTo(const MediaCase& value, std::ostream* out) {
  *out << value.address;
}

class MediaAddress : public ::testing::TestWithParam<MediaCase> {};

TEST_P(MediaAddress, ByExtensionOfTheFileName) {
  EXPECT_EQ(IsMediaAddress(GetParam().address), GetParam().media) << GetParam().address;
}

INSTANTIATE_TEST_SUITE_P(
    Media, MediaAddress,
    ::testing::Values(MediaCase{"Mp3", "http://example.jp/a/episode1.mp3", true},
                      MediaCase{"M4a", "http://e.jp/x.m4a", true}, MediaCase{"Aac", "http://e.jp/x.aac", true},
                      MediaCase{"Au", "http://e.jp/x.au", true}, MediaCase{"Wma", "http://e.jp/x.wma", true},
                      MediaCase{"Mpeg", "http://e.jp/x.mpeg", true}, MediaCase{"Mov", "http://e.jp/x.mov", true},
                      MediaCase{"UpperCase", "http://e.jp/X.MP3", true},
                      MediaCase{"QueryAndFragmentIgnored", "http://e.jp/x.mp3?source=rss#t=10", true},
                      MediaCase{"LastDotCounts", "http://e.jp/x.mp3.html", false},
                      MediaCase{"LongerExtension", "http://e.jp/x.mp3x", false},
                      MediaCase{"OtherMedia", "http://e.jp/x.mpg", false},
                      MediaCase{"DotInFolderOnly", "http://e.jp/a.mp3/file", false},
                      MediaCase{"HostIsNoFile", "http://podcast.mov", false},
                      MediaCase{"MediaWordInQuery", "http://e.jp/get?f=x.mp3", false},
                      MediaCase{"NoExtension", "http://e.jp/mp3", false}, MediaCase{"Empty", "", false},
                      MediaCase{"PlainFileName", "x.wma", true}),
    [](const ::testing::TestParamInfo<MediaCase>& info) { return std::string(info.param.name); });

TEST(MediaQueueTest, NewestFirstAndTakeEmpties) {
  MediaQueue queue;
  EXPECT_TRUE(queue.Empty());
  queue.QueueMedia("http://e.jp/1.mp3");
  queue.QueueMedia("http://e.jp/2.mp3\t" + J("番組"));
  queue.QueueMedia("http://e.jp/3\r\n.mp3");  // a line break would split the list file's entry
  queue.QueueMedia("\r\n");
  EXPECT_EQ(queue.Take(),
            (std::vector<std::string>{"http://e.jp/3.mp3", "http://e.jp/2.mp3\t" + J("番組"), "http://e.jp/1.mp3"}));
  EXPECT_TRUE(queue.Empty());
  EXPECT_TRUE(queue.Take().empty());
}

// Records the programs it is asked to start.
class RecordingLauncher : public platform::ProcessLauncher {
 public:
  bool Start(const std::string& program, const std::vector<std::string>& arguments) override {
    starts.push_back({program, arguments});
    return true;
  }
  struct Call {
    std::string program;
    std::vector<std::string> arguments;
  };
  std::vector<Call> starts;
};

class HandOverTest : public ::testing::Test {
 protected:
  HandOverTest() {
    settings.InternetPreConfig = 2;
    settings.ProxyServer = "proxy.example.jp";
    settings.ProxyPort = 3128;
    settings.ProxyAddUrl = true;
  }

  void Install() { WriteFile(programFiles + "Podhall/Podhall.exe", "#!/bin/sh\n"); }
  std::string List(const std::string& name) const { return appData + "Varnholt/Podhall/" + name; }

  testsupport::TempDir dir;
  const std::string programFiles = dir / "opt/";
  const std::string appData = dir / "share/";
  RecordingLauncher launcher;
  MediaHandOver handOver{programFiles, appData, launcher};
  MediaQueue queue;
  settings::Settings settings;
};

TEST_F(HandOverTest, WritesListAndSettingsAndStartsTheProgramOnce) {
  Install();
  queue.QueueMedia("http://e.jp/1.mp3\t" + J("ラジオ"));
  queue.QueueMedia("http://e.jp/2.m4a");
  handOver.HandOver(queue, settings);

  EXPECT_EQ(ReadFile(List("Podhall.lst")), "http://e.jp/2.m4a\r\nhttp://e.jp/1.mp3\t" + J("ラジオ") + "\r\n");
  EXPECT_TRUE(queue.Empty());
  ASSERT_EQ(launcher.starts.size(), 1u);
  EXPECT_EQ(launcher.starts[0].program, programFiles + "Podhall/Podhall.exe");
  EXPECT_EQ(launcher.starts[0].arguments, std::vector<std::string>{"-media"});
  EXPECT_EQ(ReadFile(List("Podhall.ini")),
            "[Http]\r\nPreConfig=2\r\nProxyServer=proxy.example.jp\r\nProxyPort=3128\r\nProxyAddUrl=1\r\n"
            "ProxySetting=\r\n\r\n");
}

TEST_F(HandOverTest, AppendsToAnUnreadListAndKeepsPodhallsOwnSettings) {
  Install();
  WriteFile(List("Podhall.lst"), "old1\r\nold2");
  WriteFile(List("Podhall.ini"), "[Window]\r\nLeft=10\r\n[Http]\r\nProxySetting=stale\r\n");
  settings.ProxySetting = {"user", "pass"};
  queue.QueueMedia("new");
  handOver.HandOver(queue, settings);

  EXPECT_EQ(ReadFile(List("Podhall.lst")), "old1\r\nold2\r\nnew\r\n");
  settings::IniFile ini;
  ASSERT_TRUE(ini.Load(List("Podhall.ini")));
  EXPECT_EQ(ini.ReadInteger("Window", "Left", 0), 10);
  const std::string stored = ini.ReadString("Http", "ProxySetting", "");
  EXPECT_EQ(stored, settings::StoreCredential({"user", "pass"}));
  EXPECT_EQ(settings::ReadCredential(stored), (settings::Credential{"user", "pass"}));
  EXPECT_EQ(launcher.starts.size(), 1u);
}

TEST_F(HandOverTest, PendingItemFileAloneStartsTheProgram) {
  Install();
  WriteFile(List("Podhall.itn"), "x");
  handOver.HandOver(queue, settings);
  EXPECT_FALSE(FileExists(List("Podhall.lst")));
  EXPECT_TRUE(FileExists(List("Podhall.ini")));
  EXPECT_EQ(launcher.starts.size(), 1u);
}

TEST_F(HandOverTest, RunningProgramIsNotStartedAgain) {
  Install();
  WriteFile(List("Podhall.lock"), "");
  const int fd = ::open(List("Podhall.lock").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::flock(fd, LOCK_EX | LOCK_NB), 0);
  queue.QueueMedia("http://e.jp/1.mp3");
  handOver.HandOver(queue, settings);
  ::close(fd);

  EXPECT_EQ(ReadFile(List("Podhall.lst")), "http://e.jp/1.mp3\r\n");
  EXPECT_FALSE(FileExists(List("Podhall.ini")));
  EXPECT_TRUE(launcher.starts.empty());
}

TEST_F(HandOverTest, NothingHappensWithoutProgramOrWork) {
  queue.QueueMedia("http://e.jp/1.mp3");
  handOver.HandOver(queue, settings);  // not installed
  EXPECT_EQ(queue.Size(), 1u);

  // The installation is looked for once per object.
  Install();
  handOver.HandOver(queue, settings);
  EXPECT_EQ(queue.Size(), 1u);
  EXPECT_FALSE(FileExists(appData + "Varnholt/Podhall"));

  // Installed, but an empty queue and no pending files: nothing to do.
  MediaHandOver fresh(programFiles, appData, launcher);
  EXPECT_TRUE(fresh.PodhallInstalled());
  MediaQueue empty;
  fresh.HandOver(empty, settings);
  EXPECT_FALSE(FileExists(List("Podhall.ini")));
  EXPECT_TRUE(launcher.starts.empty());
}

TEST_F(HandOverTest, ListThatCannotBeWrittenKeepsTheQueue) {
  Install();
  testsupport::WriteFile(List("Podhall.lst/blocked"), "");  // a folder where the list should be
  queue.QueueMedia("http://e.jp/1.mp3");
  handOver.HandOver(queue, settings);
  EXPECT_EQ(queue.Size(), 1u);
  EXPECT_TRUE(launcher.starts.empty());
}

TEST_F(HandOverTest, WithoutApplicationDataTheProgramFolderHoldsTheList) {
  Install();
  MediaHandOver local(programFiles, "", launcher);
  EXPECT_EQ(local.ListFolder(), programFiles + "Podhall/");
  queue.QueueMedia("a");
  local.HandOver(queue, settings);
  EXPECT_EQ(ReadFile(programFiles + "Podhall/Podhall.lst"), "a\r\n");
}

TEST(ListLines, EveryLineBreakEndsALine) {
  EXPECT_EQ(SplitListLines("a\r\nb\nc\rd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(SplitListLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(SplitListLines("").empty());
}

}  // namespace
}  // namespace formats
