// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

#include "store/ChannelTree.h"
#include "store/TTreeNodeExt.h"

namespace app {

// The node of the user's tree named by `path`: the captions from a child of RootNode down,
// joined by "/" (code page 932, like the captions). A leading "/" is allowed; an empty
// path names RootNode. A caption may itself hold "/": every reading of the path is tried,
// and of several nodes that match, the first in tree order wins. Nullptr when none matches.
store::TTreeNodeExt* FindNodeByPath(const store::TChannelTree& tree, std::string_view path);

}  // namespace app
