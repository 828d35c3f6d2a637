// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/IniFile.h"

namespace settings {

// How often OpenSettingsFile tries to read a file that is there but cannot be read. The
// attempts follow one another at once: the program never sleeps on its main thread, and a
// file that stays unreadable is handled safely anyway (see SettingsFile::Unreadable).
inline constexpr int kOpenAttempts = 3;

// A settings file larger than this is not one the program wrote (plover.ini holds a few
// kilobytes); it is treated as unreadable rather than loaded into memory.
inline constexpr uintmax_t kMaxSettingsFileSize = 16u << 20;

// The settings file at one path, held in memory as an INI object. It remembers whether
// the file could be read, so that a file that was there but unreadable (no permission, an
// input/output error, not a regular file, far too large) is never replaced by what
// little the program knows without it.
class SettingsFile {
 public:
  enum class Origin {
    kRead,        // the content is the file's
    kMissing,     // there was no file: the object started empty
    kUnreadable,  // the file is there but could not be read: empty, and never written
  };

  SettingsFile(std::string path, Origin origin) : path_(std::move(path)), origin_(origin) {}

  const std::string& Path() const { return path_; }
  Origin FileOrigin() const { return origin_; }
  bool Unreadable() const { return origin_ == Origin::kUnreadable; }

  IniFile& Ini() { return ini_; }
  const IniFile& Ini() const { return ini_; }

 private:
  std::string path_;
  Origin origin_;
  IniFile ini_;
};

// Reads the file at `path` into a new object, trying up to `attempts` times while the
// file exists but cannot be read. A missing file gives an empty object (every read then
// keeps its default). Never throws for anything about the file.
SettingsFile OpenSettingsFile(const std::string& path, int attempts = kOpenAttempts);

// Writes the whole object, followed by `trailingBytes` as they are, to its file: through a
// temporary file beside it that is flushed to disk and then renamed over the old file, so
// a crash leaves the old file or the new one whole. Returns false, and leaves the file
// alone, when the write fails or when the file was there but could not be read.
bool FlushSettingsFile(const SettingsFile& file, std::string_view trailingBytes = {});

}  // namespace settings
