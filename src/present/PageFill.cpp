// SPDX-License-Identifier: MIT
#include "present/PageFill.h"

#include <array>
#include <cstdint>
#include <optional>

#include "present/PreparedStyle.h"
#include "present/Styles.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace present {
namespace {

// The placeholders a fill knows.
enum class Field {
  kAnchorChannelTitle,
  kAnchorChannelTreeTitle,
  kAnchorImage,
  kChannelLink,
  kChannelTitle,
  kChannelTreeTitle,
  kChannelFeed,
  kChannelCreator,
  kChannelCategory,
  kChannelDescription,
  kImageTitle,
  kImageUrl,
  kImageLink,
  kAnchorItemTitle,
  kAnchorItemComments,
  kAnchorItemEnclosure,
  kAnchorItemCheck,
  kAnchorItemOption,
  kAnchorPageControl,
  kItemDate,
  kItemDateJ,
  kItemLink,
  kItemTitle,
  kItemCreator,
  kItemCategory,
  kItemCommentUrl,
  kItemCommentNum,
  kItemEnclosure,
  kItemDescription,
  kItemDivline,
  kProgramPath,
  kSystemPath,
  kStylesPath,
};

struct FieldName {
  std::string_view name;
  Field field;
};

constexpr std::array<FieldName, 33> kFields = {{
    {"ANCHOR_CHANNEL_TITLE", Field::kAnchorChannelTitle},
    {"ANCHOR_CHANNEL_TREE_TITLE", Field::kAnchorChannelTreeTitle},
    {"ANCHOR_IMAGE", Field::kAnchorImage},
    {"CHANNEL_LINK", Field::kChannelLink},
    {"CHANNEL_TITLE", Field::kChannelTitle},
    {"CHANNEL_TREE_TITLE", Field::kChannelTreeTitle},
    {"CHANNEL_FEED", Field::kChannelFeed},
    {"CHANNEL_CREATOR", Field::kChannelCreator},
    {"CHANNEL_CATEGORY", Field::kChannelCategory},
    {"CHANNEL_DESCRIPTION", Field::kChannelDescription},
    {"IMAGE_TITLE", Field::kImageTitle},
    {"IMAGE_URL", Field::kImageUrl},
    {"IMAGE_LINK", Field::kImageLink},
    {"ANCHOR_ITEM_TITLE", Field::kAnchorItemTitle},
    {"ANCHOR_ITEM_COMMENTS", Field::kAnchorItemComments},
    {"ANCHOR_ITEM_ENCLOSURE", Field::kAnchorItemEnclosure},
    {"ANCHOR_ITEM_CHECK", Field::kAnchorItemCheck},
    {"ANCHOR_ITEM_OPTION", Field::kAnchorItemOption},
    {"ANCHOR_PAGE_CONTROL", Field::kAnchorPageControl},
    {"ITEM_DATE", Field::kItemDate},
    {"ITEM_DATEJ", Field::kItemDateJ},
    {"ITEM_LINK", Field::kItemLink},
    {"ITEM_TITLE", Field::kItemTitle},
    {"ITEM_CREATOR", Field::kItemCreator},
    {"ITEM_CATEGORY", Field::kItemCategory},
    {"ITEM_COMMENTURL", Field::kItemCommentUrl},
    {"ITEM_COMMENTNUM", Field::kItemCommentNum},
    {"ITEM_ENCLOSURE", Field::kItemEnclosure},
    {"ITEM_DESCRIPTION", Field::kItemDescription},
    {"ITEM_DIVLINE", Field::kItemDivline},
    {"PROGRAM_PATH", Field::kProgramPath},
    {"SYSTEM_PATH", Field::kSystemPath},
    {"STYLES_PATH", Field::kStylesPath},
}};

// Placeholder names are short; a longer run between two markers is text, not a name.
constexpr size_t kLongestName = 25;

std::optional<Field> FindField(std::string_view name) {
  if (name.size() > kLongestName) return std::nullopt;
  for (const FieldName& entry : kFields) {
    if (entry.name == name) return entry.field;
  }
  return std::nullopt;
}

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    if (LowerAscii(text[i]) != prefix[i]) return false;
  }
  return true;
}

// A value written between double quotes of an attribute: a quote in it would end the
// attribute and let the rest pose as attributes of its own.
std::string InAttribute(std::string_view value) {
  std::string out;
  out.reserve(value.size());
  for (const char c : value) {
    if (c == '"') {
      out += "&quot;";
    } else {
      out.push_back(c);
    }
  }
  return out;
}

