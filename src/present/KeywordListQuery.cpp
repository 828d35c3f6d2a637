// SPDX-License-Identifier: MIT
#include "present/KeywordListQuery.h"

#include "formats/feeds/KeywordFilter.h"

namespace present {

bool KeywordListQuery::Matches(const store::TSiteRecord& item) const {
  if (queries_.Empty()) return true;
  return queries_.MatchQuerySet(formats::BuildSearchText(item, settings_), nullptr);
}

}  // namespace present
