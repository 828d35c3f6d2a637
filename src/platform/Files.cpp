// SPDX-License-Identifier: MIT
#include "platform/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <memory>

#include "platform/private/FileDescriptor.h"

namespace platform {
namespace {

constexpr size_t kCopyBlock = 64 * 1024;
constexpr mode_t kPrivateFolderMode = 0700;
constexpr mode_t kPrivateFileMode = 0600;
constexpr mode_t kSharedFileMode = 0644;
constexpr mode_t kGroupAndOthers = 077;

std::string WithoutTrailingSlash(const std::string& path) {
  std::string result = path;
  while (result.size() > 1 && result.back() == '/') result.pop_back();
  return result;
}

// A temporary file beside the final one. Its name starts with a dot, so that nothing
// that lists the folder's files by their names mistakes it for a data file.
class TempFile {
 public:
  explicit TempFile(const std::string& finalPath)
      : path_(TemplateFor(finalPath)), fd_(::mkostemp(path_.data(), O_CLOEXEC)) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (!committed_ && fd_.Valid()) ::unlink(path_.c_str());
  }

  int Descriptor() const { return fd_.Get(); }
  bool Valid() const { return fd_.Valid(); }

  // Flushes, closes and renames the file to its final name, and flushes the folder so the
  // new name lasts.
  bool Commit(const std::string& finalPath, mode_t mode) {
    if (::fchmod(fd_.Get(), mode) != 0 || ::fsync(fd_.Get()) != 0) return false;
    if (!fd_.Close()) {
      ::unlink(path_.c_str());
      committed_ = true;
      return false;
    }
    committed_ = true;
    if (::rename(path_.c_str(), finalPath.c_str()) != 0) {
      ::unlink(path_.c_str());
      return false;
    }
    return SyncFolder(FolderOf(finalPath));
  }

 private:
  static std::string TemplateFor(const std::string& finalPath) {
    const std::string folder = FolderOf(finalPath);
    return folder + "." + finalPath.substr(folder.size()) + ".tmp-XXXXXX";
  }

  std::string path_;
  FileDescriptor fd_;
  bool committed_ = false;
};

mode_t ModeOrDefault(const std::string& path, FileAccess access) {
  struct stat info {};
  if (::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) return info.st_mode & 07777;
  return access == FileAccess::kShared ? kSharedFileMode : kPrivateFileMode;
}

bool StatNoFollow(const std::string& path, struct stat& info) {
  return ::lstat(path.c_str(), &info) == 0;
}

bool MoveSymlinkAcross(const std::string& from, const std::string& to) {
  std::string target(4096, '\0');
  const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
  if (length < 0 || static_cast<size_t>(length) >= target.size()) return false;
  target.resize(static_cast<size_t>(length));
  ::unlink(to.c_str());
  return ::symlink(target.c_str(), to.c_str()) == 0 && ::unlink(from.c_str()) == 0;
}

std::vector<std::string> ListEntries(const std::string& folder, bool* ok) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
  if (!dir) {
    if (ok) *ok = false;
    return names;
  }
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  if (ok) *ok = true;
  return names;
}

bool MoveEntry(const std::string& from, const std::string& to);

// Merges the folder `from` into `to`, entry by entry, then removes `from` when it is empty.
bool MergeFolder(const std::string& from, const std::string& to) {
  if (!FolderExists(to) && ::mkdir(to.c_str(), kPrivateFolderMode) != 0) return false;
  bool listed = false;
  bool ok = true;
  for (const std::string& name : ListEntries(from, &listed)) ok = MoveEntry(from + "/" + name, to + "/" + name) && ok;
  return listed && ok && ::rmdir(from.c_str()) == 0;
}

bool MoveEntry(const std::string& from, const std::string& to) {
  if (::rename(from.c_str(), to.c_str()) == 0) return true;
  const int error = errno;
  struct stat info {};
  if (!StatNoFollow(from, info)) return false;
  if (S_ISDIR(info.st_mode)) {
    if (error != EXDEV && error != EEXIST && error != ENOTEMPTY) return false;
    return MergeFolder(from, to);
  }
  if (error != EXDEV) return false;
  if (S_ISLNK(info.st_mode)) return MoveSymlinkAcross(from, to);
  if (!S_ISREG(info.st_mode)) return false;
  return CopyFileDurably(from, to) && ::unlink(from.c_str()) == 0;
}

// A hidden temporary file beside `path` for a copy that takes its final name by a link;
// its name does not look like any data file, so listing a folder never picks it up.
std::string CopyTemplate(const std::string& path) {
  const std::string folder = FolderOf(path);
  return folder + "." + path.substr(folder.size()) + ".part-XXXXXX";
}

