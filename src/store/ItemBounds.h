// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include "settings/Settings.h"
#include "store/TSiteList.h"

// The bounds that keep a channel's stored item list from growing without end: at most so
// many items, none older than so many days. They are applied when the channel is written
// to the data file; items left out stay in memory until the program ends.
namespace store {

// The channel's own item limit, or the ItemMax setting when it has none. 0 or less means
// no limit. While the settings hold the limits (ItemLimitsHeld) the setting counts as no
// limit: it may not be the user's.
int EffectiveItemLimit(const TSiteList& list, const settings::Settings& settings);

// The channel's own age limit in days, or the DateMax setting when it has none. 0 or less
// means no limit. The setting counts as no limit while the settings hold the limits.
int EffectiveAgeLimit(const TSiteList& list, const settings::Settings& settings);

// For each item of the list (oldest first), whether a save writes it. An item is written
// when it is protected; or when MidokuSave is on and it is unread; or when it is among
// the newest `item limit` positions and is not too old: no age limit, no date text in the
// feed, or at most `age limit` whole days between its date and `now`. Protected and
// kept-unread items do not push others out: the item limit counts positions in the whole
// list, not written items. While the settings hold the limits every item is written:
// whether the user keeps unread items (MidokuSave) is not known either.
std::vector<bool> ItemsToWrite(const TSiteList& list, const settings::Settings& settings, double now);

}  // namespace store
