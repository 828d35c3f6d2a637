// SPDX-License-Identifier: MIT
#include "shell/SecureAddressCheck.h"

#include <string_view>

#include "platform/Ascii.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace shell {

namespace {

constexpr std::string_view kAllowedSchemes[] = {"http:", "https:", "ftp:", "feed:", "enclosure:"};

}  // namespace

bool SecureAddressCheck::AllowedInSecureMode(const std::string& address) {
  const std::string trimmed = text::TrimRightJ(address);
  if (trimmed.empty()) return true;
  for (std::string_view scheme : kAllowedSchemes) {
    if (platform::StartsWithAsciiNoCase(trimmed, scheme)) return true;
  }
  return false;
}

bool SecureAddressCheck::Check(const std::string& address, bool showMessage) {
  if (!settings_.SecureMode || AllowedInSecureMode(address)) return true;
  if (showMessage) {
    // The message names the four schemes a user types; "enclosure:" only ever comes from
    // the program's own pages.
    dialogs_.ShowMessageBox(
        text::J(
            "セキュアモードでは \"http:\" \"https:\" \"ftp:\" \"feed:\" から始まるアドレスしか開きません。\r\n\r\n> ") +
            address,
        platform::MessageType::kError);
  }
  return false;
}

}  // namespace shell