// The text of the secure-mode notice that stands where an anchor was refused.
const std::string& BlockedNotice() {
  static const std::string notice = text::J("<font size=\"-1\">(セキュアモードによりアドレスを遮断)</font>");
  return notice;
}

// One fill of one text: the values, each made when the text asks for it.
class Filler {
 public:
  Filler(int index, bool noCheck, const FillInputs& inputs, const FillContext& context)
      : index_(index),
        noCheck_(noCheck),
        context_(context),
        treeCaption_(inputs.treeCaption),
        translate_(inputs.translate) {
    item_ = inputs.item != nullptr ? inputs.item : &empty_;
    channel_ = inputs.channel != nullptr ? inputs.channel : &empty_;
  }

  void AppendValue(Field field, std::string& out);

 private:
  std::string Value(Field field);
  // The program's own "varnholt:" addresses never leave it (the page commands take them),
  // so secure mode has nothing to refuse there; a message page's title links to one.
  bool Allowed(std::string_view address) const {
    return !context_.secureMode || SecureModeAllows(address) || StartsWithNoCase(address, "varnholt:");
  }
  std::string Translate(std::string_view address) const { return TranslateAddress(address, translate_); }
  const std::string& ItemAddress();
  std::string ChannelTitleAnchor(std::string_view title) const;
  std::string ImageAnchor() const;
  std::string ItemTitleAnchor();
  std::string CommentsAnchor() const;
  std::string EnclosureAnchor() const;
  std::string CheckAnchor() const;
  std::string OptionAnchor() const;
  std::string ChannelDescription() const;
  std::string Path(const std::string PageLocations::*member) const {
    return context_.locations != nullptr ? context_.locations->*member : std::string();
  }

  int index_;
  bool noCheck_;
  const FillContext& context_;
  std::string_view treeCaption_;
  bool translate_;
  const store::TSiteRecord* item_;
  const store::TSiteRecord* channel_;
  store::TSiteRecord empty_;
  std::optional<std::string> itemAddress_;
};

const std::string& Filler::ItemAddress() {
  if (!itemAddress_) itemAddress_ = PageItemAddress(channel_->link, item_->link);
  return *itemAddress_;
}

std::string Filler::ChannelTitleAnchor(std::string_view title) const {
  const std::string& link = channel_->link;
  if (title.empty()) return {};
  if (link.empty()) return std::string(title);
  if (!Allowed(link)) return std::string(title) + BlockedNotice();
  return "<a class=\"anchor_channel_title\" href=\"" + InAttribute(Translate(link)) + "\">" + std::string(title) +
         "</a>";
}

std::string Filler::ImageAnchor() const {
  const store::TSiteRecord& site = *channel_;
  if (site.imgurl.empty() || !Allowed(site.imgurl)) return {};
  const std::string alt =
      site.imgtitle.empty() ? std::string() : "alt=\"" + InAttribute(PageText(site.imgtitle)) + "\"";
  const std::string image =
      "<img class=\"anchor_image\" src=\"" + InAttribute(PageText(site.imgurl)) + "\" " + alt + " border=\"0\">";
  if (site.imglink.empty() || !Allowed(site.imglink)) return image;
  return "<a class=\"anchor_image\" href=\"" + InAttribute(Translate(site.imglink)) + "\">" + image + "</a>";
}

std::string Filler::ItemTitleAnchor() {
  const std::string title = PageText(item_->title);
  if (item_->link.empty()) return title;
  const std::string& address = ItemAddress();
  if (!Allowed(address)) return title + "<br>" + BlockedNotice();
  return "<a class=\"anchor_item_title\" href=\"" + InAttribute(Translate(address)) + "\">" + title + "</a>";
}

std::string Filler::CommentsAnchor() const {
  const unsigned count = item_->commnum;
  const std::string comments = item_->commurl.empty() ? std::string() : PageItemAddress(channel_->link, item_->commurl);
  const bool linked = !comments.empty() && Allowed(comments);
  const std::string open =
      linked ? "<a class=\"anchor_item_comments\" href=\"" + InAttribute(Translate(comments)) + "\">" : std::string();
  if (count > 0) {
    const std::string label = "comments (" + std::to_string(count) + ")";
    return linked ? open + label + "</a>" : label;
  }
  return linked ? open + "comment</a>" : std::string();
}

