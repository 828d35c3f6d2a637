// SPDX-License-Identifier: MIT
#include "formats/Opml.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>

#include "formats/feeds/DocumentSource.h"
#include "platform/Files.h"
#include "store/BloglinesAddress.h"
#include "store/ChannelTree.h"
#include "store/TSiteList.h"
#include "store/datafile/DataFileFormat.h"
#include "text/Compare.h"
#include "text/Convert.h"
#include "text/Cut.h"
#include "text/Literal.h"
#include "text/XmlText.h"

namespace formats {
namespace {

using store::TTreeNodeExt;

constexpr std::string_view kCrLf = "\r\n";

// Record and attribute names are matched the forgiving way: trimmed, ignoring case.
bool IsNamed(const TXMLItemType& record, std::string_view name) {
  return text::SameTextTrimmed(record.Name, name);
}

bool HasChildElements(const TXMLItemType& record) {
  return record.Children != nullptr && !record.Children->empty();
}

bool HasAttributes(const TXMLItemType& record) {
  return record.Attributes != nullptr && !record.Attributes->empty();
}

// What the attributes of one outline say.
struct OutlineAttributes {
  std::string Name;  // as written, untrimmed: it becomes the node's caption
  bool NameFromText = false;
  std::string HtmlUrl;
  std::string XmlUrl;
  bool HasXmlUrl = false;
  std::string BloglinesSubId;
};

OutlineAttributes ReadOutline(const TXMLItemType& record) {
  OutlineAttributes outline;
  for (const auto& attribute : *record.Attributes) {
    if (IsNamed(*attribute, "text")) {
      outline.Name = attribute->Text;
      outline.NameFromText = true;
    } else if (IsNamed(*attribute, "title")) {
      // Many writers put the same name in both; "text" is the one OPML defines.
      if (!outline.NameFromText) outline.Name = attribute->Text;
    } else if (IsNamed(*attribute, "htmlUrl")) {
      outline.HtmlUrl = attribute->Text;
    } else if (IsNamed(*attribute, "xmlUrl")) {
      outline.XmlUrl = attribute->Text;
      outline.HasXmlUrl = true;
    } else if (IsNamed(*attribute, "BloglinesSubId")) {
      outline.BloglinesSubId = attribute->Text;
    }
  }
  return outline;
}

std::string CountQuestion(int count) {
  return text::J("OPMLによる追加の登録件数が ") + std::to_string(count) + text::J(" 件になりました。") +
         std::string(kCrLf) + text::J("一度に多くの追加登録を行うことは推奨できません。") + std::string(kCrLf) +
         std::string(kCrLf) + text::J("継続する場合は[はい] 中止する場合は[キャンセル]を選択してください。");
}

// One import run over a document's records. The context carries what the caller needs
// afterwards; everything else lives here.
class OpmlImporter {
 public:
  OpmlImporter(OpmlImportContext& context, store::ChannelStore& store, platform::Dialogs& dialogs)
      : context_(context), store_(store), dialogs_(dialogs) {
    const bool bloglinesSync = store.Settings().BloglinesSync;
    fromBloglines_ = store::IsBloglinesAddress(context.SourceAddress, bloglinesSync);
    fromBloglinesList_ = store::IsBloglinesListAddress(context.SourceAddress, bloglinesSync);
  }

  void Import(const TXMLList& list, TTreeNodeExt* parent, int depth) {
    for (const auto& item : list) {
      const TXMLItemType& record = *item;
      if (Ended()) {
        if (countReached_ && depth >= 2 && IsNamed(record, "outline")) outlinesLeftOut_ = true;
        return;
      }
      if (depth == 0) {
        if (!IsNamed(record, "opml")) return;
        if (record.Children) Import(*record.Children, parent, depth + 1);
      } else if (depth == 1) {
        if (IsNamed(record, "head")) {
          ReadHead(record);
        } else if (IsNamed(record, "body") && record.Children) {
          Import(*record.Children, parent, depth + 1);
        }
      } else if (IsNamed(record, "outline") && HasAttributes(record)) {
        ImportOutline(list, record, parent, depth);
      }
    }
  }

  // Tells the user what the import left out or placed elsewhere.
  void Report() {
    constexpr auto kInformation = platform::MessageType::kInformation;
    if (flattened_) {
      const std::string deepest = std::to_string(kDeepestGroup);
      dialogs_.ShowMessageBox(text::J("OPMLのフォルダの入れ子が深すぎるため、") + deepest +
                                  text::J(" 階層目より深いフォルダは作らずに、その中身を ") + deepest +
                                  text::J(" 階層目のフォルダに登録しました。"),
                              kInformation);
    }
    if (outlinesLeftOut_) {
      dialogs_.ShowMessageBox(text::J("OPMLから一度に登録できるのは ") + std::to_string(kOpmlChannelLimit) +
                                  text::J(" 件までのため、それより後の項目は登録しませんでした。"),
                              kInformation);
    }
  }

