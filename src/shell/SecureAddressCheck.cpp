// SPDX-License-Identifier: MIT
#include "shell/SecureAddressCheck.h"

#include "present/PageFill.h"

namespace shell {

// The rule and its message are the ones the headline pages use for the links they write,
// so a link a page shows as refused is refused here too, with the same words.
bool SecureAddressCheck::AllowedInSecureMode(const std::string& address) {
  return present::SecureModeAllows(address);
}

bool SecureAddressCheck::Check(const std::string& address, bool showMessage) {
  if (!settings_.SecureMode || AllowedInSecureMode(address)) return true;
  // The message names the four schemes a user types; "enclosure:" only ever comes from
  // the program's own pages.
  if (showMessage) dialogs_.ShowMessageBox(present::SecureModeRefusal(address), platform::MessageType::kError);
  return false;
}

}  // namespace shell
