// SPDX-License-Identifier: MIT
#include "formats/feeds/KeywordFilter.h"

#include "text/Compare.h"
#include "text/Cut.h"
#include "text/Html.h"

namespace formats {
namespace {

// One piece of the query after the split: the term and whether it was quoted (a quoted
// term is taken exactly, without trimming).
struct RawTerm {
  std::string text;
  bool quoted = false;
};

void AddTerm(const RawTerm& raw, std::optional<KeywordGroup>& group) {
  std::string termText = raw.text;
  if (termText.empty()) return;
  bool negated = false;
  if (termText[0] == '!') {
    negated = true;
    termText.erase(0, 1);
    if (!raw.quoted) termText = text::TrimJ(termText);
    if (termText.empty()) return;
  }
  TKensakuType term;
  term.Text = termText;
  term.Negated = negated;
  if (termText.find('*') != std::string::npos) {
    size_t start = 0;
    while (start <= termText.size()) {
      size_t star = termText.find('*', start);
      if (star == std::string::npos) star = termText.size();
      std::string part = termText.substr(start, star - start);
      if (!raw.quoted) part = text::TrimJ(part);
      if (!part.empty()) term.Parts.push_back(std::move(part));
      start = star + 1;
    }
  }
  if (!group) group.emplace();
  if (negated) {
    group->HasNegation = true;
  } else {
    group->OnlyNegations = false;
  }
  group->Terms.push_back(std::move(term));
}

// Takes the next term off the front of `rest`. Returns false when no delimiter was found;
// `raw` then tells how the remaining text is to be taken.
bool SplitNext(std::string& rest, RawTerm& raw) {
  if (!rest.empty() && rest[0] == '"') {
    const size_t close = rest.find('"', 1);
    raw.quoted = true;
    if (close == std::string::npos) {
      rest.erase(0, 1);
      return false;
    }
    raw.text = rest.substr(1, close - 1);
    rest = text::TrimJ(std::string_view(rest).substr(close + 1));
    return true;
  }
  raw.quoted = false;
  const size_t space = rest.find(' ');
  if (space == std::string::npos) return false;
  raw.text = text::TrimJ(std::string_view(rest).substr(0, space));
  rest = text::TrimJ(std::string_view(rest).substr(space + 1));
  return true;
}

bool AnyTermFound(const KeywordGroup& group, std::string_view searchText) {
  for (const TKensakuType& term : group.Terms) {
    if (TermFound(term, searchText)) return true;
  }
  return false;
}

// The richest non-empty form of the description.
const std::string& DescriptionField(const store::TSiteRecord& item) {
  for (const std::string* field : {&item.en_cd, &item.encoded, &item.de_cd}) {
    if (!text::TrimRightJ(*field).empty()) return *field;
  }
  return item.desc;
}

void AppendField(std::string& out, std::string_view field) {
  if (field.empty()) return;
  out.append(field);
  out.append("   ");
}

}  // namespace

std::optional<KeywordGroup> ParseKeywordGroup(std::string_view query) {
  const std::string trimmed = text::TrimJ(query);
  if (trimmed.empty()) return std::nullopt;
  // Folding first turns full-width spaces, quotes, "!" and "*" into the ASCII forms the
  // split looks for.
  std::string rest = text::FoldForSearch(trimmed);
  std::optional<KeywordGroup> group;
  RawTerm raw;
  while (SplitNext(rest, raw)) AddTerm(raw, group);
  AddTerm(RawTerm{raw.quoted ? rest : text::TrimJ(rest), raw.quoted}, group);
  return group;
}

bool TermFound(const TKensakuType& term, std::string_view searchText) {
  if (term.Parts.empty()) return text::FindJ(searchText, term.Text) != std::string_view::npos;
  size_t from = 0;
  for (const std::string& part : term.Parts) {
    from = text::FindJ(searchText, part, from);
    if (from == std::string_view::npos) return false;
  }
  return true;
}

bool MatchKeywordGroup(const KeywordGroup& group, std::string_view searchText) {
  bool matched = false;
  for (const TKensakuType& term : group.Terms) {
    if (!TermFound(term, searchText)) continue;
    if (term.Negated) return false;
    matched = true;
    if (!group.HasNegation) return true;
  }
  return matched;
}

bool MatchChannelKeyword(const KeywordGroup& group, std::string_view searchText) {
  if (group.OnlyNegations) return !AnyTermFound(group, searchText);
  return MatchKeywordGroup(group, searchText);
}

SearchFields SelectSearchFields(const store::TSiteRecord& item, const settings::Settings& settings) {
  SearchFields fields;
  if (settings.SearchTitle) fields.title = item.title;
  if (settings.SearchCreate) fields.creator = item.creator;
  if (settings.SearchCagory) fields.category = item.category;
  if (settings.SearchDesc) fields.description = DescriptionField(item);
  return fields;
}

std::string BuildSearchText(const SearchFields& fields) {
  std::string out;
  AppendField(out, fields.title);
  AppendField(out, fields.creator);
  AppendField(out, fields.category);
  if (!fields.description.empty()) AppendField(out, text::StripTags(fields.description, false));
  return text::FoldForSearch(text::TrimRightJ(out));
}

std::string BuildSearchText(const store::TSiteRecord& item, const settings::Settings& settings) {
  return BuildSearchText(SelectSearchFields(item, settings));
}

KeywordFilter::KeywordFilter(std::string_view keyword) : group_(ParseKeywordGroup(keyword)) {}

bool KeywordFilter::Passes(const store::TSiteRecord& item, const settings::Settings& settings) const {
  return Empty() || PassesText(BuildSearchText(item, settings));
}

bool KeywordFilter::PassesText(std::string_view searchText) const {
  return Empty() || MatchChannelKeyword(*group_, searchText);
}

}  // namespace formats
