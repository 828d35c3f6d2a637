// SPDX-License-Identifier: MIT
#include "store/datafile/private/FileImage.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace store {

platform::ReadOutcome FileImage::Read(const std::string& path) {
  Release();
  int fd;
  do {
    fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return platform::ReadOutcome::kCannotRead;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return platform::ReadOutcome::kCannotRead;
  }
  const auto expected = static_cast<size_t>(info.st_size);
  // One byte more than announced, so that a file that grew meanwhile is noticed.
  mapped_ = expected + 1;
  void* memory = ::mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) {
    mapped_ = 0;
    ::close(fd);
    return platform::ReadOutcome::kCannotRead;
  }
  data_ = static_cast<char*>(memory);
  // Only a hint: without large pages the read works all the same.
  ::madvise(data_, mapped_, MADV_HUGEPAGE);
  bool failed = false;
  while (size_ < mapped_) {
    const ssize_t got = ::read(fd, data_ + size_, mapped_ - size_);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) failed = true;
    if (got <= 0) break;
    size_ += static_cast<size_t>(got);
  }
  ::close(fd);
  if (failed) {
    Release();
    return platform::ReadOutcome::kCannotRead;
  }
  return size_ == expected ? platform::ReadOutcome::kOk : platform::ReadOutcome::kSizeDiffers;
}

void FileImage::Release() {
  if (data_ != nullptr) ::munmap(data_, mapped_);
  data_ = nullptr;
  size_ = 0;
  mapped_ = 0;
}

}  // namespace store
