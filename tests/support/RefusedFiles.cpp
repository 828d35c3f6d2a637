// SPDX-License-Identifier: MIT
#include "support/RefusedFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

namespace testsupport {

constexpr uintmax_t kCeiling = uintmax_t{64} * 1024 * 1024;

std::string SparseFile(const std::string& path, uintmax_t size) {
  WriteFile(path, "<rss>");
  std::filesystem::resize_file(path, size);
  return path;
}

std::vector<RefusedFile> RefusedFiles() {
  return {
      {"EndlessDevice", [](const TempDir&) { return std::string("/dev/zero"); }, "not a regular file"},
      {"LinkToADevice",
       [](const TempDir& dir) {
         std::filesystem::create_symlink("/dev/zero", dir / "zero.xml");
         return dir / "zero.xml";
       },
       "not a regular file"},
      {"Folder", [](const TempDir& dir) { return dir.Path(); }, "not a regular file"},
      {"PipeWithoutWriter",
       [](const TempDir& dir) {
         EXPECT_EQ(::mkfifo((dir / "pipe.xml").c_str(), 0600), 0);
         return dir / "pipe.xml";
       },
       "not a regular file"},
      {"OneByteOverTheCeiling", [](const TempDir& dir) { return SparseFile(dir / "big.xml", kCeiling + 1); },
       "size limit 64 MiB exceeded"},
  };
}

}  // namespace testsupport
