// SPDX-License-Identifier: MIT
#include "formats/LegacyDataConverter.h"

#include <array>
#include <charconv>
#include <cmath>
#include <memory>
#include <string_view>
#include <utility>
#include <variant>

#include "formats/Opml.h"
#include "formats/xml/XmlListBuilder.h"
#include "formats/xml/XmlLoader.h"
#include "platform/Files.h"
#include "store/ChannelTree.h"
#include "store/TSiteList.h"
#include "store/TTreeNodeExt.h"
#include "store/datafile/DataFileFields.h"
#include "store/datafile/DataFileFormat.h"
#include "text/Cut.h"
#include "text/Literal.h"
#include "text/XmlText.h"

namespace formats {
namespace {

using store::TSiteList;
using store::TSiteRecord;
using store::TTreeNodeExt;

// What the field elements of one "item" element fill: the item or channel header, the
// channel's attributes, the caption and the kind.
struct LegacyRecord {
  TSiteRecord item;
  TSiteList channel;  // only its attributes are used, never its item list
  std::string caption;
  std::optional<int> kind;  // none while no "flag" element was met
};

using Setter = void (*)(LegacyRecord&, const std::string&);

// Numbers may stand on lines of their own inside their element.
int64_t Integer(const std::string& value) {
  return store::datafile::ParseTolerantInt(text::TrimJ(value));
}

double Day(const std::string& value) {
  return store::datafile::ParseDayNumber(text::TrimJ(value));
}

template <typename T>
T Number(const std::string& value) {
  return static_cast<T>(Integer(value));
}

struct FieldEntry {
  std::string_view element;  // lower case
  Setter set;
};

using R = LegacyRecord;
using V = const std::string&;

// The field elements of the old format for the item or channel header and where each one
// goes; the channel's own fields are those of store::datafile::kChannelFields. The
// "_cdata" forms carry the markup of a description or content; "descs_cdata" and
// "encode_cdata" hold it with its markup characters escaped once more.
constexpr std::array kFields = {
    FieldEntry{"flag", [](R& r, V v) { r.kind = r.kind.value_or(static_cast<int>(Integer(v))); }},
    FieldEntry{"dispname", [](R& r, V v) { r.caption = v; }},
    FieldEntry{"read", [](R& r, V v) { r.item.read = Number<uint8_t>(v); }},
    FieldEntry{"title", [](R& r, V v) { r.item.title = v; }},
    FieldEntry{"description", [](R& r, V v) { r.item.desc = v; }},
    FieldEntry{"encoded", [](R& r, V v) { r.item.encoded = v; }},
    FieldEntry{"link", [](R& r, V v) { r.item.link = v; }},
    FieldEntry{"pubdate", [](R& r, V v) { r.item.pubdate = v; }},
    FieldEntry{"xmlbase", [](R& r, V v) { r.item.xmlbase = v; }},
    FieldEntry{"creator", [](R& r, V v) { r.item.creator = v; }},
    FieldEntry{"category", [](R& r, V v) { r.item.category = v; }},
    FieldEntry{"rdfurl", [](R& r, V v) { r.item.rdfurl = v; }},
    FieldEntry{"desc_cdata", [](R& r, V v) { r.item.de_cd = v; }},
    FieldEntry{"descs_cdata", [](R& r, V v) { r.item.de_cd = text::XmlUnescape(v, false); }},
    FieldEntry{"encoded_cdata", [](R& r, V v) { r.item.en_cd = v; }},
    FieldEntry{"encode_cdata", [](R& r, V v) { r.item.en_cd = text::XmlUnescape(v, false); }},
    FieldEntry{"lastmodified", [](R& r, V v) { r.item.modified = Day(v); }},
    FieldEntry{"imageurl", [](R& r, V v) { r.item.imgurl = v; }},
    FieldEntry{"imagetitle", [](R& r, V v) { r.item.imgtitle = v; }},
    FieldEntry{"imagelink", [](R& r, V v) { r.item.imglink = v; }},
    FieldEntry{"commenturl", [](R& r, V v) { r.item.commurl = v; }},
    FieldEntry{"commentnum", [](R& r, V v) { r.item.commnum = Number<uint16_t>(v); }},
};

// An element's name as the table holds it: trimmed and in lower case. The table's names
// are plain ASCII, so folding ASCII letters is all the comparison needs.
std::string ElementKey(std::string_view name) {
  std::string key = text::TrimJ(name);
  for (char& c : key) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + ('a' - 'A'));
  }
  return key;
}

