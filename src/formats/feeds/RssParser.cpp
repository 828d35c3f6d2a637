// SPDX-License-Identifier: MIT
#include "formats/feeds/private/RssParser.h"

#include "formats/feeds/FeedFields.h"
#include "formats/feeds/ItemMerge.h"
#include "text/Cut.h"

namespace formats {
namespace {

using store::TSiteRecord;

enum class CommonField { kNone, kField, kDate };

// The fields that channel and item read alike. `dateSeen` tells whether a dc:date or
// pubDate was met, which then wins over lastBuildDate.
CommonField ReadCommonField(const TXMLItemType& element, TSiteRecord& record, bool& dateSeen, FeedRun& run) {
  if (NameIs(element, "title")) {
    record.title = text::TrimRightJ(ElementText(element, true));
  } else if (NameIs(element, "link")) {
    record.link = ElementText(element, true);
  } else if (NameIs(element, "dc:date") || NameIs(element, "pubdate") ||
             (NameIs(element, "lastbuilddate") && !dateSeen)) {
    const bool w3cDate = NameIs(element, "dc:date");
    record.pubdate = element.Text;
    record.modified = run.ParseDate(element.Text, !w3cDate);
    if (!NameIs(element, "lastbuilddate")) dateSeen = true;
    return CommonField::kDate;
  } else if (NameIs(element, "dc:creator")) {
    record.creator = ElementText(element, true);
  } else if (NameIs(element, "author")) {
    // RSS 2.0's own author element stands in for dc:creator, which wins wherever it is.
    if (record.creator.empty()) record.creator = ElementText(element, true);
  } else if (NameIs(element, "category")) {
    record.category = ElementText(element, true);
  } else if (NameIs(element, "dc:subject")) {
    if (record.category.empty()) record.category = ElementText(element, true);
  } else if (NameIs(element, "comments")) {
    record.commurl = ElementText(element, true);
  } else if (NameIs(element, "slash:comments")) {
    record.commnum = ParseCommentCount(ElementText(element, true));
  } else {
    return CommonField::kNone;
  }
  return CommonField::kField;
}

bool IsDescription(const TXMLItemType& element) {
  return NameIs(element, "description") || NameIs(element, "dc:description");
}

void ReadImage(const TXMLItemType& image, TSiteRecord& header) {
  if (!image.Children) return;
  for (const auto& child : *image.Children) {
    if (NameIs(*child, "title")) {
      header.imgtitle = ElementText(*child, true);
    } else if (NameIs(*child, "url")) {
      header.imgurl = ElementText(*child, true);
    } else if (NameIs(*child, "link")) {
      header.imglink = ElementText(*child, true);
    }
  }
}

void ReadHeaderField(const TXMLItemType& element, FeedRun& run, bool& dateSeen) {
  TSiteRecord& header = run.Header;
  if (ReadCommonField(element, header, dateSeen, run) != CommonField::kNone) return;
  if (IsDescription(element)) {
    header.desc = element.Text;
    header.de_cd = element.CData;
  } else if (NameIs(element, "content:encoded")) {
    header.encoded = element.Text;
    header.en_cd = element.CData;
  } else if (NameIs(element, "image")) {
    ReadImage(element, header);
  } else if (NameIs(element, "managingeditor")) {
    if (header.creator.empty()) header.creator = ElementText(element, true);
  }
}

// The texts an item arrived with, whatever the SupportTags setting keeps of them.
struct ArrivedTexts {
  std::string description;
  std::string descriptionCData;
  std::string encoded;
  std::string encodedCData;
};

void ReadItemField(const TXMLItemType& element, TSiteRecord& item, ArrivedTexts& arrived, bool& dateSeen,
                   FeedRun& run) {
  const int supportTags = run.Settings.SupportTags;
  const CommonField common = ReadCommonField(element, item, dateSeen, run);
  if (common == CommonField::kDate) {
    // The channel is as new as its newest item.
    if (item.modified > run.Header.modified) run.Header.modified = item.modified;
  } else if (common == CommonField::kField) {
    return;
  } else if (IsDescription(element)) {
    arrived.description = element.Text;
    arrived.descriptionCData = element.CData;
    if (supportTags >= 1) {
      item.desc = element.Text;
      item.de_cd = element.CData;
    }
  } else if (NameIs(element, "content:encoded")) {
    arrived.encoded = element.Text;
    arrived.encodedCData = element.CData;
    if (supportTags >= 2) {
      item.encoded = element.Text;
      item.en_cd = element.CData;
    }
  } else if (NameIs(element, "guid")) {
    if (!item.link.empty() || !element.Attributes) return;
    const TXMLItemType* permaLink = FindAttribute(element, "ispermalink");
    if (permaLink != nullptr && LowerEquals(permaLink->Text, "true")) item.link = ElementText(element, true);
  } else if (NameIs(element, "enclosure")) {
    if (const TXMLItemType* url = FindAttribute(element, "url")) ChooseEnclosure(item, ElementText(*url, true));
  }
}

void ParseItem(const TXMLItemType& element, FeedRun& run) {
  TSiteRecord item;
  item.modified = run.NextUndatedDate();
  bool dateSeen = false;
  ArrivedTexts arrived;
  for (const auto& child : *element.Children) ReadItemField(*child, item, arrived, dateSeen, run);
  if (item.link.empty()) item.link = item.enclose;
  if (!ApplyTitleFallback(item,
                          {arrived.description, arrived.descriptionCData, arrived.encoded, arrived.encodedCData})) {
    return;
  }
  MergeItem(std::move(item), run);
}

void ParseChannel(const TXMLItemType& channel, FeedRun& run) {
  bool dateSeen = false;
  for (const auto& child : *channel.Children) ReadHeaderField(*child, run, dateSeen);
  for (const auto& child : *channel.Children) {
    if (run.Stop) return;
    if (NameIs(*child, "item") && child->Children) ParseItem(*child, run);
  }
}

}  // namespace

void ParseRssDocument(const TXMLList& topLevel, FeedRun& run) {
  if (topLevel.empty()) return;
  const TXMLItemType& root = *topLevel.front();
  if (NameIs(root, "rss")) {
    run.FeedVersion = kRss09Version;
    if (const TXMLItemType* version = FindAttribute(root, "version")) run.FeedVersion = ParseFeedVersion(version->Text);
  } else if (NameIs(root, "rdf:rdf")) {
    run.FeedVersion = 0;
  } else {
    return;
  }
  if (run.FeedVersion < 0 || !root.Children) return;
  // Only the root's children mean anything: RSS 0.9x and 2.0 keep items inside the
  // channel, RSS 1.0 beside it, with its image.
  for (const auto& child : *root.Children) {
    if (run.Stop) return;
    if (!child->Children) continue;
    if (NameIs(*child, "item")) {
      ParseItem(*child, run);
    } else if (NameIs(*child, "channel")) {
      ParseChannel(*child, run);
    } else if (NameIs(*child, "image")) {
      ReadImage(*child, run.Header);
    }
  }
}

}  // namespace formats
