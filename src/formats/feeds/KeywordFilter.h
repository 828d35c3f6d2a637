// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/Settings.h"
#include "store/TSiteRecord.h"

// The one small query language of the program: words separated by spaces are
// alternatives, "*" inside a word asks for several pieces in that order, a leading "!"
// excludes, and double quotes keep spaces inside a word. Queries and item texts are both
// folded (case, width, hiragana and katakana), so matching ignores those differences.
// The channel keyword uses it here; saved searches and alerts build their query sets
// from the same groups and the same term test.
namespace formats {

// One term of a query, as written, after folding.
struct TKensakuType {
  std::string Text;                // the term ("!" removed)
  std::vector<std::string> Parts;  // the pieces between "*"; empty for a plain term
  bool Negated = false;
};

// The terms of one query.
struct KeywordGroup {
  std::vector<TKensakuType> Terms;
  bool HasNegation = false;   // some term is negated
  bool OnlyNegations = true;  // no term is positive (true for an empty group)
};

// Parses a query into its terms. Nothing when the text holds no term at all (empty,
// spaces, or only "!"), so callers that keep one group per query add none for it.
std::optional<KeywordGroup> ParseKeywordGroup(std::string_view query);

// Whether the term occurs in a folded search text (never inside a double-byte character;
// the pieces of a "*" term in order, each searched from where the previous one was found).
bool TermFound(const TKensakuType& term, std::string_view searchText);

// The saved-search rule for one group: a found negated term fails the group, a found
// positive term makes it match; a group of negated terms only never matches.
bool MatchKeywordGroup(const KeywordGroup& group, std::string_view searchText);

// The channel-keyword rule: as MatchKeywordGroup, except that a group of negated terms
// only keeps every text that contains none of them.
bool MatchChannelKeyword(const KeywordGroup& group, std::string_view searchText);

// The fields of an item a search looks at, as the Search* settings choose them: an empty
// view for a field that is not searched. `description` is the richest non-empty form of the
// description, tags not yet stripped.
struct SearchFields {
  std::string_view title;
  std::string_view creator;
  std::string_view category;
  std::string_view description;
};

SearchFields SelectSearchFields(const store::TSiteRecord& item, const settings::Settings& settings);

// The text a query is matched against: title, creator, category and the description (tags
// stripped), each followed by three spaces when not empty; right-trimmed and folded.
std::string BuildSearchText(const SearchFields& fields);
std::string BuildSearchText(const store::TSiteRecord& item, const settings::Settings& settings);

// A channel's keyword, compiled once per document: which newly fetched items the channel
// takes. An empty keyword takes every item.
class KeywordFilter {
 public:
  KeywordFilter() = default;
  explicit KeywordFilter(std::string_view keyword);

  // True when the keyword had no term, so that every item passes.
  bool Empty() const { return !group_.has_value(); }

  bool Passes(const store::TSiteRecord& item, const settings::Settings& settings) const;

  // The same for a search text built already.
  bool PassesText(std::string_view searchText) const;

 private:
  std::optional<KeywordGroup> group_;
};

}  // namespace formats
