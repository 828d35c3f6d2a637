// SPDX-License-Identifier: MIT
#include "platform/Process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

namespace platform {
namespace {

// What posix_spawn is given. All of it is built before the fork: the intermediate child
// runs in a copy of a process that may have other threads, whose locks (the allocator's
// among them) may be held for ever in that copy, so it must not allocate or lock. With
// everything ready-made, glibc's posix_spawn does neither; it only makes system calls.
class SpawnPlan {
 public:
  SpawnPlan(const std::string& program, const std::vector<std::string>& arguments) : strings_(1, program) {
    strings_.insert(strings_.end(), arguments.begin(), arguments.end());
    for (std::string& s : strings_) argv_.push_back(s.data());
    argv_.push_back(nullptr);

    ready_ = posix_spawn_file_actions_init(&actions_) == 0;
    if (!ready_) return;
    actionsMade_ = true;
    ready_ = posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0) == 0 &&
             posix_spawn_file_actions_addopen(&actions_, STDOUT_FILENO, "/dev/null", O_WRONLY, 0) == 0 &&
             posix_spawn_file_actions_adddup2(&actions_, STDOUT_FILENO, STDERR_FILENO) == 0 &&
             posix_spawn_file_actions_addclosefrom_np(&actions_, STDERR_FILENO + 1) == 0;
    if (!ready_) return;

    ready_ = posix_spawnattr_init(&attributes_) == 0;
    if (!ready_) return;
    attributesMade_ = true;
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    const short flags = POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    ready_ = posix_spawnattr_setflags(&attributes_, flags) == 0 &&
             posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
             posix_spawnattr_setsigdefault(&attributes_, &all) == 0;
  }

  SpawnPlan(const SpawnPlan&) = delete;
  SpawnPlan& operator=(const SpawnPlan&) = delete;

  ~SpawnPlan() {
    if (attributesMade_) posix_spawnattr_destroy(&attributes_);
    if (actionsMade_) posix_spawn_file_actions_destroy(&actions_);
  }

  bool Ready() const { return ready_; }

  // Starts the program; 0 or the error number.
  int Spawn() {
    pid_t pid = 0;
    return posix_spawn(&pid, argv_[0], &actions_, &attributes_, argv_.data(), environ);
  }

 private:
  std::vector<std::string> strings_;
  std::vector<char*> argv_;
  posix_spawn_file_actions_t actions_{};
  posix_spawnattr_t attributes_{};
  bool actionsMade_ = false;
  bool attributesMade_ = false;
  bool ready_ = false;
};

class PosixProcessLauncher final : public ProcessLauncher {
 public:
  bool Start(const std::string& program, const std::vector<std::string>& arguments) override {
    if (program.empty()) return false;
    SpawnPlan plan(program, arguments);
    if (!plan.Ready()) return false;
    const pid_t intermediate = ::fork();
    if (intermediate < 0) return false;
    if (intermediate == 0) {
      // The intermediate child: start the program, report through the exit status whether
      // that worked, and end without running any of the parent's clean-up.
      const int error = plan.Spawn();
      ::_exit(error == 0 ? 0 : (error < 256 ? error : 255));
    }
    int status = 0;
    pid_t waited = 0;
    do {
      waited = ::waitpid(intermediate, &status, 0);
    } while (waited < 0 && errno == EINTR);
    return waited == intermediate && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  }
};

}  // namespace

std::unique_ptr<ProcessLauncher> MakeProcessLauncher() {
  return std::make_unique<PosixProcessLauncher>();
}

bool IsFileLocked(const std::string& path) {
  // Opening without blocking keeps a FIFO planted under the lock file's name from hanging us.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  bool locked = false;
  for (;;) {
    if (::flock(fd, LOCK_SH | LOCK_NB) == 0) {
      ::flock(fd, LOCK_UN);
      break;
    }
    if (errno == EINTR) continue;
    locked = errno == EWOULDBLOCK;
    break;
  }
  ::close(fd);
  return locked;
}

}  // namespace platform
