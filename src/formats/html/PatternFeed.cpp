// SPDX-License-Identifier: MIT
#include "formats/html/PatternFeed.h"

#include <algorithm>
#include <optional>
#include <utility>

#include "formats/feeds/AtomParser.h"
#include "formats/html/private/TextLines.h"
#include "platform/CodePage.h"
#include "platform/Regex.h"
#include "text/Convert.h"
#include "text/Cut.h"
#include "text/Html.h"
#include "text/XmlText.h"

namespace formats {
namespace {

struct FieldName {
  std::string_view name;
  PatternField field;
};

constexpr FieldName kFieldNames[] = {
    {"y", PatternField::kYear},
    {"m", PatternField::kMonth},
    {"d", PatternField::kDay},
    {"h", PatternField::kHour},
    {"n", PatternField::kMinute},
    {"s", PatternField::kSecond},
    {"title", PatternField::kTitle},
    {"link", PatternField::kLink},
    {"creator", PatternField::kCreator},
    {"category", PatternField::kCategory},
    {"description", PatternField::kDescription},
};

// Patterns are written for an engine whose plain quantifiers match as little as possible
// and whose "." matches line breaks; they run character by character, so a pattern never
// matches half of a Japanese character.
constexpr platform::RegexOptions kPatternOptions{.dotAll = true, .ungreedy = true, .utf = true};

// The page's title: upper-case or lower-case tags, the text without the blanks inside.
constexpr std::string_view kTitleExpression =
    "<TITLE>[\\s\\n]*(.*)[\\s\\n]*<\\/TITLE>|<title>[\\s\\n]*(.*)[\\s\\n]*<\\/title>";

std::optional<PatternField> FieldNamed(std::string_view name) {
  for (const FieldName& entry : kFieldNames) {
    if (entry.name == name) return entry.field;
  }
  return std::nullopt;
}

std::string ToUtf8(std::string_view sjis) {
  return platform::Cp932ToUtf8(sjis, platform::CharRefs::kKeep);
}

// One line of text: no line breaks or TABs, no blanks at the ends.
std::string OneLine(std::string_view utf8) {
  return text::TrimJ(text::RemoveBreaks(text::Utf8ToSjis(utf8)));
}

std::string PageTitle(const std::string& subject, const std::string& address) {
  const std::optional<platform::Regex> expression = platform::Regex::Compile(kTitleExpression, kPatternOptions);
  platform::RegexMatch match;
  if (expression && expression->Match(subject, 0, match) == platform::RegexResult::kMatch) {
    for (const int group : {1, 2}) {
      std::string title = OneLine(match.Group(group));
      if (!title.empty()) return title;
    }
  }
  return address;
}

// The groups of the fields, numbered as the engine numbers them; 0 for a field the
// pattern does not name.
struct FieldGroups {
  int title = 0;
  int link = 0;
  int creator = 0;
  int category = 0;
  int description = 0;
};

FieldGroups NumberFields(const PatternFields& fields, const platform::Regex& regex) {
  const auto number = [&](PatternField field) {
    const std::string name = fields.GroupOf(field);
    return name.empty() ? 0 : std::max(regex.GroupNumber(name), 0);
  };
  return {number(PatternField::kTitle), number(PatternField::kLink), number(PatternField::kCreator),
          number(PatternField::kCategory), number(PatternField::kDescription)};
}

// The item of one match, or nothing when the match has neither title nor description
// or its link is excepted.
std::string ItemOf(const platform::RegexMatch& match, const FieldGroups& groups, const std::string& address,
                   const HtmlExceptionList& exceptions) {
  const auto field = [&](int group) { return group > 0 ? match.Group(group) : std::string_view(); };
  const std::string title = OneLine(field(groups.title));
  const std::string creator = OneLine(field(groups.creator));
  const std::string category = OneLine(field(groups.category));
  const std::string description = text::TrimJ(text::Utf8ToSjis(field(groups.description)));
  std::string link = OneLine(field(groups.link));
  if (!link.empty()) link = ResolveAddress(address, link);
  if (title.empty() && description.empty()) return {};
  if (!link.empty() && exceptions.ExcludesLink(link)) return {};

  std::string item = "<item><title>" + text::XmlEscape(title, false) + "</title>";
  const auto element = [&item](std::string_view name, const std::string& value) {
    if (value.empty()) return;
    item.append("<").append(name).append(">").append(text::XmlEscape(value, false));
    item.append("</").append(name).append(">");
  };
  element("link", link);
  element("dc:creator", creator);
  element("category", category);
  element("description", description);
  return item + "</item>";
}

}  // namespace

std::string PatternFields::GroupOf(PatternField field) const {
  for (const auto& [named, group] : Groups) {
    if (named == field) return group;
  }
  return {};
}

PatternFields ReadPlaceholders(std::string_view pattern) {
  PatternFields fields;
  size_t pos = 0;
  int placeholders = 0;
  while (pos < pattern.size()) {
    const size_t open = text::FindJ(pattern, "({", pos);
    if (open == std::string_view::npos) break;
    const size_t close = text::FindJ(pattern, "}", open + 2);
    if (close == std::string_view::npos) break;
    fields.Pattern.append(pattern.substr(pos, open + 1 - pos));
    const std::string name = LowerSingleByteLetters(pattern.substr(open + 2, close - open - 2));
    if (const std::optional<PatternField> field = FieldNamed(name)) {
      std::string group = "PloverField" + std::to_string(++placeholders);
      fields.Pattern += "?<" + group + ">";
      std::erase_if(fields.Groups, [&](const auto& entry) { return entry.first == *field; });
      fields.Groups.emplace_back(*field, std::move(group));
    }
    pos = close + 1;
  }
  fields.Pattern.append(pattern.substr(std::min(pos, pattern.size())));
  return fields;
}

bool BuildFeedFromPattern(const std::string& address, const std::string& pattern, std::string& document,
                          const HtmlExceptionList& exceptions) {
  const PatternFields fields = ReadPlaceholders(pattern);
  if (fields.GroupOf(PatternField::kTitle).empty() && fields.GroupOf(PatternField::kDescription).empty()) {
    return false;
  }
  const std::optional<platform::Regex> regex = platform::Regex::Compile(ToUtf8(fields.Pattern), kPatternOptions);
  if (!regex) return false;
  const FieldGroups groups = NumberFields(fields, *regex);

  // The page's lines end in CR LF whatever they ended in, and it is matched as text.
  const std::string subject = ToUtf8(text::ConvertHtmlPage(JoinLines(SplitLines(document))));
  platform::RegexMatch match;
  platform::RegexResult result = regex->Match(subject, 0, match);
  if (result == platform::RegexResult::kNoMatch) return true;
  if (result == platform::RegexResult::kError) return false;

  std::string feed =
      "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>"
      "<rss version=\"2.0\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\" xml:lang=\"ja\"><channel><title>" +
      text::XmlEscape(PageTitle(subject, address), false) + "</title><link>" + text::XmlEscape(address, false) +
      "</link>";
  while (result == platform::RegexResult::kMatch) {
    feed += ItemOf(match, groups, address, exceptions);
    result = regex->MatchNext(match);
  }
  if (result == platform::RegexResult::kError) return false;
  document = std::move(feed) + "</channel></rss>";
  return true;
}

}  // namespace formats
