// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "formats/TParseError.h"
#include "platform/Dialogs.h"
#include "store/ChannelTree.h"
#include "store/TSiteList.h"

namespace fetch {

// The error log of the channel tree: one new entry per failed channel, in the
// "エラーログ" node beside the root, which is made on the first error of a program run
// and never saved. The entry points at the failing channel (nullptr when none is known)
// and counts as unread, so the log shows how many errors are new.
//
// `parseError` is the report of the latest XML load; it becomes the entry's description
// for a document that did not load (kind 8). With `dialogs` the failure is also shown in
// an error box: the kind's message, an empty line, and `detail` in double quotation marks.
store::TSiteRecord* LogError(store::TChannelTree& tree, int kind, store::TSiteList* channel,
                             const formats::TParseError& parseError, double now, const std::string& detail = {},
                             platform::Dialogs* dialogs = nullptr);

}  // namespace fetch
