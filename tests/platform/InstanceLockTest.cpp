// SPDX-License-Identifier: MIT
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <map>
#include <string>
#include <thread>

#include "platform/InstanceLock.h"
#include "support/ManualEventLoop.h"
#include "support/TempDir.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using Result = InstanceLock::Result;

// The open descriptors of this process with their close-on-exec flag.
std::map<int, bool> OpenDescriptors() {
  std::map<int, bool> result;
  DIR* dir = ::opendir("/proc/self/fd");
  const int own = ::dirfd(dir);
  while (const dirent* entry = ::readdir(dir)) {
    const int fd = std::atoi(entry->d_name);
    if (entry->d_name[0] == '.' || fd == own) continue;
    result[fd] = (::fcntl(fd, F_GETFD) & FD_CLOEXEC) != 0;
  }
  ::closedir(dir);
  return result;
}

// Whether thread `tid` of this process sits in the kernel's sleep call now. Acquire sleeps
// only between two tries, so a retrying thread seen asleep has found the lock taken at
// least once. The file reads "running" while the thread is outside any system call.
bool AsleepBetweenTries(pid_t tid) {
  std::ifstream file("/proc/self/task/" + std::to_string(tid) + "/syscall");
  long number = -1;
  if (!(file >> number)) return false;
#ifdef SYS_nanosleep
  if (number == SYS_nanosleep) return true;
#endif
  return number == SYS_clock_nanosleep;
}

// Holds the lock file the way a copy that has not yet (or no longer) answers would.
class RawLockHolder {
 public:
  explicit RawLockHolder(const std::string& folder)
      : fd_(::open((folder + ".plover.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
    EXPECT_EQ(::flock(fd_, LOCK_EX | LOCK_NB), 0);
  }
  ~RawLockHolder() { Release(); }
  void Release() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

class InstanceLockTest : public testing::Test {
 protected:
  testsupport::TempDir folder;
  testsupport::ManualEventLoop loop;
  int forwarded = 0;
  std::thread::id callbackThread;
  std::function<void()> Count() {
    return [this] {
      ++forwarded;
      callbackThread = std::this_thread::get_id();
    };
  }
};

TEST_F(InstanceLockTest, ASecondLockInTheSameProcessAsksTheFirstToComeForward) {
  InstanceLock first(loop, Count());
  ASSERT_EQ(first.Acquire(folder.Path()), Result::kAcquired);
  EXPECT_TRUE(first.Held());

  int secondForwarded = 0;
  InstanceLock second(loop, [&] { ++secondForwarded; });
  EXPECT_EQ(second.Acquire(folder.Path(), 2000), Result::kAnotherCopyRuns);
  EXPECT_FALSE(second.Held());

  EXPECT_EQ(forwarded, 0) << "the request arrives through the event loop";
  loop.RunPending();
  EXPECT_EQ(forwarded, 1);
  EXPECT_EQ(callbackThread, std::this_thread::get_id());
  EXPECT_EQ(secondForwarded, 0);

  // The same folder through another spelling is the same folder.
  InstanceLock third(loop, nullptr);
  EXPECT_EQ(third.Acquire(folder.Path() + "./", 2000), Result::kAnotherCopyRuns);
  loop.RunPending();
  EXPECT_EQ(forwarded, 2);
}

TEST_F(InstanceLockTest, AStartInAnotherProcessIsToldAnotherCopyRuns) {
  InstanceLock first(loop, Count());
  ASSERT_EQ(first.Acquire(folder.Path()), Result::kAcquired);

  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    // The child only reports through its exit status.
    testsupport::ManualEventLoop childLoop;
    InstanceLock second(childLoop, nullptr);
    const Result result = second.Acquire(folder.Path(), 2000);
    ::_exit(result == Result::kAnotherCopyRuns ? 0 : 1 + static_cast<int>(result));
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  loop.RunPending();
  EXPECT_EQ(forwarded, 1);
}

TEST_F(InstanceLockTest, DifferentFoldersDoNotInterfere) {
  testsupport::TempDir other;
  InstanceLock a(loop, Count());
  InstanceLock b(loop, Count());
  EXPECT_EQ(a.Acquire(folder.Path()), Result::kAcquired);
  EXPECT_EQ(b.Acquire(other.Path()), Result::kAcquired);
  loop.RunPending();
  EXPECT_EQ(forwarded, 0);
}

TEST_F(InstanceLockTest, AHeldLockThatNobodyAnswersFailsAfterTheRetryTime) {
  RawLockHolder holder(folder.Path());
  InstanceLock lock(loop, Count());
  const auto start = Clock::now();
  EXPECT_EQ(lock.Acquire(folder.Path(), 300), Result::kFailed);
  // It kept trying for the whole retry time before it gave up.
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(300));
  EXPECT_FALSE(lock.Held());
}

TEST_F(InstanceLockTest, ACopyThatLetsGoWhileWeRetryIsSucceeded) {
  RawLockHolder holder(folder.Path());
  const pid_t retrying = ::gettid();
  std::atomic<bool> acquiring{false};
  std::atomic<bool> returned{false};
  bool releasedWhileRetrying = false;
  // The holder lets go once the other side has found the lock taken and is waiting for
  // its next try; should Acquire return without ever waiting, it stops watching.
  std::thread releaser([&] {
    while (!returned && !(acquiring && AsleepBetweenTries(retrying))) std::this_thread::yield();
    releasedWhileRetrying = !returned;
    holder.Release();
  });
  InstanceLock lock(loop, Count());
  acquiring = true;
  EXPECT_EQ(lock.Acquire(folder.Path(), InstanceLock::kDefaultRetryMs), Result::kAcquired);
  returned = true;
  releaser.join();
  EXPECT_TRUE(releasedWhileRetrying);
}

TEST_F(InstanceLockTest, ReleaseIsPromptAndLetsTheNextCopyIn) {
  auto first = std::make_unique<InstanceLock>(loop, Count());
  ASSERT_EQ(first->Acquire(folder.Path()), Result::kAcquired);
  first.reset();

  // Once the first is gone, the lock and the socket are free at the first try: the next
  // copy gets them without retrying.
  InstanceLock next(loop, Count());
  EXPECT_EQ(next.Acquire(folder.Path(), 0), Result::kAcquired);
}

TEST_F(InstanceLockTest, LeavesNoDescriptorOpenAndNoneInheritable) {
  const std::map<int, bool> before = OpenDescriptors();
  {
    InstanceLock first(loop, Count());
    ASSERT_EQ(first.Acquire(folder.Path()), Result::kAcquired);
    for (const auto& [fd, closeOnExec] : OpenDescriptors()) {
      if (!before.count(fd)) {
        EXPECT_TRUE(closeOnExec) << "descriptor " << fd;
      }
    }
    InstanceLock second(loop, nullptr);
    EXPECT_EQ(second.Acquire(folder.Path(), 1000), Result::kAnotherCopyRuns);
    loop.RunPending();
  }
  {
    RawLockHolder holder(folder.Path());
    InstanceLock failing(loop, nullptr);
    EXPECT_EQ(failing.Acquire(folder.Path(), 100), Result::kFailed);
  }
  std::map<int, bool> after = OpenDescriptors();
  EXPECT_EQ(after.size(), before.size());
}

}  // namespace
}  // namespace platform
