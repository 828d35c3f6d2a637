// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "formats/xml/TParseError.h"
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
// for a document that did not load (kind 8). `detail` is the address that failed: the
// entry links to it when the channel has no link of its own (or there is no channel).
// `cause` says what happened ("404 Not Found"); it becomes the description of the other
// kinds. With `dialogs` the failure is also shown in an error box: the kind's message,
// the cause on a line of its own, an empty line, and `detail` in double quotation marks.
// A password written into an address never reaches the entry or the box.
store::TSiteRecord* LogError(store::TChannelTree& tree, int kind, store::TSiteList* channel,
                             const formats::TParseError& parseError, double now, const std::string& detail = {},
                             platform::Dialogs* dialogs = nullptr, const std::string& cause = {});

// The entry of a channel that moved for good to another site while it had a user name and
// password: they were not sent there, and were taken off the channel, so that the user
// decides whether the new site is to have them.
store::TSiteRecord* LogCredentialsWithheld(store::TChannelTree& tree, store::TSiteList& channel,
                                           const std::string& oldAddress, const std::string& newAddress, double now);

}  // namespace fetch
