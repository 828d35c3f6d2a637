// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

#include "store/ChannelStore.h"

namespace store {

// Forgets the saved web archive of every item whose file (system/mhtml/ in the data folder,
// `dataFolder` ending with "/") no longer exists, so that no item shows an archive it
// cannot open. Any change marks the data modified. Run once per load of the channel data,
// not while the headline list builds its rows: only the loaded data decides. Returns how
// many items lost their archive.
size_t DropLostWebArchives(ChannelStore& store, const std::string& dataFolder);

}  // namespace store
