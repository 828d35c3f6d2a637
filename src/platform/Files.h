// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Small file-system helpers. Paths are native (UTF-8) strings; a folder may be given with
// or without its trailing "/". None of them throws: each reports failure in its result.
//
// What the program creates is its user's alone: folders are made 0700 and new files 0600,
// because the data folder holds credentials and everything the user reads. Only a file
// meant to be handed on (an exported subscription list) is made readable by others.
namespace platform {

// Who may read a file that is created new.
enum class FileAccess {
  kPrivate,  // the user alone (0600)
  kShared,   // everyone may read it, the user may write it (0644)
};

// The whole content of a file, or nothing when it cannot be read.
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes the bytes to a temporary file beside `path`, flushes it to disk and renames it
// over `path`, so a crash leaves either the old file or the new one, never half of one.
// An existing file keeps its permissions; a new one gets those of `access`. False also
// when the folder could not be flushed after the rename: the new file may then be in
// place, but it is not yet safe from a power cut.
bool WriteFileDurably(const std::string& path, std::string_view bytes, FileAccess access = FileAccess::kPrivate);

// Copies a file the same way (temporary file, flush, rename). The copy keeps the
// permissions of its source for the user, never for anyone else.
bool CopyFileDurably(const std::string& from, const std::string& to);

// Moves a folder to `to` (the folder's new full path). When `to` exists already the two
// are merged, files of `from` replacing those of the same name; across file systems the
// content is copied and then removed. False when anything could not be moved.
bool MoveFolder(const std::string& from, const std::string& to);

bool FileExists(const std::string& path);    // a regular file (symbolic links followed)
bool FolderExists(const std::string& path);  // a folder (symbolic links followed)

// Creates the folder and any missing parents (0700); true when it exists afterwards.
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

// How reading a local document ended.
enum class DocumentRead {
  kOk,
  kMissing,     // nothing of that name (or a folder on the way is missing)
  kNotRegular,  // a folder, a device, a pipe or a socket
  kTooLarge,    // longer than the limit
  kCannotRead,  // no permission, or a read failed
};

// Reads a regular file of at most `maxBytes` bytes into `out`; anything else is refused
// without being read, since a device such as /dev/zero never ends and a pipe may wait for
// a writer for ever. The file is opened without waiting (a pipe would otherwise hold the
// open itself) and its kind is checked on the open descriptor, so a name swapped between
// the check and the read changes nothing. A file whose size passes the limit is refused
// before a byte is read; one that grows past it while it is read is refused too, so memory
// never holds more than the limit and a byte. `out` is empty unless the result is kOk.
DocumentRead ReadRegularFile(const std::string& path, size_t maxBytes, std::string& out);

// Gives the file `from` a second name `to`: a hard link where the file system has them,
// a flushed copy otherwise; either is readable by the user alone (the hard link takes
// its first name with it). Never replaces an existing `to` (false then).
bool LinkOrCopyNew(const std::string& from, const std::string& to);

// The bytes an ordinary user may still write on the file system that holds `path`;
// nothing when it cannot be told.
std::optional<uint64_t> FreeBytes(const std::string& path);

// Flushes a folder, so that renames and new names inside it survive a power cut. False
// when the system reported an error while flushing it. A folder that cannot be opened,
// and a file system that cannot flush folders at all, are no error: there is nothing
// more the program could do for them.
bool SyncFolder(const std::string& folder);

// Takes the permissions for the group and for others away from a folder of this user
// that has any. True when it did so; false when the folder was private already, is
// missing, belongs to another user or could not be changed.
bool MakeFolderPrivate(const std::string& folder);

}  // namespace platform
