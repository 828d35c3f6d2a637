// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace testsupport {

// A fresh folder under the system's temporary folder, removed with everything in it
// when the object goes. Path() ends with "/".
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + name; }

 private:
  std::string path_;
};

// Whole-file helpers for tests (binary; they create missing folders when writing).
void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);

}  // namespace testsupport