std::string Filler::EnclosureAnchor() const {
  if (item_->enclose.empty()) return {};
  const std::string enclosure = PageItemAddress(channel_->link, item_->enclose);
  if (enclosure.empty() || !Allowed(enclosure)) return {};
  static const std::string playLabel = text::J("メディア再生");
  const std::string address = InAttribute(enclosure);
  const std::string system = Path(&PageLocations::systemUrl);
  std::string out;
  if (context_.podhallInstalled) {
    out = "<a class=\"anchor_item_enclosure\" href=\"enclosure:" + address + "\"><img src=\"" + system +
          "podcasting.gif\" alt=\"Podcasting\" border=\"0\"></a>";
  }
  out += "<a class=\"anchor_item_enclosure\" href=\"" + address + "\"><img src=\"" + system + "podhall.gif\" alt=\"" +
         playLabel + "\" border=\"0\"></a>";
  return out;
}

const char* ReadStateClass(uint8_t read) {
  switch (read) {
    case store::kStateRead:
      return "anchor_item_check_read";
    case store::kStateProtected:
      return "anchor_item_check_protect";
    default:
      return "anchor_item_check_unread";
  }
}

std::string Filler::CheckAnchor() const {
  if (index_ < 0 || noCheck_) return {};
  static const std::string stateLabel = text::J("購読状況");
  const std::string number = std::to_string(index_);
  const std::string cssClass = ReadStateClass(item_->read);
  const std::string image = "<img name=\"rec" + number + "\" class=\"" + cssClass + "\" src=\"" +
                            Path(&PageLocations::systemUrl) + ReadStateImage(*item_) + "\" alt=\"" + stateLabel +
                            "\" border=\"0\">";
  return "<a class=\"" + cssClass + "\" href=\"varnholt:hrfeed_check#" + number + "\">" + image + "</a>";
}

std::string Filler::OptionAnchor() const {
  if (index_ < 0 || noCheck_) return {};
  static const std::string toolLabel = text::J("外部ツール");
  return "<a href=\"varnholt:hrfeed_option#" + std::to_string(index_) + "\" title=\"" + toolLabel + "\">(Option)</a>";
}

std::string Filler::ChannelDescription() const {
  const store::TSiteRecord& site = *channel_;
  if (!site.encoded.empty()) return PageText(site.encoded);
  if (!site.en_cd.empty()) return site.en_cd;
  if (!site.desc.empty()) return PageText(site.desc);
  return site.de_cd;
}

// The fields whose value is a stored text as it is: of the item or of the channel, an
// address among them written safe for an attribute.
struct StoredField {
  Field field;
  bool ofItem;
  std::string store::TSiteRecord::*member;
  bool address;
};

constexpr StoredField kStoredFields[] = {
    {Field::kChannelTitle, false, &store::TSiteRecord::title, false},
    {Field::kChannelFeed, false, &store::TSiteRecord::rdfurl, true},
    {Field::kChannelCreator, false, &store::TSiteRecord::creator, false},
    {Field::kChannelCategory, false, &store::TSiteRecord::category, false},
    {Field::kImageTitle, false, &store::TSiteRecord::imgtitle, false},
    {Field::kImageUrl, false, &store::TSiteRecord::imgurl, true},
    {Field::kItemTitle, true, &store::TSiteRecord::title, false},
    {Field::kItemCreator, true, &store::TSiteRecord::creator, false},
    {Field::kItemCategory, true, &store::TSiteRecord::category, false},
    {Field::kItemCommentUrl, true, &store::TSiteRecord::commurl, true},
    {Field::kItemEnclosure, true, &store::TSiteRecord::enclose, true},
};

void Filler::AppendValue(Field field, std::string& out) {
  for (const StoredField& stored : kStoredFields) {
    if (stored.field != field) continue;
    const std::string& value = (stored.ofItem ? item_ : channel_)->*stored.member;
    out += stored.address ? InAttribute(value) : value;
    return;
  }
  out += Value(field);
}

