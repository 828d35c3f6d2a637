// SPDX-License-Identifier: MIT
#include "search/KeywordAlerts.h"

#include "formats/feeds/KeywordFilter.h"

namespace search {

bool KeywordAlerts::MatchQuerySet(const store::TSiteRecord& item, const store::TTreeNodeExt* node) const {
  if (queries_.Empty()) return false;
  return queries_.MatchQuerySet(formats::BuildSearchText(item, settings_), node);
}

}  // namespace search
