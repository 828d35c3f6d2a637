// SPDX-License-Identifier: MIT
#include "shell/OtherBrowser.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/Ascii.h"
#include "shell/PageAddress.h"
#include "text/Convert.h"
#include "text/Cut.h"

namespace shell {

namespace {

constexpr std::string_view kWebSchemes[] = {"http:", "https:", "ftp:"};

bool IsWebAddress(std::string_view address) {
  for (std::string_view scheme : kWebSchemes) {
    if (platform::StartsWithAsciiNoCase(address, scheme)) return true;
  }
  return false;
}

bool IsExecutableFile(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (error || !std::filesystem::is_regular_file(status)) return false;
  using std::filesystem::perms;
  return (status.permissions() & (perms::owner_exec | perms::group_exec | perms::others_exec)) != perms::none;
}

}  // namespace

std::optional<std::string> OtherBrowser::ProgramPath() const {
  const std::string name = program_.empty() ? std::string(kDesktopOpener) : program_;
  if (name.find('/') != std::string::npos) return name;
  size_t start = 0;
  while (start <= searchPath_.size()) {
    size_t end = searchPath_.find(':', start);
    if (end == std::string::npos) end = searchPath_.size();
    const std::string folder = searchPath_.substr(start, end - start);
    // An empty entry would mean the current folder, which is never searched for a
    // program that receives addresses from the network.
    if (!folder.empty() && folder.front() == '/') {
      const std::filesystem::path candidate = std::filesystem::path(folder) / name;
      if (IsExecutableFile(candidate)) return candidate.string();
    }
    start = end + 1;
  }
  return std::nullopt;
}

bool OtherBrowser::Open(const std::string& address) {
  const std::string trimmed = text::TrimJ(address);
  if (IsCommandAddress(trimmed)) return false;
  if (program_.empty() && !IsWebAddress(trimmed)) return false;
  return Start(trimmed);
}

bool OtherBrowser::OpenOfflineCopy(const std::string& copy) {
  const std::string trimmed = text::TrimJ(copy);
  const bool local = trimmed.starts_with('/') || platform::StartsWithAsciiNoCase(trimmed, "file:");
  if (!local || !IsWebArchiveAddress(trimmed)) return false;
  return Start(trimmed);
}

bool OtherBrowser::Start(const std::string& address) {
  if (address.empty() || address.front() == '-') return false;
  const std::optional<std::string> program = ProgramPath();
  if (!program) return false;
  return launcher_.Start(*program, {text::SjisToUtf8(address)});
}

}  // namespace shell
