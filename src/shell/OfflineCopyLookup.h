// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace shell {

// Finds the offline copy (a saved web archive) of an address, so that a page saved
// earlier opens from the disk instead of the network.
class OfflineCopyLookup {
 public:
  virtual ~OfflineCopyLookup() = default;

  // The address of the copy to show instead, or nothing when there is none.
  virtual std::optional<std::string> Find(const std::string& address) = 0;
};

}  // namespace shell
