// SPDX-License-Identifier: MIT
#include "store/datafile/BackupFiles.h"

#include <algorithm>

#include "platform/Ascii.h"
#include "platform/Files.h"
#include "store/LocalClock.h"

namespace store {
namespace {

constexpr std::string_view kPrefix = "feed";
constexpr std::string_view kSuffix = ".bak.dat";

bool IsBackupName(std::string_view name) {
  return name.size() >= kPrefix.size() + kSuffix.size() &&
         platform::EqualsAsciiNoCase(name.substr(0, kPrefix.size()), kPrefix) &&
         platform::EqualsAsciiNoCase(name.substr(name.size() - kSuffix.size()), kSuffix);
}

// Ascending without regard to letter case, bytes deciding between names that differ only
// in case, so the order is the same on every run.
bool NameBefore(const std::string& a, const std::string& b) {
  const auto lower = [](std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), platform::AsciiLower);
    return s;
  };
  const std::string la = lower(a);
  const std::string lb = lower(b);
  return la != lb ? la < lb : a < b;
}

}  // namespace

std::string BackupFileName(std::time_t lastWrite) {
  return std::string(kPrefix) + LocalDateStamp(lastWrite) + std::string(kSuffix);
}

std::vector<std::string> ListBackupFiles(const std::string& folder) {
  std::vector<std::string> names = platform::ListFiles(folder);
  names.erase(std::remove_if(names.begin(), names.end(), [](const std::string& n) { return !IsBackupName(n); }),
              names.end());
  std::sort(names.begin(), names.end(), NameBefore);
  return names;
}

void PruneBackupFiles(const std::string& folder) {
  const std::vector<std::string> names = ListBackupFiles(folder);
  if (names.size() <= kBackupsKept) return;
  const std::string base = platform::WithSlash(folder);
  for (size_t i = 0; i + kBackupsKept < names.size(); ++i) platform::RemoveIfPresent(base + names[i]);
}

}  // namespace store
