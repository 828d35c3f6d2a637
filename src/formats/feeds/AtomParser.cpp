// SPDX-License-Identifier: MIT
#include "formats/feeds/AtomParser.h"

#include <optional>

#include "formats/feeds/FeedFields.h"
#include "formats/feeds/ItemMerge.h"
#include "text/Cut.h"
#include "text/Html.h"

namespace formats {
namespace {

using store::TSiteRecord;

bool IsMarkupType(std::string_view type) {
  return LowerEquals(type, "application/xhtml+xml") || LowerEquals(type, "xhtml") || LowerEquals(type, "html");
}

std::string TitleFromConstruct(const TextConstruct& construct) {
  if (!construct.plain.empty()) {
    return text::TrimRightJ(text::RemoveBreaks(text::HtmlUnescape(construct.plain, true)));
  }
  if (construct.markup.empty()) return {};
  return text::TrimRightJ(text::RemoveBreaks(text::HtmlUnescape(text::StripTags(construct.markup, true), true)));
}

// The dates an Atom element may carry; the first of created, issued and modified that is
// present is the one taken.
struct AtomDates {
  std::string modified;
  std::string issued;
  std::string created;

  // Returns whether the element was a date.
  bool Read(const TXMLItemType& element) {
    if (NameIs(element, "modified") || NameIs(element, "updated")) {
      modified = element.Text;
    } else if (NameIs(element, "issued")) {
      issued = element.Text;
    } else if (NameIs(element, "created") || NameIs(element, "published")) {
      created = element.Text;
    } else {
      return false;
    }
    return true;
  }

  const std::string* Chosen() const {
    if (!created.empty()) return &created;
    if (!issued.empty()) return &issued;
    if (!modified.empty()) return &modified;
    return nullptr;
  }
};

// The per-document state of the Atom reader.
class AtomReader {
 public:
  explicit AtomReader(FeedRun& run) : run_(run) {}

  void Read(const TXMLItemType& root) {
    feedBase_.clear();
    run_.FeedVersion = 0;
    if (const TXMLItemType* version = FindAttribute(root, "version"))
      run_.FeedVersion = ParseFeedVersion(version->Text);
    if (const TXMLItemType* base = FindAttribute(root, "xml:base")) feedBase_ = base->Text;
    if (run_.FeedVersion < 0 || !root.Children) return;
    AtomDates dates;
    for (const auto& child : *root.Children) {
      if (run_.Stop) return;
      ReadFeedChild(*child, dates);
    }
    if (run_.Stop) return;
    // The feed's own date replaces whatever its entries raised the header's date to.
    if (const std::string* date = dates.Chosen()) {
      run_.Header.pubdate = *date;
      run_.Header.modified = run_.ParseDate(*date, false);
    }
  }

 private:
  void ReadFeedChild(const TXMLItemType& element, AtomDates& dates) {
    TSiteRecord& header = run_.Header;
    if (dates.Read(element)) return;
    if (NameIs(element, "entry")) {
      ReadEntryBase(element);
      if (element.Children) ParseEntry(element);
    } else if (NameIs(element, "title")) {
      header.title = TitleFromConstruct(Construct(element));
    } else if (NameIs(element, "link")) {
      ReadFeedLink(element);
    } else if (NameIs(element, "tagline")) {
      const TextConstruct tagline = Construct(element);
      header.desc = tagline.plain;
      header.de_cd = tagline.markup;
      header.xmlbase = tagline.base;
    } else if (NameIs(element, "subtitle")) {
      if (header.desc.empty()) header.desc = element.Text;
      if (header.de_cd.empty()) header.de_cd = element.CData;
    } else if (NameIs(element, "dc:creator")) {
      if (header.creator.empty()) header.creator = ElementText(element, true);
    } else if (NameIs(element, "category")) {
      if (const TXMLItemType* term = FindAttribute(element, "term")) header.category = term->Text;
    } else if (NameIs(element, "dc:subject")) {
      if (header.category.empty()) header.category = ElementText(element, true);
    } else if (NameIs(element, "author") && element.Children) {
      for (const auto& child : *element.Children) {
        if (NameIs(*child, "name")) header.creator = ElementText(*child, true);
        if (NameIs(*child, "url") && header.link.empty()) header.link = ElementText(*child, true);
      }
    }
  }

