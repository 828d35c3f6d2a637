// SPDX-License-Identifier: MIT
#include "store/ItemBounds.h"

#include "store/DateTime.h"

namespace store {

int EffectiveItemLimit(const TSiteList& list, const settings::Settings& settings) {
  if (list.itemmax != 0) return list.itemmax;
  return settings.ItemLimitsHeld ? 0 : settings.ItemMax;
}

int EffectiveAgeLimit(const TSiteList& list, const settings::Settings& settings) {
  if (list.datemax != 0) return list.datemax;
  return settings.ItemLimitsHeld ? 0 : settings.DateMax;
}

std::vector<bool> ItemsToWrite(const TSiteList& list, const settings::Settings& settings, double now) {
  const size_t count = list.Count();
  if (settings.ItemLimitsHeld) return std::vector<bool>(count, true);
  const int itemLimit = EffectiveItemLimit(list, settings);
  const int ageLimit = EffectiveAgeLimit(list, settings);
  size_t skip = 0;
  if (itemLimit > 0 && count > static_cast<size_t>(itemLimit)) skip = count - static_cast<size_t>(itemLimit);
  std::vector<bool> write(count, false);
  for (size_t i = 0; i < count; ++i) {
    const TSiteRecord& item = *list.ItemAt(i);
    if (item.read == kStateProtected || (settings.MidokuSave && item.read == kStateUnread)) {
      write[i] = true;
    } else if (i >= skip) {
      write[i] = ageLimit <= 0 || item.pubdate.empty() || WholeDaysBetween(item.modified, now) <= ageLimit;
    }
  }
  return write;
}

}  // namespace store