 private:
  // The deepest level (1 for the children of the root) at which the import makes a group:
  // its channels stand one level deeper, at the deepest level the data file can hold, and
  // anything deeper would make the data folder unloadable.
  static constexpr int kDeepestGroup = store::datafile::kMaxDepth - 1;

  // The node that takes what the outline would put below `parent`: `parent` itself, or,
  // below the deepest group level, the group of that level above it.
  TTreeNodeExt* Placed(TTreeNodeExt* parent) {
    while (parent->Level() > kDeepestGroup && parent->Parent() != nullptr) {
      parent = parent->Parent();
      flattened_ = true;
    }
    return parent;
  }

  store::TChannelTree& Tree() { return store_.Tree(); }

  bool Ended() const { return context_.ChannelCount >= kOpmlChannelLimit; }

  void ReadHead(const TXMLItemType& head) {
    if (!head.Children) return;
    for (const auto& child : *head.Children) {
      if (IsNamed(*child, "title")) {
        context_.Title = text::TrimJ(child->Text);
      } else if (IsNamed(*child, "ownername")) {
        context_.OwnerName = text::TrimJ(child->Text);
      }
    }
  }

  void ImportOutline(const TXMLList& list, const TXMLItemType& record, TTreeNodeExt* parent, int depth) {
    const OutlineAttributes outline = ReadOutline(record);
    const bool hasChildren = HasChildElements(record);
    // The service's subscription list wraps every subscription in one outline of its own;
    // the subscriptions are what the user wants below the target node.
    if (fromBloglinesList_ && depth == 2 && list.size() == 1 && !outline.HasXmlUrl && hasChildren) {
      Import(*record.Children, parent, depth + 1);
      return;
    }
    if (outline.Name.empty()) return;
    parent = Placed(parent);
    // An address of blanks names no feed; such an outline is kept as a group instead of
    // becoming a channel that could never be fetched.
    if (!text::TrimJ(outline.XmlUrl).empty() && !hasChildren) {
      if (AddChannel(parent, outline)) CountChannel();
      return;
    }
    if (parent->Level() >= kDeepestGroup) {
      // A group here would be too deep: its content joins the deepest group instead.
      flattened_ = true;
      if (hasChildren) Import(*record.Children, parent, depth + 1);
      return;
    }
    TTreeNodeExt* group = Tree().AddChild(parent, outline.Name, store::kKindGroup);
    if (group == nullptr) return;
    NoteChange();
    if (hasChildren) Import(*record.Children, group, depth + 1);
  }

  bool AddChannel(TTreeNodeExt* parent, const OutlineAttributes& outline) {
    auto channel = std::make_unique<store::TSiteList>();
    channel->Site.title = text::TrimJ(outline.Name);
    const std::string subscriptionId = text::TrimJ(outline.BloglinesSubId);
    if (!subscriptionId.empty()) {
      channel->Site.rdfurl =
          std::string(store::kBloglinesServiceBase) + std::string(store::kBloglinesItemPath) + subscriptionId;
      channel->clone = text::TrimJ(outline.XmlUrl);
    } else {
      channel->Site.rdfurl = text::TrimJ(outline.XmlUrl);
    }
    channel->Site.link = text::TrimJ(outline.HtmlUrl);
    TTreeNodeExt* node = Tree().AddChild(parent, outline.Name, store::kKindChannel, std::move(channel));
    if (node == nullptr) return false;
    // An imported list may hold hundreds of feeds the user never chose one by one; none of
    // them is fetched until the user resumes it.
    Tree().SetNodeKind(node, store::kKindStopped);
    NoteChange();
    return true;
  }

  void NoteChange() {
    context_.Changed = true;
    store_.SetModified();
  }

  void CountChannel() {
    ++context_.ChannelCount;
    if (context_.ChannelCount >= kOpmlChannelLimit) countReached_ = true;
    if (fromBloglines_ || context_.ChannelCount % kOpmlQuestionInterval != 0) return;
    if (!dialogs_.AskYesCancel(CountQuestion(context_.ChannelCount), platform::MessageType::kConfirmation,
                               platform::DefaultAnswer::kYes)) {
      context_.ChannelCount = kOpmlChannelLimit;
    }
  }

