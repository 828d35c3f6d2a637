// SPDX-License-Identifier: MIT
#include "present/KeywordListQuery.h"

namespace present {

void KeywordListQuery::Parse(std::string_view text) {
  if (std::optional<formats::KeywordGroup> group = formats::ParseKeywordGroup(text)) groups_.push_back(*group);
}

bool KeywordListQuery::Matches(const store::TSiteRecord& item) const {
  if (groups_.empty()) return true;
  const std::string searchText = formats::BuildSearchText(item, settings_);
  for (const formats::KeywordGroup& group : groups_) {
    if (formats::MatchKeywordGroup(group, searchText)) return true;
  }
  return false;
}

}  // namespace present
