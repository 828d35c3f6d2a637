// SPDX-License-Identifier: MIT
#pragma once

#include <string_view>

namespace store {
struct TSiteRecord;
}

namespace present {

// The query set the headline list filters by: the keyword box's text or a search item's
// caption. The saved searches supply the full set; KeywordListQuery is the plain one.
class ListQuery {
 public:
  virtual ~ListQuery() = default;

  // Parses a query text and adds it to the set (a text without terms adds nothing).
  virtual void Parse(std::string_view text) = 0;
  virtual void Clear() = 0;
  virtual bool Empty() const = 0;
  virtual bool Matches(const store::TSiteRecord& item) const = 0;
};

}  // namespace present
