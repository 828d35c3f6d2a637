// SPDX-License-Identifier: MIT
#include "settings/SettingsFile.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

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

// Blanks around a line carry no meaning.
std::string_view TrimSpaces(std::string_view line) {
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = text[i];
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    char p = prefix[i];
    if (p >= 'a' && p <= 'z') p = static_cast<char>(p - 'a' + 'A');
    if (c != p) return false;
  }
  return true;
}

// A control byte other than TAB and the line ends: no text editor and no settings writer
// puts one into the file.
bool HasBinaryByte(std::string_view line) {
  return std::any_of(line.begin(), line.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && byte != '\t') || byte == 0x7F;
  });
}

// What one line says about the file.
enum class LineVerdict { kNothing, kOwnSection, kBroken };

LineVerdict JudgeLine(std::string_view line) {
  if (HasBinaryByte(line)) return LineVerdict::kBroken;
  const std::string_view trimmed = TrimSpaces(line);
  if (trimmed.empty() || trimmed.front() == ';') return LineVerdict::kNothing;
  const bool opens = trimmed.front() == '[';
  const bool closes = trimmed.back() == ']';
  // "[Ev_Main" and "Ev_Main]": a header that lost a bracket, whose keys would land in the
  // section before it or nowhere.
  if (opens != closes && (opens || trimmed.find('=') == std::string_view::npos)) return LineVerdict::kBroken;
  if (!opens || !closes) return LineVerdict::kNothing;
  const std::string_view name = TrimSpaces(trimmed.substr(1, trimmed.size() - 2));
  if (name.empty()) return LineVerdict::kBroken;
  return StartsWithNoCase(name, "Ev_") || StartsWithNoCase(name, "Sz_") ? LineVerdict::kOwnSection
                                                                        : LineVerdict::kNothing;
}

std::string LocalStamp(std::time_t now) {
  std::tm local{};
  localtime_r(&now, &local);
  char text[32];
  const size_t length = std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
  return std::string(text, length);
}

// An earlier copy of the damaged file with the same bytes, or "".
std::string SameEarlierCopy(const std::string& path, const std::string& bytes) {
  const std::string folder = platform::FolderOf(path);
  const std::string prefix = path.substr(folder.size()) + ".damaged-";
  for (const std::string& name : platform::ListFiles(folder)) {
    if (name.rfind(prefix, 0) != 0) continue;
    if (platform::ReadWholeFile(folder + name) == bytes) return folder + name;
  }
  return std::string();
}

}  // namespace

bool SettingsBytesLookDamaged(std::string_view bytes) {
  bool ownSection = false;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    switch (JudgeLine(bytes.substr(start, end - start))) {
      case LineVerdict::kBroken:
        return true;
      case LineVerdict::kOwnSection:
        ownSection = true;
        break;
      case LineVerdict::kNothing:
        break;
    }
    start = end + 1;
  }
  return !ownSection;
}

std::string SetAsideDamagedSettings(const std::string& path, std::time_t now) {
  const std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes) return std::string();
  if (std::string earlier = SameEarlierCopy(path, *bytes); !earlier.empty()) return earlier;
  // A copy, not a second name: the user may well repair plover.ini in an editor that
  // writes the file in place, and the copy must keep what was found.
  const std::string name = path + ".damaged-" + LocalStamp(now);
  for (int number = 1; number <= 99; ++number) {
    const std::string numbered = number == 1 ? name : name + "-" + std::to_string(number);
    if (!platform::NameExists(numbered)) return platform::CopyFileDurably(path, numbered) ? numbered : std::string();
  }
  return std::string();
}

SettingsFile OpenSettingsFile(const std::string& path, int attempts) {
  std::string bytes;
  SettingsFile::Origin origin = SettingsFile::Origin::kUnreadable;
  for (int attempt = 0; attempt < std::max(attempts, 1); ++attempt) {
    origin = ReadSettingsBytes(path, bytes);
    if (origin != SettingsFile::Origin::kUnreadable) break;
  }
  if (origin == SettingsFile::Origin::kRead && SettingsBytesLookDamaged(bytes)) origin = SettingsFile::Origin::kDamaged;
  SettingsFile file(path, origin);
  if (origin == SettingsFile::Origin::kRead || origin == SettingsFile::Origin::kDamaged) file.Ini().Parse(bytes);
  return file;
}

bool FlushSettingsFile(const SettingsFile& file, std::string_view trailingBytes) {
  if (file.Unreadable() || file.Damaged()) return false;
  std::string bytes = file.Ini().Render();
  bytes.append(trailingBytes);
  return platform::WriteFileDurably(file.Path(), bytes);
}

}  // namespace settings
