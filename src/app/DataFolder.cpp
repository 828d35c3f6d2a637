// SPDX-License-Identifier: MIT
#include "app/DataFolder.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "platform/CodePage.h"
#include "platform/Files.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace app {
namespace {

constexpr char kLocationFile[] = "plover.drv";
constexpr char kIniFile[] = "plover.ini";
constexpr std::string_view kAppDataPlaceholder = "[APPDATA]";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool IsAbsolute(std::string_view path) {
  return !path.empty() && path.front() == '/';
}

std::string AsciiUpper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

// The lines of the file, CR LF or LF; a last line without a line end counts too.
std::vector<std::string> SplitLines(std::string_view content) {
  if (content.substr(0, kUtf8Bom.size()) == kUtf8Bom) content.remove_prefix(kUtf8Bom.size());
  std::vector<std::string> lines;
  while (!content.empty()) {
    const size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.emplace_back(line);
    if (end == std::string_view::npos) break;
    content.remove_prefix(end + 1);
  }
  return lines;
}

// The file may have been written on this system (UTF-8) or carried over from a Windows
// installation (code page 932); a line that is not valid UTF-8 is taken as the latter.
std::string LineAsPath(const std::string& line) {
  if (platform::IsValidUtf8(line)) return line;
  return text::SjisToUtf8(line);
}

// Every "[APPDATA]", compared without regard to letter case, replaced by the folder.
// Only ASCII letters are folded, so the positions stay those of the original line.
std::string ReplacePlaceholder(const std::string& line, const std::string& appDataFolder) {
  const std::string upper = AsciiUpper(line);
  std::string result;
  size_t from = 0;
  for (size_t at = upper.find(kAppDataPlaceholder); at != std::string::npos;
       at = upper.find(kAppDataPlaceholder, from)) {
    result.append(line, from, at - from);
    result += appDataFolder;
    from = at + kAppDataPlaceholder.size();
  }
  result.append(line, from, std::string::npos);
  return result;
}

}  // namespace

Environment ProcessEnvironment() {
  return [](std::string_view name) -> std::optional<std::string> {
    const std::string key(name);
    if (const char* value = std::getenv(key.c_str())) return std::string(value);
    if (key == "HOME") {
      // Some service managers start programs without HOME; the password database knows it.
      passwd entry{};
      passwd* found = nullptr;
      std::vector<char> buffer(16384);
      if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_dir) {
        return std::string(found->pw_dir);
      }
    }
    return std::nullopt;
  };
}

std::string AppDataFolder(const Environment& environment) {
  std::string folder;
  if (auto xdg = environment("XDG_DATA_HOME"); xdg && IsAbsolute(*xdg)) {
    folder = *xdg;
  } else if (auto home = environment("HOME"); home && IsAbsolute(*home)) {
    folder = WithTrailingSlash(*home) + ".local/share";
  }
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  return folder;
}

std::string RunningProgramFolder() {
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return "./";
  return WithTrailingSlash(program.parent_path().string());
}

DataFolderLocation ResolveDataFolder(const std::string& programFolder, int line, const std::string& appDataFolder) {
  std::string folder = programFolder;
  if (auto content = platform::ReadWholeFile(programFolder + kLocationFile)) {
    const std::vector<std::string> lines = SplitLines(*content);
    if (!lines.empty()) {
      const size_t index = static_cast<size_t>(std::clamp(line, 1, static_cast<int>(lines.size()))) - 1;
      std::string path = ReplacePlaceholder(LineAsPath(lines[index]), appDataFolder);
      if (!path.empty()) {
        if (!IsAbsolute(path)) path = programFolder + path;
        folder = std::filesystem::path(path).lexically_normal().string();
      }
    }
  }
  folder = WithTrailingSlash(std::move(folder));
  return {folder, folder + kIniFile};
}

std::string WithTrailingSlash(std::string path) {
  if (!path.empty() && path.back() != '/') path += '/';
  return path;
}

bool MakeDataFolderPrivate(const std::string& dataFolder, platform::Dialogs& dialogs) {
  // Data kept next to the program shares the program's folder, whose permissions belong
  // to whoever installed the program there.
  if (WithTrailingSlash(dataFolder) == RunningProgramFolder()) return false;
  if (!platform::MakeFolderPrivate(dataFolder)) return false;
  // Paths are UTF-8; the texts the user sees are code page 932.
  const std::string path = text::Utf8ToSjis(dataFolder);
  dialogs.ShowMessageBox(
      text::J("データフォルダを他のユーザーから読めないように変更しました: ") + (path.empty() ? dataFolder : path),
      platform::MessageType::kInformation);
  return true;
}

}  // namespace app
