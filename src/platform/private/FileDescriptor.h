// SPDX-License-Identifier: MIT
#pragma once

#include <unistd.h>

#include <cstddef>

namespace platform {

// An open file descriptor that closes itself.
class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { Close(); }

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }

  // Closes it now; false when close(2) reported an error (for a file just written, a
  // write that did not reach the disk).
  bool Close() {
    if (fd_ < 0) return true;
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0;
  }

 private:
  int fd_;
};

// Writes all `size` bytes, going on after interrupted and partial writes; false on an
// error.
bool WriteAll(int fd, const char* data, size_t size);

}  // namespace platform