int OpenRetrying(const std::string& path, int flags, mode_t mode = 0) {
  int fd;
  do {
    fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

// Reads up to `size` bytes, as many as there are; -1 on an error.
ssize_t ReadSome(int fd, char* data, size_t size) {
  size_t total = 0;
  while (total < size) {
    const ssize_t got = ::read(fd, data + total, size - total);
    if (got < 0) {
      if (errno == EINTR) continue;
      return -1;
    }
    if (got == 0) break;
    total += static_cast<size_t>(got);
  }
  return static_cast<ssize_t>(total);
}

// Copies the open source into a new temporary file beside `to`, flushed. Returns the
// temporary file's name, or "" on failure (nothing left behind then).
std::string CopyToTemporary(int source, const std::string& to) {
  std::string temporary = CopyTemplate(to);
  FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!out.Valid()) return std::string();
  auto buffer = std::make_unique<char[]>(kCopyBlock);
  bool ok = true;
  for (;;) {
    const ssize_t got = ReadSome(source, buffer.get(), kCopyBlock);
    if (got < 0 || !WriteAll(out.Get(), buffer.get(), static_cast<size_t>(got))) {
      ok = false;
      break;
    }
    if (static_cast<size_t>(got) < kCopyBlock) break;
  }
  ok = ok && ::fchmod(out.Get(), kPrivateFileMode) == 0 && ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  if (!ok) {
    ::unlink(temporary.c_str());
    return std::string();
  }
  return temporary;
}

}  // namespace

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= static_cast<size_t>(written);
  }
  return true;
}

std::optional<std::string> ReadWholeFile(const std::string& path) {
  FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.Valid()) return std::nullopt;
  std::string content;
  char buffer[kCopyBlock];
  for (;;) {
    const ssize_t got = ::read(file.Get(), buffer, sizeof buffer);
    if (got < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (got == 0) break;
    content.append(buffer, static_cast<size_t>(got));
  }
  return content;
}

bool WriteFileDurably(const std::string& path, std::string_view bytes, FileAccess access) {
  const mode_t mode = ModeOrDefault(path, access);
  TempFile temp(path);
  if (!temp.Valid() || !WriteAll(temp.Descriptor(), bytes.data(), bytes.size())) return false;
  return temp.Commit(path, mode);
}

