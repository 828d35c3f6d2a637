// SPDX-License-Identifier: MIT
#include "shell/PageAddress.h"

#include <string>

#include "platform/Ascii.h"
#include "text/Cut.h"

namespace shell {

namespace {

constexpr std::string_view kCommandSchemes[] = {"varnholt:", "feed:", "enclosure:"};
constexpr std::string_view kArchiveExtension = ".mht";

}  // namespace

bool IsSummaryAddress(std::string_view address) {
  return platform::EqualsAsciiNoCase(address.substr(0, address.find('#')), kSummaryAddress);
}

bool IsEmptyLocation(std::string_view location) {
  return location.empty() || platform::EqualsAsciiNoCase(location, kBlankAddress);
}

bool IsCommandAddress(std::string_view address) {
  const std::string trimmed = text::TrimLeftJ(address);
  for (std::string_view scheme : kCommandSchemes) {
    if (platform::StartsWithAsciiNoCase(trimmed, scheme)) return true;
  }
  return false;
}

bool IsWebArchiveAddress(std::string_view address) {
  return address.size() >= kArchiveExtension.size() &&
         platform::EqualsAsciiNoCase(address.substr(address.size() - kArchiveExtension.size()), kArchiveExtension);
}

}  // namespace shell
