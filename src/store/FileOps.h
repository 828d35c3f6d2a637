// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The few file-system steps the data file, its backups and the journal need, on native
// (UTF-8) paths. None of them throws; each says in its result whether it worked.
namespace store::fileops {

// The folder with exactly one trailing "/" ("" stays "").
std::string WithSlash(std::string folder);

// The folder part of a path, with its trailing "/" ("" for a bare name).
std::string FolderOf(const std::string& path);

bool IsRegularFile(const std::string& path);

// True when anything (a file, a folder, a dangling link) has that name.
bool NameExists(const std::string& path);

// Removes a file; true when no file of that name is left (also when there was none).
bool RemoveIfPresent(const std::string& path);

std::optional<std::time_t> ModificationTime(const std::string& path);

enum class ReadOutcome {
  kOk,
  kCannotRead,   // the file could not be opened or a read failed
  kSizeDiffers,  // fewer or more bytes came than the file system reported
};

// Reads the whole file and checks the count of bytes against the size the file system
// reports for it.
ReadOutcome ReadWholeFileChecked(const std::string& path, std::string& out);

// Gives the file `from` a second name `to`: a hard link where the file system has them,
// a flushed copy otherwise. Never replaces an existing `to` (false then).
bool LinkOrCopyNew(const std::string& from, const std::string& to);

// Writes `bytes` to a temporary file beside `path`, flushes it and renames it over `path`.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

// Copies a file over `to` the same way (the old `to` is replaced only by a complete copy).
bool CopyFileReplacing(const std::string& from, const std::string& to);

// Flushes a folder, so that renames and new names inside it survive a power cut.
void SyncFolder(const std::string& folder);

// The names of the regular files directly inside a folder, unsorted.
std::vector<std::string> ListRegularFiles(const std::string& folder);

// Creates one folder; true when it exists afterwards.
bool EnsureFolder(const std::string& path);

}  // namespace store::fileops