bool CopyFileDurably(const std::string& from, const std::string& to) {
  FileDescriptor source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (!source.Valid() || ::fstat(source.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  TempFile temp(to);
  if (!temp.Valid()) return false;
  std::unique_ptr<char[]> buffer(new char[kCopyBlock]);
  for (;;) {
    const ssize_t got = ::read(source.Get(), buffer.get(), kCopyBlock);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    if (!WriteAll(temp.Descriptor(), buffer.get(), static_cast<size_t>(got))) return false;
  }
  return temp.Commit(to, info.st_mode & 07777 & ~kGroupAndOthers);
}

bool MoveFolder(const std::string& from, const std::string& to) {
  const std::string source = WithoutTrailingSlash(from);
  if (!FolderExists(source)) return false;
  return MoveEntry(source, WithoutTrailingSlash(to));
}

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

bool FolderExists(const std::string& path) {
  struct stat info {};
  return !path.empty() && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool CreateFolders(const std::string& path) {
  const std::string folder = WithoutTrailingSlash(path);
  if (folder.empty() || FolderExists(folder)) return !folder.empty();
  const size_t slash = folder.find_last_of('/');
  if (slash != std::string::npos && slash > 0 && !CreateFolders(folder.substr(0, slash))) return false;
  if (::mkdir(folder.c_str(), kPrivateFolderMode) != 0 && errno != EEXIST) return false;
  return FolderExists(folder);
}

bool RemoveFile(const std::string& path) {
  return ::unlink(path.c_str()) == 0;
}

std::vector<std::string> ListFiles(const std::string& folder) {
  const std::string base = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  std::vector<std::string> files;
  for (const std::string& name : ListEntries(folder.empty() ? "." : folder, nullptr)) {
    if (FileExists(base + name)) files.push_back(name);
  }
  return files;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/' && folder[folder.size() - 2] == '/') folder.pop_back();
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

bool NameExists(const std::string& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0;
}

bool RemoveIfPresent(const std::string& path) {
  return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

std::optional<std::time_t> ModificationTime(const std::string& path) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) return std::nullopt;
  return info.st_mtime;
}

ReadOutcome ReadWholeFileChecked(const std::string& path, std::string& out) {
  out.clear();
  FileDescriptor in(OpenRetrying(path, O_RDONLY));
  struct stat info {};
  if (!in.Valid() || ::fstat(in.Get(), &info) != 0 || !S_ISREG(info.st_mode)) return ReadOutcome::kCannotRead;
  const auto size = static_cast<size_t>(info.st_size);
  try {
    // One byte more than announced, so that a file that grew meanwhile is noticed.
    out.resize(size + 1);
  } catch (const std::exception&) {
    out = std::string();
    return ReadOutcome::kCannotRead;
  }
  const ssize_t got = ReadSome(in.Get(), out.data(), out.size());
  if (got < 0) {
    out = std::string();
    return ReadOutcome::kCannotRead;
  }
  out.resize(static_cast<size_t>(got));
  return out.size() == size ? ReadOutcome::kOk : ReadOutcome::kSizeDiffers;
}

DocumentRead ReadRegularFile(const std::string& path, size_t maxBytes, std::string& out) {
  out.clear();
  FileDescriptor in(OpenRetrying(path, O_RDONLY | O_NONBLOCK | O_NOCTTY));
  if (!in.Valid()) return errno == ENOENT || errno == ENOTDIR ? DocumentRead::kMissing : DocumentRead::kCannotRead;
  struct stat info {};
  if (::fstat(in.Get(), &info) != 0) return DocumentRead::kCannotRead;
  if (!S_ISREG(info.st_mode)) return DocumentRead::kNotRegular;
  if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > maxBytes) return DocumentRead::kTooLarge;
  // Room for one byte past the limit tells a file that grew past it from one that did not.
  const size_t ceiling = maxBytes < SIZE_MAX ? maxBytes + 1 : maxBytes;
  std::string content;
  size_t filled = 0;
  try {
    // One byte more than the size announced, so that a file that grew meanwhile is noticed.
    content.resize(static_cast<size_t>(info.st_size) + 1);
    for (;;) {
      if (filled == content.size()) {
        if (filled > maxBytes) return DocumentRead::kTooLarge;
        content.resize(std::min(ceiling, filled * 2));
      }
      const ssize_t got = ::read(in.Get(), content.data() + filled, content.size() - filled);
      if (got < 0) {
        if (errno == EINTR) continue;
        return DocumentRead::kCannotRead;
      }
      if (got == 0) break;
      filled += static_cast<size_t>(got);
    }
  } catch (const std::exception&) {
    return DocumentRead::kCannotRead;
  }
  if (filled > maxBytes) return DocumentRead::kTooLarge;
  content.resize(filled);
  out = std::move(content);
  return DocumentRead::kOk;
}

std::optional<uint64_t> FreeBytes(const std::string& path) {
  struct statvfs info {};
  if (::statvfs(path.c_str(), &info) != 0) return std::nullopt;
  return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}

bool LinkOrCopyNew(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) == 0) {
    // The second name is a copy the program keeps, and the user's alone like any other;
    // the first name shares the permissions, and it is the program's file too.
    struct stat info {};
    if (::stat(to.c_str(), &info) == 0 && (info.st_mode & kGroupAndOthers) != 0) {
      ::chmod(to.c_str(), info.st_mode & 07777 & ~kGroupAndOthers);
    }
    SyncFolder(FolderOf(to));
    return true;
  }
  if (errno == EEXIST || errno == ENOENT) return false;
  // No hard links on this file system (or not across these two names): copy instead.
  FileDescriptor source(OpenRetrying(from, O_RDONLY));
  if (!source.Valid()) return false;
  const std::string temporary = CopyToTemporary(source.Get(), to);
  if (temporary.empty()) return false;
  bool ok = ::link(temporary.c_str(), to.c_str()) == 0;
  if (!ok && errno != EEXIST && !NameExists(to)) ok = ::rename(temporary.c_str(), to.c_str()) == 0;
  ::unlink(temporary.c_str());
  if (ok) SyncFolder(FolderOf(to));
  return ok;
}

bool SyncFolder(const std::string& folder) {
  FileDescriptor dir(OpenRetrying(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY));
  if (!dir.Valid()) return true;
  if (::fsync(dir.Get()) == 0) return true;
  // Some file systems do not flush folders at all; that is no reason to fail the step
  // before. Any other error (an input/output error above all) means the new names inside
  // may not survive a power cut.
  return errno == EINVAL || errno == ENOTSUP;
}

bool MakeFolderPrivate(const std::string& folder) {
  struct stat info {};
  if (::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return false;
  // Another user's folder is that user's business, whatever this process may do.
  if (info.st_uid != ::geteuid() || (info.st_mode & kGroupAndOthers) == 0) return false;
  return ::chmod(folder.c_str(), info.st_mode & 07777 & ~kGroupAndOthers) == 0;
}

}  // namespace platform
