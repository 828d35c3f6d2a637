// SPDX-License-Identifier: MIT
#pragma once

#include "shell/OfflineCopyLookup.h"

namespace shell {

// The look-up while the program keeps no offline copies: every page comes from its site.
class NoOfflineCopies final : public OfflineCopyLookup {
 public:
  std::optional<std::string> Find(const std::string&) override { return std::nullopt; }
};

}  // namespace shell