  OpmlImportContext& context_;
  store::ChannelStore& store_;
  platform::Dialogs& dialogs_;
  bool fromBloglines_ = false;
  bool fromBloglinesList_ = false;
  bool flattened_ = false;        // groups too deep were left out and their content moved up
  bool countReached_ = false;     // the channel count reached the limit (not a Cancel)
  bool outlinesLeftOut_ = false;  // outlines came after the limit and were not read
};

std::string Attr(std::string_view value) {
  return text::XmlEscapeAttr(value, false);
}

// Writes the outlines of one export. Indents are in spaces; the exported node stands at 2,
// each level below it 2 more.
class OpmlWriter {
 public:
  OpmlWriter(bool quiet, platform::Dialogs& dialogs) : quiet_(quiet), dialogs_(dialogs) {}

  std::string Write(const TTreeNodeExt& node) {
    WriteHead();
    if (store::IsChannelKind(node.Kind())) {
      WriteChannel(node, kTopIndent);
    } else if (node.Kind() == store::kKindGroup) {
      WriteChildren(node, kTopIndent);
    }
    Line(2, "</body>");
    out_ += "</opml>";
    return std::move(out_);
  }

 private:
  static constexpr int kTopIndent = 2;

  void Line(int indent, std::string_view content) {
    out_.append(static_cast<size_t>(indent), ' ');
    out_ += content;
    out_ += kCrLf;
  }

  void WriteHead() {
    Line(0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
    Line(0, "<opml version=\"1.1\">");
    Line(2, "<head>");
    Line(4, "<title>" + text::XmlEscape(text::J("Plover OPMLリスト"), false) + "</title>");
    Line(4, "<ownername>" + std::string(kOpmlOwnerName) + "</ownername>");
    Line(4, "<owneremail>" + std::string(kOpmlOwnerEmail) + "</owneremail>");
    Line(2, "</head>");
    Line(2, "<body>");
  }

  void WriteChannel(const TTreeNodeExt& node, int indent) {
    const store::TSiteList* channel = node.Data();
    const std::string caption = Attr(node.Caption());
    // A list goes to other people and programs: a password written into an address stays here.
    Line(indent, "<outline text=\"" + caption + "\" title=\"" + caption + "\" type=\"rss\" version=\"RSS\" htmlUrl=\"" +
                     Attr(channel ? WithoutCredentials(channel->Site.link) : std::string()) + "\" xmlUrl=\"" +
                     Attr(channel ? WithoutCredentials(channel->Site.rdfurl) : std::string()) + "\"/>");
  }

  // The children of a group whose own outline (written or not) stands at `indent`.
  void WriteChildren(const TTreeNodeExt& group, int indent) {
    const int childIndent = indent + 2;
    for (size_t i = 0; i < group.ChildCount(); ++i) {
      const TTreeNodeExt& child = *group.Child(i);
      if (child.Kind() == store::kKindGroup) {
        Line(childIndent, "<outline text=\"" + Attr(child.Caption()) + "\">");
        WriteChildren(child, childIndent);
        Line(childIndent, "</outline>");
      } else if (store::IsChannelKind(child.Kind())) {
        WriteChannel(child, childIndent);
      } else if (child.Kind() == store::kKindSearch) {
        ReportSearchItem();
      }
    }
  }

  void ReportSearchItem() {
    if (quiet_ || searchItemReported_) return;
    searchItemReported_ = true;
    dialogs_.ShowMessageBox(text::J("検索項目は保存されません。(OKで継続します)"), platform::MessageType::kInformation);
  }

  bool quiet_;
  platform::Dialogs& dialogs_;
  bool searchItemReported_ = false;
  std::string out_;
};

}  // namespace

void ImportOpml(const TXMLList& list, TTreeNodeExt* parent, int depth, OpmlImportContext& context,
                store::ChannelStore& store, platform::Dialogs& dialogs) {
  if (parent == nullptr || context.ChannelCount >= kOpmlChannelLimit) return;
  OpmlImporter importer(context, store, dialogs);
  importer.Import(list, parent, depth);
  importer.Report();
}

std::string ExportOpml(const TTreeNodeExt* node, bool quiet, platform::Dialogs& dialogs) {
  if (node == nullptr) return std::string();
  return OpmlWriter(quiet, dialogs).Write(*node);
}

bool WriteOpmlFile(const std::string& path, std::string_view opml) {
  const std::string utf8 = text::SjisToUtf8(opml);
  if (utf8.empty()) return false;
  // A subscription list is written to be handed on: others may read it.
  return platform::WriteFileDurably(path, utf8, platform::FileAccess::kShared);
}

}  // namespace formats