  void ReadFeedLink(const TXMLItemType& element) {
    std::string& link = run_.Header.link;
    if (element.Attributes) {
      std::string candidate;
      bool alternate = false;
      for (const auto& attribute : *element.Attributes) {
        if (NameIs(*attribute, "href")) candidate = attribute->Text;
        if (NameIs(*attribute, "rel") && LowerEquals(attribute->Text, "alternate")) alternate = true;
        if (alternate && !candidate.empty()) {
          link = candidate;
          break;
        }
      }
      if (link.empty()) link = candidate;
    } else {
      link = element.Text;
    }
    if (!feedBase_.empty()) link = ResolveAddress(feedBase_, link);
  }

  void ReadEntryBase(const TXMLItemType& entry) {
    entryBase_ = feedBase_;
    const TXMLItemType* base = FindAttribute(entry, "xml:base");
    if (base == nullptr) return;
    entryBase_ = feedBase_.empty() ? base->Text : ResolveAddress(feedBase_, base->Text);
  }

  TextConstruct Construct(const TXMLItemType& element) const {
    TextConstruct construct;
    ReadTextConstruct(element, run_.FeedVersion, construct);
    return construct;
  }

  std::string EntryRelative(const std::string& address) const {
    return entryBase_.empty() ? address : ResolveAddress(entryBase_, address);
  }

  void ReadEntryLink(const TXMLItemType& element, TSiteRecord& item) const {
    if (!element.Attributes) {
      item.link = element.Text;
      return;
    }
    std::string candidate;
    enum class Rel { kNone, kAlternate, kEnclosure } rel = Rel::kNone;
    for (const auto& attribute : *element.Attributes) {
      if (NameIs(*attribute, "href")) candidate = attribute->Text;
      if (NameIs(*attribute, "rel")) {
        if (LowerEquals(attribute->Text, "alternate")) rel = Rel::kAlternate;
        if (LowerEquals(attribute->Text, "enclosure")) rel = Rel::kEnclosure;
      }
      if (rel != Rel::kNone && !candidate.empty()) break;
    }
    if (rel == Rel::kAlternate && !candidate.empty()) {
      item.link = candidate;
    } else if (rel == Rel::kEnclosure && !candidate.empty()) {
      ChooseEnclosure(item, candidate);
    } else if (rel == Rel::kNone && item.link.empty()) {
      item.link = candidate;
    }
  }

  void ReadEntryChild(const TXMLItemType& element, TSiteRecord& item, TextConstruct& summary, TextConstruct& content,
                      AtomDates& dates) const {
    if (dates.Read(element)) return;
    if (NameIs(element, "title")) {
      item.title = TitleFromConstruct(Construct(element));
    } else if (NameIs(element, "summary") || NameIs(element, "content")) {
      TextConstruct& target = NameIs(element, "summary") ? summary : content;
      target = Construct(element);
      item.xmlbase = EntryRelative(target.base);
    } else if (NameIs(element, "link")) {
      ReadEntryLink(element, item);
    } else if (NameIs(element, "author") && element.Children) {
      for (const auto& child : *element.Children) {
        if (!NameIs(*child, "name")) continue;
        item.creator = ElementText(*child, true);
        break;
      }
    } else if (NameIs(element, "dc:creator")) {
      item.creator = ElementText(element, true);
    } else if (NameIs(element, "category")) {
      if (const TXMLItemType* term = FindAttribute(element, "term")) item.category = term->Text;
    } else if (NameIs(element, "dc:subject")) {
      if (item.category.empty()) item.category = ElementText(element, true);
    }
  }

  void ParseEntry(const TXMLItemType& entry) {
    TSiteRecord item;
    item.modified = run_.NextUndatedDate();
    TextConstruct summary;
    TextConstruct content;
    AtomDates dates;
    for (const auto& child : *entry.Children) ReadEntryChild(*child, item, summary, content, dates);

    if (item.link.empty()) item.link = item.enclose;
    if (!entryBase_.empty()) item.link = ResolveAddress(entryBase_, item.link);
    const int supportTags = run_.Settings.SupportTags;
    if (supportTags > 1) item.en_cd = content.markup;
    if (supportTags < 1) {
      item.xmlbase.clear();
    } else {
      item.desc = !content.plain.empty() ? content.plain : summary.plain;
      if (item.desc.empty()) item.de_cd = summary.markup;
    }
    if (const std::string* date = dates.Chosen()) {
      item.pubdate = *date;
      item.modified = run_.ParseDate(*date, false);
      if (item.modified > run_.Header.modified) run_.Header.modified = item.modified;
    }
    // An entry may carry only content or only a summary, in text or in markup.
    if (!ApplyTitleFallback(item, {content.plain, content.markup, summary.plain, summary.markup})) return;
    MergeItem(std::move(item), run_);
  }

