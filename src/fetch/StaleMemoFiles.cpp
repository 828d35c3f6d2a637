// SPDX-License-Identifier: MIT
#include "fetch/private/StaleMemoFiles.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

namespace fetch {

int RemoveStaleHtmlMemos(const std::string& dataFolder, std::time_t now) {
  namespace fs = std::filesystem;
  constexpr std::time_t kSecondsPerDay = 86400;
  std::error_code error;
  fs::directory_iterator entries(fs::path(dataFolder) / "system" / "htmlrss", error);
  if (error) return 0;
  int removed = 0;
  for (const fs::directory_entry& entry : entries) {
    // A symbolic link is not followed: only the folder's own files are the program's.
    std::error_code ignored;
    if (!entry.is_regular_file(ignored) || entry.is_symlink(ignored)) continue;
    if (entry.path().extension() != ".tmp") continue;
    struct stat status {};
    if (::lstat(entry.path().c_str(), &status) != 0) continue;
    const std::time_t age = now - status.st_mtime;
    if (age < 0 || age / kSecondsPerDay <= kStaleMemoDays) continue;
    if (fs::remove(entry.path(), ignored)) ++removed;
  }
  return removed;
}

}  // namespace fetch
