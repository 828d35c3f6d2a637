// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Small file-system helpers. Paths are native (UTF-8) strings; a folder may be given with
// or without its trailing "/". None of them throws: each reports failure in its result.
namespace platform {

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes the bytes to a temporary file beside `path`, flushes it to disk and renames it
// over `path`, so a crash leaves either the old file or the new one, never half of one.
// An existing file keeps its permissions.
bool WriteFileDurably(const std::string& path, std::string_view bytes);

// Copies a file the same way (temporary file, flush, rename), keeping its permissions.
bool CopyFileDurably(const std::string& from, const std::string& to);

// Moves a folder to `to` (the folder's new full path). When `to` exists already the two
// are merged, files of `from` replacing those of the same name; across file systems the
// content is copied and then removed. False when anything could not be moved.
bool MoveFolder(const std::string& from, const std::string& to);

bool FileExists(const std::string& path);    // a regular file (symbolic links followed)
bool FolderExists(const std::string& path);  // a folder (symbolic links followed)

// Creates the folder and any missing parents; true when it exists afterwards.
bool CreateFolders(const std::string& path);

bool RemoveFile(const std::string& path);

// The names of the regular files directly inside a folder, in no particular order.
std::vector<std::string> ListFiles(const std::string& folder);

// The folder part of a path, with its trailing "/" ("" for a bare name).
std::string FolderOf(const std::string& path);

// The folder with exactly one trailing "/" ("" stays "").
std::string WithSlash(std::string folder);

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

// Flushes a folder, so that renames and new names inside it survive a power cut.
void SyncFolder(const std::string& folder);

}  // namespace platform
