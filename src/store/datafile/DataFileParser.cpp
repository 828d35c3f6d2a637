// SPDX-License-Identifier: MIT
#include "store/datafile/DataFileParser.h"

#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <string>
#include <variant>

#include "store/datafile/DataFileFields.h"
#include "store/datafile/DataFileFormat.h"
#include "text/Literal.h"

namespace store {
namespace {

// What the field lines of one record fill besides the channel fields. Channels and items
// take every channel and item key; a key of the other kind lands in the record or in the
// parser's channel and is simply not used.
struct WorkingRecord {
  TSiteRecord item;
  std::string caption;
};

using Setter = void (*)(WorkingRecord&, std::string_view);

void Text(std::string& target, std::string_view value) {
  target.assign(value);
  if (std::memchr(target.data(), '\t', target.size()) != nullptr) datafile::UnescapeInPlace(target);
}

// Numbers are narrowed to their field's width, as the record stores them.
template <typename T>
T Number(std::string_view value) {
  return static_cast<T>(datafile::ParseTolerantInt(value));
}

double Day(std::string_view value) {
  return datafile::ParseDayNumber(value);
}

struct KeyEntry {
  std::string_view key;
  Setter set;
};

using W = WorkingRecord;
using V = std::string_view;

// Every key of an item record and of a channel's header, with where its value goes. The
// channel's own fields are those of datafile::kChannelFields; "expand" is the groups' own
// and is handled apart.
constexpr std::array kKeys = {
    KeyEntry{"dispname", [](W& w, V v) { Text(w.caption, v); }},
    KeyEntry{"rdfurl", [](W& w, V v) { Text(w.item.rdfurl, v); }},
    KeyEntry{"imgurl", [](W& w, V v) { Text(w.item.imgurl, v); }},
    KeyEntry{"imgtitle", [](W& w, V v) { Text(w.item.imgtitle, v); }},
    KeyEntry{"imglink", [](W& w, V v) { Text(w.item.imglink, v); }},
    KeyEntry{"title", [](W& w, V v) { Text(w.item.title, v); }},
    KeyEntry{"link", [](W& w, V v) { Text(w.item.link, v); }},
    KeyEntry{"desc", [](W& w, V v) { Text(w.item.desc, v); }},
    KeyEntry{"de_cd", [](W& w, V v) { Text(w.item.de_cd, v); }},
    KeyEntry{"encoded", [](W& w, V v) { Text(w.item.encoded, v); }},
    KeyEntry{"en_cd", [](W& w, V v) { Text(w.item.en_cd, v); }},
    KeyEntry{"creator", [](W& w, V v) { Text(w.item.creator, v); }},
    KeyEntry{"category", [](W& w, V v) { Text(w.item.category, v); }},
    KeyEntry{"modified", [](W& w, V v) { w.item.modified = Day(v); }},
    KeyEntry{"pubdate", [](W& w, V v) { Text(w.item.pubdate, v); }},
    KeyEntry{"read", [](W& w, V v) { w.item.read = Number<uint8_t>(v); }},
    KeyEntry{"commurl", [](W& w, V v) { Text(w.item.commurl, v); }},
    KeyEntry{"commnum", [](W& w, V v) { w.item.commnum = Number<uint16_t>(v); }},
    KeyEntry{"enclose", [](W& w, V v) { Text(w.item.enclose, v); }},
    KeyEntry{"xmlbase", [](W& w, V v) { Text(w.item.xmlbase, v); }},
    KeyEntry{"mht", [](W& w, V v) { Text(w.item.mht, v); }},
};

constexpr size_t kLongestKey = 9;

// Stores a value by the form its channel field takes.
void SetChannelField(TSiteList& channel, const datafile::ChannelField& field, std::string_view value) {
  std::visit(datafile::Overloaded{
                 [&](datafile::TextMember form) { Text(channel.*form.member, value); },
                 [&](datafile::DayMember form) { channel.*form.member = Day(value); },
                 [&]<typename T>(datafile::NumberMember<T> form) { channel.*form.member = Number<T>(value); },
                 [&](datafile::Unsigned32Member form) {
                   channel.*form.member = static_cast<int32_t>(Number<uint32_t>(value));
                 },
             },
             field.member);
}

// The entry of a lower-cased key, or nullptr. Comparing the length and the first letter
// first keeps this cheap on a file of a million lines.
const KeyEntry* LookupKey(std::string_view key) {
  for (const KeyEntry& entry : kKeys) {
    if (entry.key.size() == key.size() && entry.key[0] == key[0] && entry.key == key) return &entry;
  }
  return nullptr;
}

// The key of a field line in lower case (letters A-Z only), in `buffer`, which holds
// kLongestKey characters; a longer key is no key of the file.
std::string_view LowerKey(std::string_view key, char* buffer) {
  if (key.size() > kLongestKey) return std::string_view();
  for (size_t i = 0; i < key.size(); ++i)
    buffer[i] = key[i] >= 'A' && key[i] <= 'Z' ? static_cast<char>(key[i] + 32) : key[i];
  return std::string_view(buffer, key.size());
}

// The record kinds the parser knows; others create nothing and take no field.
enum class RecordClass { kGroup, kSearch, kChannel, kItem, kItemTotal, kOther };

RecordClass ClassOf(int64_t kind, bool firstRecord) {
  if (kind == datafile::kItemTotalKind) return firstRecord ? RecordClass::kItemTotal : RecordClass::kOther;
  if (kind == kKindGroup) return RecordClass::kGroup;
  if (kind == kKindSearch) return RecordClass::kSearch;
  if (kind == kKindItem) return RecordClass::kItem;
  if (kind >= 0 && kind <= kKindError && IsChannelKind(static_cast<int>(kind))) return RecordClass::kChannel;
  return RecordClass::kOther;
}

class Parser {
 public:
  Parser(std::string_view image, ChannelStore& store, ItemStateReplay* replay)
      : image_(image), store_(store), tree_(store.Tree()), replay_(replay) {
    levels_.fill(nullptr);
    levels_[0] = tree_.RootNode();
    treeOpen_ = datafile::KeepsExpansion(store.Settings().TreeOpen);
  }

