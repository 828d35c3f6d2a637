// SPDX-License-Identifier: MIT
// "plover-cli parse" given a web address: the built program fetches it from a server
// inside the test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "support/LoopbackServer.h"
#include "support/TempDir.h"

extern char** environ;

namespace fetch {
namespace {

struct CliRun {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs plover-cli with `arguments`, without the proxy variables of the environment (the
// program follows the system's proxy settings, and the server is right here).
CliRun RunCli(const std::vector<std::string>& arguments) {
  testsupport::TempDir outputs;
  const std::string outPath = outputs / "out";
  const std::string errPath = outputs / "err";
  std::vector<std::string> words{PLOVER_CLI};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  std::vector<char*> envp;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string variable = *entry;
    const std::string name = variable.substr(0, variable.find('='));
    if (name.size() >= 6 && (name.ends_with("_proxy") || name.ends_with("_PROXY"))) continue;
    envp.push_back(*entry);
  }
  envp.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, PLOVER_CLI, &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  CliRun run;
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << PLOVER_CLI;
    return run;
  }
  int status = 0;
  waitpid(pid, &status, 0);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = testsupport::ReadFile(outPath);
  run.err = testsupport::ReadFile(errPath);
  return run;
}

TEST(CliFetchTest, ParseFetchesAWebAddress) {
  testsupport::LoopbackServer server;
  server.Routes().Get("/feed.xml", [](const httplib::Request&, httplib::Response& response) {
    response.set_content(
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>取得したフィード</title>"
        "<item><title>一つ目</title><link>a.html</link></item></channel></rss>",
        "application/rss+xml");
  });
  server.Routes().Get("/gone", [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
  server.Start();

  const CliRun run = RunCli({"parse", server.Url("/feed.xml")});
  ASSERT_EQ(run.status, 0) << run.err;
  // The address is also the channel's address, and relative links are read against it.
  EXPECT_EQ(run.out.rfind("{\"result\":4,\"channel\":{\"rdfurl\":\"" + server.Url("/feed.xml") + "\"", 0), 0u)
      << run.out;
  EXPECT_NE(run.out.find("\"title\":\"取得したフィード\""), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("{\"title\":\"一つ目\""), std::string::npos) << run.out;
  ASSERT_EQ(server.Requests().size(), 1u);
  EXPECT_EQ(server.Requests()[0].Header("User-Agent"), "Plover [w] (https://plover.example.org/)");

  const CliRun gone = RunCli({"parse", server.Url("/gone")});
  EXPECT_EQ(gone.status, 1);
  EXPECT_EQ(gone.out, "");
  EXPECT_EQ(gone.err, "文書を取得できませんでした: " + server.Url("/gone") + " (HTTP 404)\n");

  const int closedPort = testsupport::ClosedPort();
  const std::string unreachable = "http://127.0.0.1:" + std::to_string(closedPort) + "/feed.xml";
  const CliRun refused = RunCli({"parse", unreachable});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.err, "文書を取得できませんでした: " + unreachable + " (URLを開くことができませんでした。)\n");
}

}  // namespace
}  // namespace fetch
