// SPDX-License-Identifier: MIT
#pragma once

#include "search/KeywordAlerts.h"

namespace fetch {

// The keyword alerts an update run tests its new items against; a run given none tests
// nothing.
using KeywordAlerts = search::KeywordAlerts;

}  // namespace fetch
