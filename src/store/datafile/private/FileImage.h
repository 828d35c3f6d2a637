// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Files.h"

namespace store {

// The whole content of a file in memory, read once, for a parser that works in place.
// The bytes live in a mapping of their own rather than on the heap: a data file of tens of
// megabytes is read into memory taken in large pages (far fewer page faults than
// ordinary heap pages), and all of it goes back to the system the moment the image is
// dropped instead of staying in the heap after the load.
class FileImage {
 public:
  FileImage() = default;
  FileImage(const FileImage&) = delete;
  FileImage& operator=(const FileImage&) = delete;
  ~FileImage() { Release(); }

  // Reads the file and checks the count of bytes read against the size the file system
  // reports. Any earlier content is dropped first.
  platform::ReadOutcome Read(const std::string& path);

  std::string_view Bytes() const { return std::string_view(data_, size_); }

 private:
  void Release();

  char* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;
};

}  // namespace store
