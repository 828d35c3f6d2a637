// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <string>
#include <vector>

// The daily backups of plover.dat, "feed<yyyymmdd>.bak.dat" in the data folder.
namespace store {

// How many backups are kept.
inline constexpr size_t kBackupsKept = 7;

// The backup name for a data file last written at `lastWrite` (its local date).
std::string BackupFileName(std::time_t lastWrite);

// The names (not paths) of the regular files in the folder that match "feed*.bak.dat",
// letter case ignored, in ascending order: oldest date first.
std::vector<std::string> ListBackupFiles(const std::string& folder);

// Keeps the last kBackupsKept names of ListBackupFiles and deletes the others.
void PruneBackupFiles(const std::string& folder);

}  // namespace store
