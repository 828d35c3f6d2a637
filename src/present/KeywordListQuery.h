// SPDX-License-Identifier: MIT
#pragma once

#include "present/ListQuery.h"
#include "search/QuerySet.h"
#include "settings/Settings.h"

namespace present {

// The list's query set as the saved searches keep theirs: an item matches when one group
// does. The list's groups have no scope: every item it collects is inside.
class KeywordListQuery : public ListQuery {
 public:
  explicit KeywordListQuery(const settings::Settings& settings) : settings_(settings) {}

  void Parse(std::string_view text) override { queries_.ParseQuery(text); }
  void Clear() override { queries_.Clear(); }
  bool Empty() const override { return queries_.Empty(); }
  bool Matches(const store::TSiteRecord& item) const override;

 private:
  const settings::Settings& settings_;
  search::QuerySet queries_;
};

}  // namespace present
