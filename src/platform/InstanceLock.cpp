// SPDX-License-Identifier: MIT
#include "platform/InstanceLock.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "platform/Files.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// The lock file's name starts with a dot so that it never matches the "plover.*" files
// that are moved when data changes folders.
constexpr char kLockFileName[] = ".plover.lock";
constexpr std::string_view kRequest = "plover: come forward\n";
constexpr std::string_view kAnswer = "ok\n";
constexpr int kRequestWaitMs = 1000;
constexpr int64_t kRetryPauseMs = 50;

uint64_t Fnv1a64(std::string_view bytes) {
  uint64_t hash = 0xcbf29ce484222325ULL;
  for (unsigned char c : bytes) {
    hash ^= c;
    hash *= 0x100000001b3ULL;
  }
  return hash;
}

// The socket lives in the abstract namespace (no file to clean up after a crash). Its
// name carries the user id and a hash of the folder's canonical path, so that different
// users and different data folders never meet.
std::string SocketName(const std::string& canonicalFolder) {
  char name[64];
  std::snprintf(name, sizeof name, "plover-instance-%u-%016llx", static_cast<unsigned>(::getuid()),
                static_cast<unsigned long long>(Fnv1a64(canonicalFolder)));
  return name;
}

socklen_t MakeAddress(const std::string& name, sockaddr_un& address) {
  std::memset(&address, 0, sizeof address);
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
}

// Anybody on the machine may reach an abstract socket; only the same user counts.
bool PeerIsSameUser(int fd) {
  ucred credentials{};
  socklen_t length = sizeof credentials;
  return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0 && credentials.uid == ::getuid();
}

// Waits until `fd` can be read. False on time-out, on error, or when `wakeFd` (if any)
// is signalled first.
bool WaitReadable(int fd, int wakeFd, int timeoutMs) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {wakeFd, POLLIN, 0}};
  const nfds_t count = wakeFd >= 0 ? 2 : 1;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    const int result = ::poll(fds, count, static_cast<int>(std::max<int64_t>(left, 0)));
    if (result < 0 && errno == EINTR) continue;
    if (result <= 0) return false;
    if (count == 2 && fds[1].revents != 0) return false;
    return fds[0].revents != 0;
  }
}

// Reads one short line: until a line end, the peer closing, `limit` bytes or the end of the wait.
std::string ReadLine(int fd, int wakeFd, int timeoutMs, size_t limit) {
  std::string text;
  while (text.size() < limit && text.find('\n') == std::string::npos) {
    if (!WaitReadable(fd, wakeFd, timeoutMs)) break;
    char buffer[64];
    const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
    if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (got <= 0) break;
    text.append(buffer, static_cast<size_t>(got));
  }
  return text;
}

bool SendAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent < 0 && errno == EINTR) continue;
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(sent));
  }
  return true;
}

int BindListener(const std::string& name) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  sockaddr_un address;
  const socklen_t length = MakeAddress(name, address);
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 || ::listen(fd, 8) != 0) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Asks the copy that holds the lock to come forward. True when a copy of the same user
// took the request; its acknowledgement is awaited briefly but not required, since a
// copy that is busy right now will still see the request.
bool AskRunningCopy(const std::string& name) {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  sockaddr_un address;
  const socklen_t length = MakeAddress(name, address);
  bool asked = false;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), length) == 0 && PeerIsSameUser(fd) &&
      SendAll(fd, kRequest)) {
    asked = true;
    ReadLine(fd, -1, InstanceLock::kAcknowledgeWaitMs, kAnswer.size());
  }
  ::close(fd);
  return asked;
}

void CloseIfOpen(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

InstanceLock::InstanceLock(EventLoop& loop, std::function<void()> onComeForward)
    : loop_(loop), onComeForward_(std::make_shared<const std::function<void()>>(std::move(onComeForward))) {}

InstanceLock::~InstanceLock() {
  Release();
}

InstanceLock::Result InstanceLock::Acquire(const std::string& dataFolder, int64_t retryMs) {
  Release();
  if (!CreateFolders(dataFolder)) return Result::kFailed;
  char* resolved = ::realpath(dataFolder.c_str(), nullptr);
  if (resolved == nullptr) return Result::kFailed;
  const std::string canonical = resolved;
  std::free(resolved);

  int lockFd = ::open((canonical + "/" + kLockFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (lockFd < 0) return Result::kFailed;
  const std::string name = SocketName(canonical);
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(retryMs);
  bool locked = false;
  for (;;) {
    if (!locked) {
      locked = ::flock(lockFd, LOCK_EX | LOCK_NB) == 0;
      if (!locked && errno != EWOULDBLOCK && errno != EINTR) break;
    }
    if (locked) {
      // A copy that ends closes its socket before it lets go of the lock, so the name is
      // normally free here; when it is not, somebody else holds it and we wait.
      listenFd_ = BindListener(name);
      if (listenFd_ >= 0) break;
    } else if (AskRunningCopy(name)) {
      ::close(lockFd);
      return Result::kAnotherCopyRuns;
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) break;
    std::this_thread::sleep_for(std::min<Clock::duration>(deadline - now, std::chrono::milliseconds(kRetryPauseMs)));
  }
  if (listenFd_ < 0) {
    ::close(lockFd);
    return Result::kFailed;
  }
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    CloseIfOpen(listenFd_);
    ::close(lockFd);
    return Result::kFailed;
  }
  lockFd_ = lockFd;
  listener_ = std::thread([this] { Listen(); });
  return Result::kAcquired;
}

bool InstanceLock::HeldElsewhere(const std::string& dataFolder) {
  char* resolved = ::realpath(dataFolder.c_str(), nullptr);
  if (resolved == nullptr) return false;
  const std::string canonical = resolved;
  std::free(resolved);
  const int fd = ::open((canonical + "/" + kLockFileName).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) return false;
  // A shared lock is refused only while a copy holds the exclusive one; closing the file
  // lets go of it again at once.
  const bool held = ::flock(fd, LOCK_SH | LOCK_NB) != 0 && errno == EWOULDBLOCK;
  ::close(fd);
  return held;
}

void InstanceLock::Release() {
  if (listener_.joinable()) {
    const uint64_t one = 1;
    while (::write(wakeFd_, &one, sizeof one) < 0 && errno == EINTR) {
    }
    listener_.join();
  }
  // The socket goes before the lock, so that a new copy that gets the lock finds the
  // socket name free.
  CloseIfOpen(listenFd_);
  CloseIfOpen(wakeFd_);
  CloseIfOpen(lockFd_);
}

void InstanceLock::Listen() {
  for (;;) {
    pollfd fds[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0 || (fds[0].revents & (POLLERR | POLLNVAL)) != 0) return;
    if ((fds[0].revents & POLLIN) == 0) continue;
    const int connection = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (connection < 0) continue;
    Serve(connection);
    ::close(connection);
  }
}

void InstanceLock::Serve(int connection) {
  if (!PeerIsSameUser(connection)) return;
  if (ReadLine(connection, wakeFd_, kRequestWaitMs, kRequest.size()) != kRequest) return;
  loop_.Post([callback = onComeForward_] {
    if (*callback) (*callback)();
  });
  SendAll(connection, kAnswer);
}

}  // namespace platform
