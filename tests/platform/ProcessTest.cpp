// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/Process.h"
#include "support/TempDir.h"

namespace platform {
namespace {

constexpr int kWaitMs = 10000;

// A named pipe the started program writes its findings into. Reading it waits for the
// program itself, so the tests need no sleeping and no polling of files.
class Reply {
 public:
  Reply() : path_(dir_ / "reply") { EXPECT_EQ(::mkfifo(path_.c_str(), 0600), 0); }

  const std::string& Path() const { return path_; }

  // Everything written until the writer closes the pipe, or what came before the wait ran out.
  std::string Read() {
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return "<cannot open>";
    std::string text;
    for (;;) {
      pollfd waiting{fd, POLLIN, 0};
      const int ready = ::poll(&waiting, 1, kWaitMs);
      if (ready < 0 && errno == EINTR) continue;
      if (ready <= 0) {
        text += "<timed out>";
        break;
      }
      char buffer[256];
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      if (got <= 0) break;
      text.append(buffer, static_cast<size_t>(got));
    }
    ::close(fd);
    return text;
  }

 private:
  testsupport::TempDir dir_;
  std::string path_;
};

TEST(ProcessLauncherTest, ArgumentsArriveVerbatimAndNoChildIsLeft) {
  Reply reply;
  const std::vector<std::string> arguments = {
      "-c", "printf '%s|' \"$@\" > \"$0\"", reply.Path(), "two words", "$HOME", "\"quoted\"", ";ls", ""};
  ASSERT_TRUE(MakeProcessLauncher()->Start("/bin/sh", arguments));
  // The program is not our child: there is nothing for us to collect, now or later.
  int status = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  EXPECT_EQ(reply.Read(), "two words|$HOME|\"quoted\"|;ls||");
}

TEST(ProcessLauncherTest, ProgramGetsNothingOfOursAndASessionOfItsOwn) {
  Reply reply;
  // A descriptor that would survive exec unless the launcher closes it.
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  constexpr int kLeaky = 60;
  ASSERT_EQ(::dup2(pipeFds[1], kLeaky), kLeaky);
  const std::string script =
      "exec > \"$0\"; "
      "if [ -e /proc/$$/fd/60 ]; then echo leaked; else echo closed; fi; "
      "readlink /proc/$$/fd/0; "
      "set -- $(cat /proc/$$/stat); [ \"$6\" = \"$$\" ] && echo leader";
  const bool started = MakeProcessLauncher()->Start("/bin/sh", {"-c", script, reply.Path()});
  const std::string answer = reply.Read();
  ::close(kLeaky);
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  ASSERT_TRUE(started);
  EXPECT_EQ(answer, "closed\n/dev/null\nleader\n");
}

TEST(ProcessLauncherTest, ReportsProgramsThatCannotStart) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "not-executable", "#!/bin/sh\n");
  ::chmod((dir / "not-executable").c_str(), 0644);
  auto launcher = MakeProcessLauncher();
  for (const std::string& program : {dir / "missing", dir / "not-executable", dir.Path(), std::string()}) {
    EXPECT_FALSE(launcher->Start(program, {})) << program;
  }
  int status = 0;
  EXPECT_EQ(::waitpid(-1, &status, WNOHANG), -1);
}

TEST(FileLockTest, SeesALockHeldThroughAnotherOpenFile) {
  testsupport::TempDir dir;
  const std::string path = dir / "Podhall.lock";
  EXPECT_FALSE(IsFileLocked(path));  // missing
  testsupport::WriteFile(path, "");
  EXPECT_FALSE(IsFileLocked(path));

  const int holder = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_TRUE(IsFileLocked(path));
  EXPECT_TRUE(IsFileLocked(path));  // looking does not take the lock away
  ::flock(holder, LOCK_UN);
  EXPECT_FALSE(IsFileLocked(path));
  ::close(holder);

  // A named pipe under the lock file's name neither hangs the test nor counts as a lock.
  const std::string fifo = dir / "fifo.lock";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(IsFileLocked(fifo));
}

}  // namespace
}  // namespace platform