  FeedRun& run_;
  std::string feedBase_;
  std::string entryBase_;
};

// The scheme and host of an absolute address ("http://host"), or none.
std::optional<std::string_view> SchemeAndHost(std::string_view base) {
  const size_t scheme = base.find("://");
  if (scheme == std::string_view::npos) return std::nullopt;
  const size_t slash = base.find('/', scheme + 3);
  return slash == std::string_view::npos ? base : base.substr(0, slash);
}

// The folder of a base address: everything before its last "/" or "\". A base that is a
// bare host ("http://host") is its own folder.
std::string_view BaseFolder(std::string_view base) {
  if (const auto host = SchemeAndHost(base); host && host->size() == base.size()) return base;
  const size_t separator = base.find_last_of("/\\");
  return separator == std::string_view::npos ? std::string_view() : base.substr(0, separator);
}

}  // namespace

bool AtomRawMarkupTest(const TXMLItemType& element, int64_t feedVersion) {
  if (!element.Attributes) return false;
  if (!NameIs(element, "content") && !NameIs(element, "tagline") && !NameIs(element, "summary") &&
      !NameIs(element, "title")) {
    return false;
  }
  const TXMLItemType* mode = nullptr;
  const TXMLItemType* type = nullptr;
  for (const auto& attribute : *element.Attributes) {
    if (mode == nullptr && NameIs(*attribute, "mode")) mode = attribute.get();
    if (type == nullptr && NameIs(*attribute, "type")) type = attribute.get();
    if (mode != nullptr && type != nullptr) break;
  }
  if (mode != nullptr && !mode->Text.empty()) return LowerEquals(mode->Text, "xml");
  if (type == nullptr) return false;
  return IsMarkupType(type->Text) || (LowerEquals(type->Text, "text/html") && feedVersion == kAtom02Version);
}

void ReadTextConstruct(const TXMLItemType& element, int64_t feedVersion, TextConstruct& out) {
  if (!element.Attributes) {
    out.plain = text::HtmlUnescape(element.Text, false);
    out.markup = element.CData;
    return;
  }
  std::string mode;
  std::string type;
  for (const auto& attribute : *element.Attributes) {
    if (NameIs(*attribute, "mode")) mode = attribute->Text;
    if (NameIs(*attribute, "type")) type = attribute->Text;
    if (NameIs(*attribute, "xml:base")) out.base = attribute->Text;
  }
  if (LowerEquals(mode, "escaped")) {
    out.markup = !element.CData.empty() ? element.CData : text::HtmlUnescape(element.Text, false);
  } else if (LowerEquals(mode, "xml")) {
    out.markup = element.CData;
  } else if (LowerEquals(type, "multipart/alternative")) {
    if (!element.Children) return;
    for (const auto& child : *element.Children) ReadTextConstruct(*child, feedVersion, out);
  } else if (LowerEquals(type, "text/plain") || LowerEquals(type, "text")) {
    out.plain = text::HtmlUnescape(element.Text, false);
  } else if (LowerEquals(type, "text/html") && feedVersion == kAtom02Version) {
    out.markup = element.CData;
  } else if (IsMarkupType(type)) {
    if (out.plain.empty()) out.plain = text::HtmlUnescape(element.Text, false);
    if (out.markup.empty()) out.markup = text::HtmlUnescape(element.CData, false);
  }
}

std::string ResolveAddress(std::string_view base, std::string_view address) {
  if (address.find(":/") != std::string_view::npos) return std::string(address);
  if (address.starts_with("//")) {
    const size_t scheme = base.find("://");
    if (scheme != std::string_view::npos) return std::string(base.substr(0, scheme + 1)).append(address);
  }
  if (address.starts_with("/")) {
    if (base.find(":/") != std::string_view::npos) {
      if (const auto host = SchemeAndHost(base)) return std::string(*host).append(address);
    }
    return std::string(BaseFolder(base)).append(address);
  }
  return std::string(BaseFolder(base)).append("/").append(address);
}

void ParseAtomDocument(const TXMLList& topLevel, FeedRun& run) {
  if (topLevel.empty() || !NameIs(*topLevel.front(), "feed")) return;
  AtomReader(run).Read(*topLevel.front());
}

}  // namespace formats