const FieldEntry* LookupField(std::string_view key) {
  for (const FieldEntry& entry : kFields) {
    if (entry.element == key) return &entry;
  }
  return nullptr;
}

// The value of a field element: its text, or its CDATA content when it has no text.
const std::string& ValueOf(const TXMLItemType& element) {
  return element.Text.empty() ? element.CData : element.Text;
}

// The version text as a decimal number; 0 for none or anything unreadable.
double ParseVersion(const std::string& value) {
  const std::string trimmed = text::TrimJ(value);
  double version = 0;
  const auto [end, error] = std::from_chars(trimmed.data(), trimmed.data() + trimmed.size(), version);
  (void)end;
  return error == std::errc() && std::isfinite(version) ? version : 0;
}

// Stores a value by the form its channel field takes.
void SetChannelField(TSiteList& channel, const store::datafile::ChannelField& field, const std::string& value) {
  namespace df = store::datafile;
  std::visit(df::Overloaded{
                 [&](df::TextMember form) { channel.*form.member = value; },
                 [&](df::DayMember form) { channel.*form.member = Day(value); },
                 [&]<typename T>(df::NumberMember<T> form) { channel.*form.member = Number<T>(value); },
                 [&](df::Unsigned32Member form) { channel.*form.member = Number<int32_t>(value); },
             },
             field.member);
}

// Puts the value of a field element where it goes; unknown elements are skipped.
void TakeField(LegacyRecord& record, std::string_view element, const std::string& value) {
  if (const FieldEntry* field = LookupField(element)) {
    field->set(record, value);
  } else if (const store::datafile::ChannelField* field = store::datafile::ChannelFieldOfElement(element)) {
    SetChannelField(record.channel, *field, value);
  }
}

// Where the content of an element goes: nodes below `group`, items into `channel`.
struct Place {
  TTreeNodeExt* group = nullptr;
  TTreeNodeExt* channel = nullptr;
};

// Builds the tree from the document's records, the way the data file loader builds it
// from its lines: a node starts with a placeholder caption and gets its caption and kind
// once its element is read; items go to the channel they are nested in, with the counts.
class LegacyTreeBuilder {
 public:
  LegacyTreeBuilder(store::ChannelStore& store, store::ItemStateReplay* replay)
      : store_(store), tree_(store.Tree()), replay_(replay) {}

  // Searches the elements for "item" elements; "plover" holds the header, not data.
  void SearchItems(const TXMLList& list, Place place) {
    for (const auto& record : list) {
      if (record->Kind == kXmlAttribute) continue;
      const std::string key = ElementKey(record->Name);
      if (key == "item") {
        ReadItem(*record, place);
      } else if (key != "plover" && record->Children) {
        SearchItems(*record->Children, place);
      }
    }
  }

 private:
  void ReadItem(const TXMLItemType& element, Place place);
  TTreeNodeExt* CreateNode(int kind, TTreeNodeExt* parent);
  void FinishNode(TTreeNodeExt* node, int kind, LegacyRecord& record);
  void AddItem(TTreeNodeExt* channelNode, LegacyRecord& record);

  store::ChannelStore& store_;
  store::TChannelTree& tree_;
  store::ItemStateReplay* replay_;
};

