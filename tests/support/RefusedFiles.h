// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "support/TempDir.h"

namespace testsupport {

// A path that is there and still is no document to read: a device, a link to one, a
// folder, a pipe without a writer (a plain open would wait for ever), a file over the
// 64 MiB ceiling. Every reader of local documents refuses each with `cause`.
struct RefusedFile {
  const char* name;
  // Makes the thing in the folder (when it needs making) and returns its absolute path.
  std::function<std::string(const TempDir&)> make;
  std::string cause;
};

inline void PrintTo(const RefusedFile& file, std::ostream* out) {
  *out << file.name;
}

// One of each kind, with distinct names, so that all may be made in one folder.
std::vector<RefusedFile> RefusedFiles();

// A sparse file of `size` bytes, beginning "<rss>", which takes no room on the disk.
std::string SparseFile(const std::string& path, uintmax_t size);

}  // namespace testsupport
