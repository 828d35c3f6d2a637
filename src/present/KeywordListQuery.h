// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

#include "formats/KeywordFilter.h"
#include "present/ListQuery.h"
#include "settings/Settings.h"

namespace present {

// The query set as groups of the keyword language: an item matches when one group does.
class KeywordListQuery : public ListQuery {
 public:
  explicit KeywordListQuery(const settings::Settings& settings) : settings_(settings) {}

  void Parse(std::string_view text) override;
  void Clear() override { groups_.clear(); }
  bool Empty() const override { return groups_.empty(); }
  bool Matches(const store::TSiteRecord& item) const override;

 private:
  const settings::Settings& settings_;
  std::vector<formats::KeywordGroup> groups_;
};

}  // namespace present
