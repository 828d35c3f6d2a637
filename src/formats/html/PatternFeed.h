// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "formats/html/HtmlExceptionList.h"

// The pattern mode of HTML channels: a regular expression with named fields is run over
// the page, and each match becomes an item.
namespace formats {

// A field a placeholder "({name}" of a pattern can name.
enum class PatternField {
  kYear,
  kMonth,
  kDay,
  kHour,
  kMinute,
  kSecond,
  kTitle,
  kLink,
  kCreator,
  kCategory,
  kDescription
};

// A pattern with its placeholders turned into capture groups.
struct PatternFields {
  std::string Pattern;  // code page 932, ready for the engine
  // The group of each field the pattern names (the later of two with the same name);
  // the engine's group names, so that other groups of the pattern do not shift them.
  std::vector<std::pair<PatternField, std::string>> Groups;

  // The engine's name of a field's group; empty when the pattern does not name it.
  std::string GroupOf(PatternField field) const;
};

// Scans the pattern from the left for "({" + name + "}": the "{name}" goes, so the "("
// opens a capture group. The names y, m, d, h, n, s, title, link, creator, category and
// description (any case) become named groups; any other name leaves a plain group.
PatternFields ReadPlaceholders(std::string_view pattern);

// Runs the pattern over the page in `document` (code page 932, EUC-JP or UTF-8 by its
// charset labels). When it matches, the document is replaced by an RSS 2.0 document
// (Shift_JIS) with one item for every match that has a title or a description and
// whose link holds no exception fragment; the channel's title is the page's. A page the
// pattern does not match is left as it is (true). False, with the page left as it is,
// when the pattern names neither a title nor a description, does not compile, or its
// search ran past the engine's bounds.
bool BuildFeedFromPattern(const std::string& address, const std::string& pattern, std::string& document,
                          const HtmlExceptionList& exceptions);

}  // namespace formats
