// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "formats/xml/TXMLList.h"
#include "store/TSiteRecord.h"

// The small rules the RSS and Atom readers share: how an element's value is read, how
// names are matched, which enclosure an item keeps, how an untitled item gets a title,
// and how the feed's version number is read.
namespace formats {

// Versions are fixed-point numbers with four decimals: 2.0 is 20000, 0.3 is 3000.
inline constexpr int64_t kFeedVersionUnit = 10000;
inline constexpr int64_t kNoFeedVersion = -kFeedVersionUnit;  // not (yet) recognised as a feed
inline constexpr int64_t kRss09Version = 9000;
inline constexpr int64_t kAtom02Version = 2000;

// Longest title made from an item's description, in bytes, "..." included.
inline constexpr long kFallbackTitleBytes = 70;

// Whether a record's name, with its ASCII letters lower-cased, is `lowerName` (given in
// lower case). Prefixes are part of the name: "dc:date" matches only "dc:date".
bool NameIs(const TXMLItemType& record, std::string_view lowerName);

// The same test on a plain text, for attribute values such as "alternate" or "xml".
bool LowerEquals(std::string_view text, std::string_view lowerText);

// The first attribute of `record` with that (lower-case) name, or nullptr.
const TXMLItemType* FindAttribute(const TXMLItemType& record, std::string_view lowerName);

// The readable text of an element or attribute: Text (or CData when that gives nothing)
// with entities decoded; with `stripMarkup`, a value that looks like HTML loses its tags
// first. Line breaks and TABs are removed from the result.
std::string ElementText(const TXMLItemType& record, bool stripMarkup);

// Offers an enclosure address to the item: an address of a media file replaces what the
// item has, any other address is taken only while the item has none. So among several
// enclosures the last media file wins, otherwise the first one.
void ChooseEnclosure(store::TSiteRecord& item, const std::string& candidate);

// Whether the address names a file of one of the media types the media program plays,
// judged by its extension.
bool HasMediaExtension(std::string_view address);

// An item without title takes the beginning of its description (or of the description's
// markup) as title. Returns whether the item has a title now; an untitled item is dropped.
bool ApplyTitleFallback(store::TSiteRecord& item);

// The same, and when the kept texts give no title, the first of `texts` that gives one:
// the texts the item arrived with, also those the SupportTags setting does not keep, so
// that an item carrying only a description or only content is still listed.
bool ApplyTitleFallback(store::TSiteRecord& item, std::initializer_list<std::string_view> texts);

// Whether the item's title is the one a title fallback makes from one of its texts: such an
// item has no title of its own.
bool TitleMadeFromText(const store::TSiteRecord& item);

// The number a version attribute gives: a decimal with "." as separator, read up to the
// first character that does not fit ("2.0b" gives 2.0, "x" gives 0), in kFeedVersionUnit.
int64_t ParseFeedVersion(std::string_view text);

// The comment count of slash:comments: the leading digits of the text (0 when there are
// none), held to the range of 16 bits.
uint16_t ParseCommentCount(std::string_view text);

}  // namespace formats