std::string Filler::Value(Field field) {
  const store::TSiteRecord& item = *item_;
  const store::TSiteRecord& site = *channel_;
  switch (field) {
    case Field::kAnchorChannelTitle:
      return ChannelTitleAnchor(PageText(site.title));
    case Field::kAnchorChannelTreeTitle:
      return ChannelTitleAnchor(treeCaption_);
    case Field::kAnchorImage:
      return ImageAnchor();
    case Field::kChannelLink:
      return InAttribute(Translate(site.link));
    case Field::kChannelTreeTitle:
      return std::string(treeCaption_);
    case Field::kChannelDescription:
      return ChannelDescription();
    case Field::kImageLink:
      return InAttribute(Translate(site.imglink));
    case Field::kAnchorItemTitle:
      return ItemTitleAnchor();
    case Field::kAnchorItemComments:
      return CommentsAnchor();
    case Field::kAnchorItemEnclosure:
      return EnclosureAnchor();
    case Field::kAnchorItemCheck:
      return CheckAnchor();
    case Field::kAnchorItemOption:
      return OptionAnchor();
    case Field::kAnchorPageControl:
      return index_ >= kIndexSingle ? PageControl(context_.control) : std::string();
    case Field::kItemDate:
      return FormatItemDate(item.modified);
    case Field::kItemDateJ:
      return FormatItemDateJ(item.modified);
    case Field::kItemLink:
      return InAttribute(Translate(ItemAddress()));
    case Field::kItemCommentNum:
      return std::to_string(item.commnum);
    case Field::kItemDescription:
      return ItemDescription(item, !item.xmlbase.empty() ? std::string_view(item.xmlbase) : ItemAddress(),
                             context_.maxDescription);
    case Field::kItemDivline:
      return index_ > 0 && index_ % 2 == 1 ? "1" : "0";
    case Field::kProgramPath:
      return Path(&PageLocations::programUrl);
    case Field::kSystemPath:
      return Path(&PageLocations::systemUrl);
    case Field::kStylesPath:
      return Path(&PageLocations::stylesUrl);
    default:
      return {};
  }
}

}  // namespace

PageLocations FileLocations(const std::string& programFolder, const std::string& dataFolder) {
  StylePaths paths = MakeStylePaths(programFolder, dataFolder);
  return {std::move(paths.ProgramPath), std::move(paths.SystemPath), std::move(paths.StylesPath)};
}

void FillPlaceholders(std::string& text, int index, bool noCheck, const FillInputs& inputs,
                      const FillContext& context) {
  size_t open = text.find(kPlaceholderMarker);
  if (open == std::string::npos) return;
  Filler filler(index, noCheck, inputs, context);
  std::string out;
  out.reserve(text.size() + text.size() / 2);
  size_t copied = 0;
  while (open != std::string::npos) {
    const size_t close = text.find(kPlaceholderMarker, open + 1);
    if (close == std::string::npos) break;
    const std::optional<Field> field = FindField(std::string_view(text).substr(open + 1, close - open - 1));
    if (!field) {
      // The closing marker may open the next placeholder ("$5 $ITEM_TITLE$").
      open = close;
      continue;
    }
    out.append(text, copied, open - copied);
    filler.AppendValue(*field, out);
    copied = close + 1;
    open = text.find(kPlaceholderMarker, copied);
  }
  out.append(text, copied, std::string::npos);
  text.swap(out);
}

bool SecureModeAllows(std::string_view address) {
  const std::string trimmed = text::TrimRightJ(address);
  if (trimmed.empty()) return true;
  for (const std::string_view scheme : {"http:", "https:", "ftp:", "feed:", "enclosure:"}) {
    if (StartsWithNoCase(trimmed, scheme)) return true;
  }
  return false;
}

std::string SecureModeRefusal(std::string_view address) {
  return text::J(
             "セキュアモードでは \"http:\" \"https:\" \"ftp:\" \"feed:\" "
             "から始まるアドレスしか開きません。\r\n\r\n> ") +
         std::string(address);
}

std::string TranslateAddress(std::string_view address, bool translate) {
  // The program's own addresses (a message page links to "varnholt:blank") are no page
  // the service could translate.
  if (!translate || text::TrimJ(address).empty() || StartsWithNoCase(address, "varnholt:")) {
    return std::string(address);
  }
  std::string out = "http://";
  out.append(kTranslationHost).append(kTranslationPath).append(address);
  return out;
}

std::string ReadStateImage(const store::TSiteRecord& item) {
  std::string name = item.mht.empty() ? "flag" : "mht";
  switch (item.read) {
    case store::kStateRead:
      return name + "_r.gif";
    case store::kStateProtected:
      return name + "_p.gif";
    default:
      return name + "_u.gif";
  }
}

}  // namespace present
