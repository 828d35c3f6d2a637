// SPDX-License-Identifier: MIT
#pragma once

#include "app/DataSession.h"

namespace app {

// The first start: the user is offered the built-in subscription list
// (system/default.opml of the data folder). On Yes the list is imported as a new group
// (its channels stopped until the user subscribes them) and the outcome is told. True when
// channels were added.
bool OfferDefaultList(DataSession& session);

}  // namespace app
