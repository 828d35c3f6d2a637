// SPDX-License-Identifier: MIT
// "plover-cli update" run as a program on a data folder whose channels a server inside the
// test serves.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/DataSession.h"
#include "platform/InstanceLock.h"
#include "settings/SettingsStore.h"
#include "support/LoopbackServer.h"
#include "support/ManualEventLoop.h"
#include "support/ProgramRun.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace {

using store::TTreeNodeExt;
using testsupport::ReadFile;
using text::J;

constexpr const char* kLastModified = "Wed, 01 Jan 2025 00:00:00 GMT";

using CliRun = testsupport::ProgramRun;

CliRun RunCli(const std::vector<std::string>& arguments) {
  return testsupport::RunProgram(PLOVER_CLI, arguments);
}

class UpdateCommand : public ::testing::Test {
 protected:
  UpdateCommand() {
    server.Routes().Get("/feed.xml", [](const httplib::Request& request, httplib::Response& response) {
      if (request.get_header_value("If-Modified-Since") == kLastModified) {
        response.status = 304;
        return;
      }
      response.set_header("Last-Modified", kLastModified);
      response.set_content(
          "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>ニュース</title>"
          "<link>http://example.jp/</link><item><title>一</title><link>http://example.jp/1</link></item>"
          "<item><title>二</title><link>http://example.jp/2</link></item></channel></rss>",
          "application/rss+xml");
    });
    server.Routes().Get("/slow.xml", [this](const httplib::Request&, httplib::Response& response) {
      {
        std::lock_guard<std::mutex> lock(mutex);
        slowAsked = true;
      }
      changed.notify_all();
      server.Hold(20000);
      response.status = 404;
    });
    server.Routes().Get("/missing.xml",
                        [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
    // A hundred items of 4 KB each: more than a small file system holds.
    server.Routes().Get("/big.xml", [](const httplib::Request&, httplib::Response& response) {
      std::string feed = "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>big</title>";
      for (int i = 0; i < 100; ++i) {
        feed += "<item><title>" + std::to_string(i) + "</title><link>http://example.jp/" + std::to_string(i) +
                "</link><description>" + std::string(4000, 'x') + "</description></item>";
      }
      response.set_content(feed + "</channel></rss>", "application/rss+xml");
    });
    server.Start();
  }

  std::string Data() const { return dir.Path(); }

  // A data folder with a channel for each path, the stopped ones stopped, and a saved
  // search for each query.
  void MakeFolder(const std::vector<std::pair<std::string, bool>>& channels,
                  const std::vector<std::string>& searches = {}) {
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(Data(), loop, dialogs);
    ASSERT_TRUE(session.Open(app::DataAccess::kReadWrite));
    for (const auto& [path, stopped] : channels) {
      auto list = std::make_unique<store::TSiteList>();
      list->Site.rdfurl = server.Url(path);
      session.Tree().AddChild(session.Tree().RootNode(), path.substr(1),
                              stopped ? store::kKindStopped : store::kKindChannel, std::move(list));
    }
    for (const std::string& query : searches) {
      session.Tree().AddChild(session.Tree().RootNode(), J(query), store::kKindSearch);
    }
    session.Store().SetModified();
    ASSERT_EQ(session.Save(false), store::SaveResult::kSaved);
    session.Close();
  }

  // The channel of that caption as the folder holds it now.
  struct Saved {
    int kind = -1;
    size_t items = 0;
    uint8_t gonecount = 0;
  };
  Saved Load(const std::string& caption) {
    testsupport::ManualEventLoop loop;
    testsupport::ScriptedDialogs dialogs;
    app::DataSession session(Data(), loop, dialogs);
    Saved saved;
    EXPECT_TRUE(session.Open(app::DataAccess::kReadOnly));
    for (TTreeNodeExt* node = session.Tree().RootNode(); node != nullptr; node = session.Tree().NextNode(node)) {
      if (node->Caption() != caption) continue;
      saved = Saved{node->Kind(), node->Data()->Count(), node->Data()->gonecount};
    }
    lastRunTime = session.Settings().RefreshTime;
    return saved;
  }

  ~UpdateCommand() override {
    if (watcher.joinable()) watcher.join();
  }

  // Watches for the end of the program `pid` without collecting it, so that the test can
  // wait for either the server's request or the program's end.
  void WatchEnd(pid_t pid) {
    watcher = std::thread([this, pid] {
      siginfo_t info{};
      waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOWAIT);
      {
        std::lock_guard<std::mutex> lock(mutex);
        ended = true;
      }
      changed.notify_all();
    });
  }

  // Waits until the server was asked for /slow.xml (true) or the watched program ended.
  bool WaitForSlowRequest() {
    std::unique_lock<std::mutex> lock(mutex);
    changed.wait(lock, [this] { return slowAsked || ended; });
    return slowAsked;
  }

  testsupport::TempDir dir;
  testsupport::LoopbackServer server;
  double lastRunTime = 0;
  std::mutex mutex;
  std::condition_variable changed;
  bool slowAsked = false;
  bool ended = false;
  std::thread watcher;
};

TEST_F(UpdateCommand, FullRunPrintsTheSummaryAndTheErrorLogAndSaves) {
  MakeFolder({{"/feed.xml", false}, {"/missing.xml", false}});
  CliRun run = RunCli({"update", "--data", Data()});
  ASSERT_EQ(run.status, 0) << run.err;
  // The entry keeps the address that failed and says what the server answered.
  EXPECT_EQ(run.out,
            "新着情報が 2 件あります。\n\n更新に失敗した項目が 1 件ありました。\n"
            "応答無し - missing.xml\n  " +
                server.Url("/missing.xml") + "\n  404 Not Found\n");
  // Without a terminal the progress comes as plain lines.
  EXPECT_NE(run.err.find("] 確認中 : feed.xml …\n"), std::string::npos) << run.err;
  const Saved feed = Load("feed.xml");
  EXPECT_EQ(feed.kind, store::kKindChannel);
  EXPECT_EQ(feed.items, 2u);
  EXPECT_EQ(Load("missing.xml").gonecount, 1);
  EXPECT_NE(lastRunTime, 0);  // the time of the run reached plover.ini
  EXPECT_FALSE(testsupport::FileExists(Data() + "system/recovery.dat"));

  // Unchanged: the server answers 304, and only the failure is left to report.
  run = RunCli({"update", "--threads", "1", "--data", Data()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "更新に失敗した項目が 1 件ありました。\n応答無し - missing.xml\n  " + server.Url("/missing.xml") +
                         "\n  404 Not Found\n");
  EXPECT_EQ(Load("feed.xml").items, 2u);
}

// Every saved search is also an alert: the new unread items that match one are counted
// and the summary says so, as the window's balloon does.
TEST_F(UpdateCommand, NewItemsMatchingASavedSearchAreReported) {
  MakeFolder({{"/feed.xml", false}}, {"二", "三"});
  const CliRun run = RunCli({"update", "--data", Data()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "新着情報が 2 件あります。\n\n検索キーワードに一致する項目が 1 件ありました。\n");

  // Nothing new the second time: nothing to match and nothing to say.
  const CliRun again = RunCli({"update", "--data", Data()});
  ASSERT_EQ(again.status, 0) << again.err;
  EXPECT_EQ(again.out, "");
}

TEST_F(UpdateCommand, ResumeFetchesTheStoppedChannels) {
  MakeFolder({{"/feed.xml", true}, {"/missing.xml", true}});
  // A full run passes stopped channels by and says how to start them.
  const CliRun full = RunCli({"update", "--data", Data()});
  ASSERT_EQ(full.status, 0) << full.err;
  EXPECT_TRUE(server.Requests().empty());
  EXPECT_NE(full.err.find("購読を停止中のチャンネルが 2 件あります (plover-cli update --resume で購読を再開します)"),
            std::string::npos)
      << full.err;

  const CliRun run = RunCli({"update", "--resume", "--data", Data()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.substr(0, run.out.find('\n')), "新着情報が 2 件あります。");
  EXPECT_EQ(Load("feed.xml").kind, store::kKindChannel);
  EXPECT_EQ(Load("feed.xml").items, 2u);
  EXPECT_EQ(Load("missing.xml").kind, store::kKindStopped);
}

TEST_F(UpdateCommand, RefusedWhileTheFolderIsInUse) {
  MakeFolder({{"/feed.xml", false}});
  testsupport::ManualEventLoop loop;
  platform::InstanceLock lock(loop, [] {});
  ASSERT_EQ(lock.Acquire(Data(), 0), platform::InstanceLock::Result::kAcquired);
  const CliRun run = RunCli({"update", "--data", Data()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("データフォルダは Plover か別の plover-cli が使用中です。"), std::string::npos) << run.err;
  EXPECT_TRUE(server.Requests().empty());
}

TEST_F(UpdateCommand, AnInterruptStopsTheRunAndStillSaves) {
  MakeFolder({{"/feed.xml", false}, {"/slow.xml", false}});
  // One fetch at a time: the slow channel is asked for only once the feed before it has
  // been fetched and taken in, so its request is the moment to interrupt.
  testsupport::StartedProgram program(PLOVER_CLI, {"update", "--threads", "1", "--data", Data()});
  WatchEnd(program.Pid());
  ASSERT_TRUE(WaitForSlowRequest()) << "the program ended before it asked for the slow channel";
  ASSERT_EQ(server.Requests().size(), 2u);
  kill(program.Pid(), SIGINT);
  const CliRun run = program.Wait();
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("更新を中止しています…"), std::string::npos) << run.err;
  // The items fetched before the interrupt are saved; the given-up fetch is no failure.
  EXPECT_EQ(Load("feed.xml").items, 2u);
  EXPECT_EQ(Load("slow.xml").kind, store::kKindChannel);
  EXPECT_EQ(run.out.find("応答無し"), std::string::npos) << run.out;
}

// A full disk is said for what it is: no channel is named and no damaged feed is blamed.
// The data folder sits on a small file system of its own, mounted for the one run in a
// mount namespace; where the system allows no such namespace, the test is skipped.
TEST_F(UpdateCommand, AFullDiskIsSaidForWhatItIs) {
  const std::string unshare = "/usr/bin/unshare";
  if (!testsupport::FileExists(unshare) || testsupport::RunProgram(unshare, {"-rm", "true"}).status != 0) {
    GTEST_SKIP() << "no mount namespace to be had here";
  }
  MakeFolder({{"/big.xml", false}});
  testsupport::TempDir small;
  const std::string script =
      "mount -t tmpfs -o size=256k tmpfs \"$1\" && cp -R \"$2\". \"$1\" && exec \"$3\" update --data \"$1\"";
  const CliRun run =
      testsupport::RunProgram(unshare, {"-rm", "/bin/sh", "-c", script, "sh", small.Path(), Data(), PLOVER_CLI});
  EXPECT_EQ(run.status, 1) << run.err;
  EXPECT_EQ(server.Requests().size(), 1u);
  const std::string full = "データが正しく保存できませんでした ディスクの空き容量が足りません。\r\ndisk full: ";
  const size_t at = run.err.find(full);
  ASSERT_NE(at, std::string::npos) << run.err;
  const size_t number = at + full.size();
  const size_t end = run.err.find(" bytes free\n", number);
  ASSERT_NE(end, std::string::npos) << run.err;
  EXPECT_GT(end, number);
  EXPECT_EQ(run.err.find_first_not_of("0123456789", number), end) << run.err;
  EXPECT_EQ(run.err.find("サイト名"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("破損"), std::string::npos) << run.err;
}

TEST_F(UpdateCommand, ThreadsMustBeAPositiveNumber) {
  MakeFolder({{"/feed.xml", false}});
  for (const char* threads : {"0", "x", "65"}) {
    const CliRun run = RunCli({"update", "--threads", threads, "--data", Data()});
    EXPECT_EQ(run.status, 2) << threads;
  }
  EXPECT_TRUE(server.Requests().empty());
}

}  // namespace
