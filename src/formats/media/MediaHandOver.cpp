// SPDX-License-Identifier: MIT
#include "formats/media/MediaHandOver.h"

#include <utility>

#include "platform/Files.h"
#include "settings/Credentials.h"
#include "settings/IniFile.h"

namespace formats {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kHttpSection = "Http";

std::string InFolder(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (!path.empty() && path.back() != '/') path += '/';
  path += name;
  return path;
}

std::optional<std::string> ReadWithRetries(const std::string& path) {
  for (int attempt = 0; attempt < kPodhallFileAttempts; ++attempt) {
    if (std::optional<std::string> content = platform::ReadWholeFile(path)) return content;
  }
  return std::nullopt;
}

bool WriteWithRetries(const std::string& path, std::string_view bytes) {
  for (int attempt = 0; attempt < kPodhallFileAttempts; ++attempt) {
    if (platform::WriteFileDurably(path, bytes)) return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> SplitListLines(std::string_view content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    const size_t end = content.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.emplace_back(content.substr(start));
      break;
    }
    lines.emplace_back(content.substr(start, end - start));
    start = end + ((content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

MediaHandOver::MediaHandOver(std::string programFilesFolder, std::string appDataFolder,
                             platform::ProcessLauncher& launcher)
    : programFilesFolder_(std::move(programFilesFolder)),
      appDataFolder_(std::move(appDataFolder)),
      launcher_(launcher) {}

bool MediaHandOver::PodhallInstalled() {
  if (!installed_) installed_ = platform::FileExists(ProgramPath());
  return *installed_;
}

std::string MediaHandOver::ProgramPath() const {
  return InFolder(programFilesFolder_, kPodhallProgram);
}

std::string MediaHandOver::ListFolder() const {
  if (appDataFolder_.empty()) return platform::FolderOf(ProgramPath());
  return InFolder(appDataFolder_, kPodhallListFolder) + "/";
}

void MediaHandOver::HandOver(MediaQueue& queue, const settings::Settings& settings) {
  if (!PodhallInstalled()) return;
  const std::string folder = ListFolder();
  const std::string listPath = InFolder(folder, kPodhallListFile);
  if (queue.Empty() && !platform::FileExists(listPath) && !platform::FileExists(InFolder(folder, kPodhallItemFile))) {
    return;
  }
  if (!platform::CreateFolders(folder)) return;
  if (!queue.Empty()) {
    if (!WriteQueue(queue, listPath)) return;
    queue.Take();
  }
  if (platform::IsFileLocked(InFolder(folder, kPodhallLockFile))) return;
  // Stale proxy settings only cost Podhall its downloads, so a settings file that could
  // not be written does not keep it from starting.
  WriteProxySettings(settings);
  launcher_.Start(ProgramPath(), {std::string(kPodhallMediaArgument)});
}

bool MediaHandOver::WriteQueue(const MediaQueue& queue, const std::string& listPath) {
  std::vector<std::string> lines;
  if (platform::FileExists(listPath)) {
    // Entries Podhall has not taken yet stay in front of ours; a list that cannot be read
    // is left alone rather than overwritten.
    const std::optional<std::string> content = ReadWithRetries(listPath);
    if (!content) return false;
    lines = SplitListLines(*content);
  }
  lines.insert(lines.end(), queue.Entries().begin(), queue.Entries().end());
  std::string bytes;
  for (const std::string& line : lines) {
    bytes += line;
    bytes += kCrLf;
  }
  return WriteWithRetries(listPath, bytes);
}

void MediaHandOver::WriteProxySettings(const settings::Settings& settings) {
  const std::string path = InFolder(ListFolder(), kPodhallSettingsFile);
  settings::IniFile ini;
  // Podhall keeps its own settings in the same file; one that exists but cannot be read
  // is not replaced by a file holding only ours.
  if (!ini.Load(path) && platform::FileExists(path)) return;
  ini.WriteInteger(kHttpSection, "PreConfig", settings.InternetPreConfig);
  ini.WriteString(kHttpSection, "ProxyServer", settings.ProxyServer);
  ini.WriteInteger(kHttpSection, "ProxyPort", settings.ProxyPort);
  ini.WriteBool(kHttpSection, "ProxyAddUrl", settings.ProxyAddUrl);
  const settings::Credential& proxy = settings.ProxySetting;
  ini.WriteString(kHttpSection, "ProxySetting",
                  proxy.User.empty() && proxy.Password.empty() ? std::string() : settings::StoreCredential(proxy));
  platform::WriteFileDurably(path, ini.Render());
}

}  // namespace formats
