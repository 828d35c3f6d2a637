// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "store/TSiteRecord.h"

// The key by which an item fetched in one channel is recognised as one already stored in
// any channel. Which fields make the key follows the DupAction setting.
namespace store {

// With DupAction 1 the title followed directly by the link; with any other value the link.
std::string DuplicateKey(const TSiteRecord& item, int dupAction);

// The two keys compared without regard to letter case: -1, 0 or 1.
int CompareDuplicateKeys(const TSiteRecord& a, const TSiteRecord& b, int dupAction);

}  // namespace store
