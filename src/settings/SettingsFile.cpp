// SPDX-License-Identifier: MIT
#include "settings/SettingsFile.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

#include "platform/Files.h"

namespace settings {

namespace {

// One attempt at reading the file's bytes.
SettingsFile::Origin ReadSettingsBytes(const std::string& path, std::string& bytes) {
  namespace fs = std::filesystem;
  std::error_code error;
  fs::file_status status = fs::status(path, error);
  if (status.type() == fs::file_type::not_found) return SettingsFile::Origin::kMissing;
  // Anything but a regular file (a folder, a pipe that would block the reader) is not a
  // settings file the program can use, and must not be replaced either.
  if (error || status.type() != fs::file_type::regular) return SettingsFile::Origin::kUnreadable;
  uintmax_t size = fs::file_size(path, error);
  if (error || size > kMaxSettingsFileSize) return SettingsFile::Origin::kUnreadable;
  std::optional<std::string> content = platform::ReadWholeFile(path);
  if (!content) {
    // The file may have been removed between the two looks.
    if (fs::status(path, error).type() == fs::file_type::not_found) return SettingsFile::Origin::kMissing;
    return SettingsFile::Origin::kUnreadable;
  }
  if (content->size() > kMaxSettingsFileSize) return SettingsFile::Origin::kUnreadable;
  bytes = std::move(*content);
  return SettingsFile::Origin::kRead;
}

}  // namespace

SettingsFile OpenSettingsFile(const std::string& path, int attempts) {
  std::string bytes;
  SettingsFile::Origin origin = SettingsFile::Origin::kUnreadable;
  for (int attempt = 0; attempt < std::max(attempts, 1); ++attempt) {
    origin = ReadSettingsBytes(path, bytes);
    if (origin != SettingsFile::Origin::kUnreadable) break;
  }
  SettingsFile file(path, origin);
  if (origin == SettingsFile::Origin::kRead) file.Ini().Parse(bytes);
  return file;
}

bool FlushSettingsFile(const SettingsFile& file, std::string_view trailingBytes) {
  if (file.Unreadable()) return false;
  std::string bytes = file.Ini().Render();
  bytes.append(trailingBytes);
  return platform::WriteFileDurably(file.Path(), bytes);
}

}  // namespace settings
