// SPDX-License-Identifier: MIT
#include "platform/SafePath.h"

#include <sys/stat.h>

#include <climits>
#include <cstdlib>

namespace platform {
namespace {

std::optional<std::string> RealPath(const std::string& path) {
  char resolved[PATH_MAX];
  if (::realpath(path.c_str(), resolved) == nullptr) return std::nullopt;
  return std::string(resolved);
}

bool HasParentSegment(std::string_view relative) {
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find('/', start);
    if (end == std::string_view::npos) end = relative.size();
    if (relative.substr(start, end - start) == "..") return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

std::optional<std::string> FileInsideFolder(const std::string& root, std::string_view relative) {
  if (relative.empty() || relative.front() == '/') return std::nullopt;
  if (relative.find('\0') != std::string_view::npos || relative.find('\\') != std::string_view::npos) {
    return std::nullopt;
  }
  if (HasParentSegment(relative)) return std::nullopt;
  const std::optional<std::string> base = RealPath(root);
  if (!base) return std::nullopt;
  // A link inside the folder may still point out of it: the resolved path decides.
  const std::optional<std::string> file = RealPath(*base + "/" + std::string(relative));
  if (!file || file->size() <= base->size() + 1 || file->compare(0, base->size(), *base) != 0 ||
      (*file)[base->size()] != '/') {
    return std::nullopt;
  }
  struct stat info {};
  if (::stat(file->c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return file;
}

}  // namespace platform
