// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <ctime>
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
// little the program knows without it, and whether what was read looks like a settings
// file at all.
class SettingsFile {
 public:
  enum class Origin {
    kRead,        // the content is the file's
    kMissing,     // there was no file: the object started empty
    kUnreadable,  // the file is there but could not be read: empty, and never written
    kDamaged,     // the file does not look like a settings file (SettingsBytesLookDamaged):
                  // the content is what the tolerant reader made of it, and it is not
                  // written until DiscardDamagedContent
  };

  SettingsFile(std::string path, Origin origin) : path_(std::move(path)), origin_(origin) {}

  const std::string& Path() const { return path_; }
  Origin FileOrigin() const { return origin_; }
  bool Unreadable() const { return origin_ == Origin::kUnreadable; }
  bool Damaged() const { return origin_ == Origin::kDamaged; }

  // Gives up the content of a damaged file, which the caller has set aside: the object is
  // then as for a missing file, and a flush replaces the damaged file.
  void DiscardDamagedContent() {
    if (!Damaged()) return;
    ini_.Clear();
    origin_ = Origin::kMissing;
  }

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
// alone, when the write fails or when the file was there but could not be read or looks
// damaged.
bool FlushSettingsFile(const SettingsFile& file, std::string_view trailingBytes = {});

// Whether the bytes of a settings file are not what such a file holds: nothing at all (a
// crash during a write that was not atomic leaves an empty file), NUL or other control
// bytes (binary data), a section header that lost a bracket, or not one section of the
// program's own (their names begin with "Ev_" or "Sz_").
bool SettingsBytesLookDamaged(std::string_view bytes);

// Gives the damaged settings file at `path` a second name beside it,
// "<name>.damaged-<yyyymmdd-hhmmss>" in the local time of `now` (with "-2", "-3", ... when
// that is taken), so that the user's bytes survive whatever is written over the file
// later. When an earlier copy holds the same bytes, that copy serves. Returns the copy's
// path, or "" when none could be made.
std::string SetAsideDamagedSettings(const std::string& path, std::time_t now);

}  // namespace settings
