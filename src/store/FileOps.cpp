// SPDX-License-Identifier: MIT
#include "store/FileOps.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "platform/FileDescriptor.h"

namespace store::fileops {
namespace {

constexpr size_t kCopyBlock = 64 * 1024;

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

// A hidden temporary file beside `path`; its name does not look like any data file, so
// listing the backups never picks it up.
std::string TemporaryTemplate(const std::string& path) {
  const std::string folder = FolderOf(path);
  return folder + "." + path.substr(folder.size()) + ".part-XXXXXX";
}

// Copies the open source into a new temporary file beside `to`, flushed. Returns the
// temporary file's name, or "" on failure (nothing left behind then).
std::string CopyToTemporary(int source, const std::string& to) {
  std::string temporary = TemporaryTemplate(to);
  platform::FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!out.Valid()) return std::string();
  auto buffer = std::make_unique<char[]>(kCopyBlock);
  bool ok = true;
  for (;;) {
    const ssize_t got = ReadSome(source, buffer.get(), kCopyBlock);
    if (got < 0 || !platform::WriteAll(out.Get(), buffer.get(), static_cast<size_t>(got))) {
      ok = false;
      break;
    }
    if (static_cast<size_t>(got) < kCopyBlock) break;
  }
  ok = ok && ::fchmod(out.Get(), 0644) == 0 && ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  if (!ok) {
    ::unlink(temporary.c_str());
    return std::string();
  }
  return temporary;
}

}  // namespace

std::string WithSlash(std::string folder) {
  while (folder.size() > 1 && folder.back() == '/' && folder[folder.size() - 2] == '/') folder.pop_back();
  if (!folder.empty() && folder.back() != '/') folder.push_back('/');
  return folder;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool IsRegularFile(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
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
  platform::FileDescriptor in(OpenRetrying(path, O_RDONLY));
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

bool LinkOrCopyNew(const std::string& from, const std::string& to) {
  if (::link(from.c_str(), to.c_str()) == 0) {
    SyncFolder(FolderOf(to));
    return true;
  }
  if (errno == EEXIST || errno == ENOENT) return false;
  // No hard links on this file system (or not across these two names): copy instead.
  platform::FileDescriptor source(OpenRetrying(from, O_RDONLY));
  if (!source.Valid()) return false;
  const std::string temporary = CopyToTemporary(source.Get(), to);
  if (temporary.empty()) return false;
  bool ok = ::link(temporary.c_str(), to.c_str()) == 0;
  if (!ok && errno != EEXIST && !NameExists(to)) ok = ::rename(temporary.c_str(), to.c_str()) == 0;
  ::unlink(temporary.c_str());
  if (ok) SyncFolder(FolderOf(to));
  return ok;
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
  std::string temporary = TemporaryTemplate(path);
  platform::FileDescriptor out(::mkostemp(temporary.data(), O_CLOEXEC));
  if (!out.Valid()) return false;
  bool ok = platform::WriteAll(out.Get(), bytes.data(), bytes.size()) && ::fchmod(out.Get(), 0644) == 0 &&
            ::fsync(out.Get()) == 0;
  ok = out.Close() && ok;
  ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(FolderOf(path));
  return true;
}

bool CopyFileReplacing(const std::string& from, const std::string& to) {
  platform::FileDescriptor source(OpenRetrying(from, O_RDONLY));
  if (!source.Valid()) return false;
  const std::string temporary = CopyToTemporary(source.Get(), to);
  if (temporary.empty()) return false;
  if (::rename(temporary.c_str(), to.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncFolder(FolderOf(to));
  return true;
}

void SyncFolder(const std::string& folder) {
  // A file system that cannot flush a folder is no reason to fail the step before it.
  platform::FileDescriptor dir(OpenRetrying(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY));
  if (dir.Valid()) ::fsync(dir.Get());
}

std::vector<std::string> ListRegularFiles(const std::string& folder) {
  std::vector<std::string> names;
  std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.empty() ? "." : folder.c_str()), ::closedir);
  if (!dir) return names;
  const std::string base = WithSlash(folder);
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (IsRegularFile(base + name)) names.push_back(name);
  }
  return names;
}

bool EnsureFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) == 0) return true;
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace store::fileops
