// SPDX-License-Identifier: MIT
#include "shell/private/TabFile.h"

#include <algorithm>

#include "platform/Ascii.h"
#include "text/Cut.h"

namespace shell {

namespace {

bool ReadsAsTrue(std::string_view field) {
  const std::string trimmed = text::TrimJ(field);
  if (platform::EqualsAsciiNoCase(trimmed, "true")) return true;
  std::string_view digits = trimmed;
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) digits.remove_prefix(1);
  if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  return std::any_of(digits.begin(), digits.end(), [](char c) { return c != '0'; });
}

}  // namespace

std::string FormatTabFile(const std::vector<SavedTab>& tabs) {
  std::string out;
  for (const SavedTab& tab : tabs) {
    if (tab.location.find_first_of("\r\n") != std::string::npos) continue;
    out += tab.locked ? '1' : '0';
    out += '\t';
    out += tab.location;
    out += "\r\n";
  }
  return out;
}

std::vector<SavedTab> ParseTabFile(std::string_view content) {
  std::vector<SavedTab> tabs;
  while (!content.empty()) {
    const size_t end = content.find('\n');
    std::string_view line = content.substr(0, end);
    content = end == std::string_view::npos ? std::string_view() : content.substr(end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos) continue;
    std::string location = text::TrimJ(line.substr(tab + 1));
    if (location.empty()) continue;
    tabs.push_back({ReadsAsTrue(line.substr(0, tab)), std::move(location)});
  }
  return tabs;
}

}  // namespace shell
