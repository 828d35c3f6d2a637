// SPDX-License-Identifier: MIT
#include "store/datafile/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace store {
namespace {

constexpr mode_t kPrivateMode = 0600;

}  // namespace

bool OutputFile::Create(const std::string& path) {
  Close();
  do {
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, kPrivateMode);
  } while (fd_ < 0 && errno == EINTR);
  if (fd_ < 0) return false;
  // A file that was there already keeps its permissions through open; the data and the
  // journal are the user's alone all the same.
  if (::fchmod(fd_, kPrivateMode) != 0) {
    Close();
    return false;
  }
  return true;
}

bool OutputFile::Write(std::string_view bytes) {
  if (fd_ < 0) return false;
  const char* data = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::write(fd_, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return Failed();
    }
    data += written;
    left -= static_cast<size_t>(written);
  }
  return true;
}

bool OutputFile::WriteAt(uint64_t offset, std::string_view bytes) {
  if (fd_ < 0) return false;
  const char* data = bytes.data();
  size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = ::pwrite(fd_, data, left, static_cast<off_t>(offset));
    if (written < 0) {
      if (errno == EINTR) continue;
      return Failed();
    }
    data += written;
    left -= static_cast<size_t>(written);
    offset += static_cast<uint64_t>(written);
  }
  return true;
}

bool OutputFile::Sync() {
  if (fd_ < 0) return false;
  return ::fsync(fd_) == 0 || Failed();
}

bool OutputFile::Close() {
  if (fd_ < 0) return true;
  const int result = ::close(fd_);
  fd_ = -1;
  return result == 0 || Failed();
}

bool OutputFile::Failed() {
  if (error_ == 0) error_ = errno;
  return false;
}

}  // namespace store