void LegacyTreeBuilder::ReadItem(const TXMLItemType& element, Place place) {
  LegacyRecord record;
  if (element.Children) {
    for (const auto& child : *element.Children) {
      if (child->Kind == kXmlAttribute) continue;
      TakeField(record, ElementKey(child->Name), ValueOf(*child));
    }
  }
  const int kind = record.kind.value_or(-1);
  TTreeNodeExt* node = CreateNode(kind, place.group);
  // Nodes nested in a channel or a search item cannot stay there (the data file has no
  // place for them), so they join the group that holds it; an element that made no node
  // passes its content on to where it stands.
  Place inner = place;
  if (node != nullptr && kind == store::kKindGroup) inner = Place{node, nullptr};
  if (node != nullptr && store::IsChannelKind(kind)) inner.channel = node;
  if (node != nullptr && kind == store::kKindSearch) inner.channel = nullptr;
  if (element.Children) SearchItems(*element.Children, inner);

  if (kind == store::kKindItem) {
    AddItem(place.channel, record);
  } else if (node != nullptr) {
    FinishNode(node, kind, record);
  }
}

TTreeNodeExt* LegacyTreeBuilder::CreateNode(int kind, TTreeNodeExt* parent) {
  if (parent == nullptr) return nullptr;
  // The data file cannot hold nodes deeper than this; a deeper node joins the deepest
  // group instead of making a file that could not be loaded again.
  while (parent->Level() >= store::datafile::kMaxDepth) parent = parent->Parent();
  if (kind == store::kKindGroup || kind == store::kKindSearch) {
    return tree_.AddChild(parent, text::J("(問題のあるフォルダ)"), store::kKindGroup);
  }
  if (kind >= 0 && store::IsChannelKind(kind)) {
    return tree_.AddChild(parent, text::J("(問題のある項目)"), store::kKindChannel, std::make_unique<TSiteList>());
  }
  return nullptr;
}

void LegacyTreeBuilder::FinishNode(TTreeNodeExt* node, int kind, LegacyRecord& record) {
  if (TSiteList* list = node->Data()) {
    list->Site = std::move(record.item);
    list->Site.Owner = nullptr;
    store::datafile::MoveChannelFields(record.channel, *list);
  }
  tree_.SetCaption(node, std::move(record.caption));
  tree_.SetNodeKind(node, kind);
}

void LegacyTreeBuilder::AddItem(TTreeNodeExt* channelNode, LegacyRecord& record) {
  // An item outside any channel has nowhere to go and is dropped, as the loader drops it.
  if (channelNode == nullptr || channelNode->Data() == nullptr) return;
  TSiteList& list = *channelNode->Data();
  TSiteRecord& item = record.item;
  item.Owner = &list;
  if (replay_ != nullptr && replay_->ReplayItemState(item)) store_.SetModified();
  const bool unread = item.read == store::kStateUnread;
  if (list.AddItem(std::move(item)) == nullptr) return;
  tree_.AddItemCount(channelNode, 1);
  if (unread) tree_.AddUnreadCount(channelNode, 1);
}

}  // namespace

std::optional<double> LegacyDataConverter::OpenLegacyFile(const std::string& path) {
  document_.clear();
  std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes) return std::nullopt;
  const XmlLoad load = LoadXmlDocumentRepaired(context_, *bytes);
  if (!load) return std::nullopt;
  document_ = BuildXmlList(*load.Document);
  if (document_.empty()) return std::nullopt;
  return ParseVersion(ReadChildText(*document_.front(), "plover/version"));
}

void LegacyDataConverter::BuildLegacyTree(store::ChannelStore& store, store::ItemStateReplay* replay) {
  if (document_.empty() || !document_.front()->Children) return;
  LegacyTreeBuilder builder(store, replay);
  builder.SearchItems(*document_.front()->Children, Place{store.Tree().RootNode(), nullptr});
}

std::string LegacyDataConverter::ExportOpml(const store::TChannelTree& tree) {
  return formats::ExportOpml(tree.RootNode(), true, dialogs_);
}

}  // namespace formats