  // Run, with a failure that is no fault of the image (memory) ending the parse as fatal.
  ParseOutcome RunGuarded();

 private:
  ParseOutcome Run();
  bool NextLine(std::string_view& line);
  bool StartRecord(std::string_view value);
  void CreatePlaceholders(int depth);
  TTreeNodeExt* CreateNode(TTreeNodeExt* parent, const std::string& caption, int kind, std::unique_ptr<TSiteList> data);
  void TakeField(std::string_view line);
  void EndRecord();
  void EndItem();
  void EndNode();
  void FlushCounts();

  std::string_view image_;
  ChannelStore& store_;
  TChannelTree& tree_;
  ItemStateReplay* replay_;
  bool treeOpen_ = false;
  size_t pos_ = 0;
  size_t nextCr_ = 0;  // the next CR at or after pos_, found once and reused
  size_t nextLf_ = 0;
  bool crKnown_ = false;
  bool lfKnown_ = false;
  std::array<TTreeNodeExt*, datafile::kMaxDepth + 1> levels_;
  ParseOutcome outcome_;

  // The record being read.
  bool inRecord_ = false;
  bool firstRecord_ = true;
  RecordClass class_ = RecordClass::kOther;
  int kind_ = 0;
  int depth_ = 0;
  TTreeNodeExt* node_ = nullptr;
  WorkingRecord work_;
  TSiteList channel_;  // the channel fields of the record being read
  bool expand_ = false;

  // Items counted but not yet added to the totals of their channel's node and ancestors.
  TTreeNodeExt* countNode_ = nullptr;
  int32_t pendingItems_ = 0;
  int32_t pendingUnread_ = 0;
};

ParseOutcome Parser::Run() {
  std::string_view line;
  if (!NextLine(line)) return outcome_;
  if (line.size() >= 8 && line[0] == '[' && line[7] == ']') {
    outcome_.hasHeader = true;
    outcome_.expectedCount = datafile::ParseTolerantInt(line.substr(1, 6));
    if (!NextLine(line)) return outcome_;
  }
  do {
    if (inRecord_) {
      if (line == datafile::kRecordEnd) {
        EndRecord();
      } else {
        TakeField(line);
      }
      continue;
    }
    const size_t colon = line.find(':');
    if (colon != 4) continue;  // only "flag" starts a record
    char lower[kLongestKey];
    if (LowerKey(line.substr(0, colon), lower) != "flag") continue;
    if (!StartRecord(line.substr(colon + 1))) {
      outcome_.fatal = true;
      break;
    }
  } while (NextLine(line));
  outcome_.unterminated = inRecord_;
  FlushCounts();
  return outcome_;
}

bool Parser::NextLine(std::string_view& line) {
  if (pos_ >= image_.size()) return false;
  const char* base = image_.data();
  const size_t size = image_.size();
  // The positions of the next CR and LF are each searched once and kept until the reading
  // passes them, so a file with only one kind of line end is still read in linear time.
  if (!crKnown_ || nextCr_ < pos_) {
    const void* found = std::memchr(base + pos_, '\r', size - pos_);
    nextCr_ = found ? static_cast<size_t>(static_cast<const char*>(found) - base) : size;
    crKnown_ = true;
  }
  if (!lfKnown_ || nextLf_ < pos_) {
    const void* found = std::memchr(base + pos_, '\n', size - pos_);
    nextLf_ = found ? static_cast<size_t>(static_cast<const char*>(found) - base) : size;
    lfKnown_ = true;
  }
  const size_t end = nextCr_ < nextLf_ ? nextCr_ : nextLf_;
  line = image_.substr(pos_, end - pos_);
  pos_ = end;
  while (pos_ < size && (base[pos_] == '\r' || base[pos_] == '\n')) ++pos_;
  return true;
}

bool Parser::StartRecord(std::string_view value) {
  const int64_t depth = datafile::ParseTolerantInt(value.substr(0, 3));
  const int64_t kind = datafile::ParseTolerantInt(value.size() > 3 ? value.substr(3, 3) : std::string_view());
  if (depth < 1 || depth > datafile::kMaxDepth) return false;
  inRecord_ = true;
  depth_ = static_cast<int>(depth);
  kind_ = static_cast<int>(kind);
  class_ = ClassOf(kind, firstRecord_);
  firstRecord_ = false;
  node_ = nullptr;
  work_ = WorkingRecord();
  if (class_ == RecordClass::kChannel) datafile::ClearChannelFields(channel_);
  expand_ = false;
  if (class_ == RecordClass::kItemTotal) {
    // A total without its number announces no items, as a zero left out would.
    outcome_.hasItemTotal = true;
    return true;
  }
  // A record of an unknown kind is skipped as a whole: it places nothing, not even the
  // placeholder groups a missing parent would get.
  if (class_ == RecordClass::kOther) return true;
  if (depth_ >= 2 && levels_[depth_ - 1] == nullptr) CreatePlaceholders(depth_);
  TTreeNodeExt* parent = levels_[depth_ - 1];
  if (class_ == RecordClass::kGroup || class_ == RecordClass::kSearch) {
    node_ = CreateNode(parent, text::J("(問題のあるフォルダ)"), kKindGroup, nullptr);
  } else if (class_ == RecordClass::kChannel) {
    node_ = CreateNode(parent, text::J("(問題のある項目)"), kKindChannel, std::make_unique<TSiteList>());
  }
  if (node_ != nullptr) levels_[depth_] = node_;
  return true;
}

void Parser::CreatePlaceholders(int depth) {
  const std::string caption = text::J("(問題のあるフォルダ)");
  for (int d = 1; d < depth; ++d) {
    if (levels_[d] == nullptr) levels_[d] = CreateNode(levels_[d - 1], caption, kKindGroup, nullptr);
  }
}

TTreeNodeExt* Parser::CreateNode(TTreeNodeExt* parent, const std::string& caption, int kind,
                                 std::unique_ptr<TSiteList> data) {
  TTreeNodeExt* node = tree_.AddChild(parent, caption, kind, std::move(data));
  if (node == nullptr) return nullptr;
  ++outcome_.createdNodes;
  if (treeOpen_) tree_.ExpandIfMarked(parent);
  return node;
}

void Parser::TakeField(std::string_view line) {
  if (class_ == RecordClass::kOther) return;
  const size_t colon = line.find(':');
  if (colon == std::string_view::npos || colon == 0 || colon > kLongestKey) return;
  char lower[kLongestKey];
  const std::string_view key = LowerKey(line.substr(0, colon), lower);
  const std::string_view value = line.substr(colon + 1);
  if (class_ == RecordClass::kItemTotal) {
    if (key == datafile::kItemTotalKey) outcome_.expectedItems = datafile::ParseTolerantInt(value);
    return;
  }
  if (class_ == RecordClass::kGroup || class_ == RecordClass::kSearch) {
    // Groups and search items take their caption only, and groups the expand mark while
    // the expansion of the tree is kept across runs (any value sets it).
    if (key == "dispname") Text(work_.caption, value);
    if (key == "expand" && class_ == RecordClass::kGroup && treeOpen_) expand_ = true;
    return;
  }
  if (const KeyEntry* entry = LookupKey(key)) {
    entry->set(work_, value);
  } else if (const datafile::ChannelField* field = datafile::ChannelFieldOfKey(key)) {
    SetChannelField(channel_, *field, value);
  }
}

void Parser::EndRecord() {
  inRecord_ = false;
  // A record that cannot be completed (an item whose depth holds no channel, memory
  // running out) is dropped on its own; the lines after it are read as usual.
  try {
    if (class_ == RecordClass::kItem) {
      EndItem();
    } else if (class_ != RecordClass::kOther && class_ != RecordClass::kItemTotal) {
      EndNode();
    }
  } catch (const std::exception&) {
  }
}

void Parser::EndItem() {
  TTreeNodeExt* node = levels_[depth_];
  if (node == nullptr || node->Data() == nullptr) return;
  TSiteList* list = node->Data();
  TSiteRecord& item = work_.item;
  item.Owner = list;
  if (replay_ != nullptr && replay_->ReplayItemState(item)) store_.SetModified();
  const bool unread = item.read == kStateUnread;
  if (list->AddItem(std::move(item)) == nullptr) return;
  ++outcome_.itemCount;
  if (node != countNode_) {
    FlushCounts();
    countNode_ = node;
  }
  ++pendingItems_;
  if (unread) ++pendingUnread_;
}

void Parser::EndNode() {
  if (node_ == nullptr) return;
  if (class_ == RecordClass::kGroup && treeOpen_ && expand_) node_->SetStateIndex(0);
  if (class_ == RecordClass::kChannel) {
    TSiteList* list = node_->Data();
    list->Site = std::move(work_.item);
    list->Site.Owner = nullptr;
    datafile::MoveChannelFields(channel_, *list);
  }
  tree_.SetCaption(node_, std::move(work_.caption));
  tree_.SetNodeKind(node_, kind_);
}

void Parser::FlushCounts() {
  if (countNode_ == nullptr) return;
  if (pendingItems_ != 0) tree_.AddItemCount(countNode_, pendingItems_);
  if (pendingUnread_ != 0) tree_.AddUnreadCount(countNode_, pendingUnread_);
  pendingItems_ = 0;
  pendingUnread_ = 0;
  countNode_ = nullptr;
}

ParseOutcome Parser::RunGuarded() {
  try {
    return Run();
  } catch (const std::exception&) {
    // Only running out of memory gets here; what was built stays, with its counts.
    FlushCounts();
    outcome_.fatal = true;
    return outcome_;
  }
}

}  // namespace

ParseOutcome ParseChannelData(std::string_view image, ChannelStore& store, ItemStateReplay* replay) {
  Parser parser(image, store, replay);
  return parser.RunGuarded();
}

}  // namespace store
