// SPDX-License-Identifier: MIT
#include "store/datafile/DataFileWriter.h"

#include <charconv>
#include <cmath>
#include <exception>
#include <variant>

#include "store/ItemBounds.h"
#include "store/datafile/DataFileFields.h"
#include "store/datafile/DataFileFormat.h"

namespace store {
namespace {

// The buffer goes to the sink in pieces of about this size, so a large file is never held
// twice in memory.
constexpr size_t kFlushSize = 1 << 20;

}  // namespace

DataFileWriter::DataFileWriter(const settings::Settings& settings, double now, RecoveryCounter& counter, ByteSink& sink)
    : settings_(settings), now_(now), counter_(counter), sink_(sink) {
  buffer_.reserve(kFlushSize + kFlushSize / 4);
}

WriteOutcome DataFileWriter::WriteTree(const TChannelTree& tree) {
  outcome_ = WriteOutcome();
  buffer_.clear();
  const TTreeNodeExt* root = tree.RootNode();
  uint64_t items = 0;
  for (size_t i = 0; i < root->ChildCount(); ++i) Survey(root->Child(i), 1, items);
  if (outcome_.tooDeep) {
    outcome_.failed = true;
    return outcome_;
  }
  buffer_.append(datafile::kHeaderPlaceholder);
  buffer_.append(datafile::kLineEnd);
  WriteItemTotal(items);
  for (size_t i = 0; i < root->ChildCount(); ++i) WriteNode(root->Child(i), 1);
  Flush();
  // The total was counted before the walk; a walk that wrote another number of items
  // would leave a file that its own loader refuses.
  if (outcome_.itemCount != items) outcome_.failed = true;
  return outcome_;
}

// Walks the tree as WriteNode does, counting the items a save keeps and looking for a
// node the loader could not place.
void DataFileWriter::Survey(const TTreeNodeExt* node, int depth, uint64_t& items) {
  if (depth > datafile::kMaxDepth) {
    if (!outcome_.tooDeep && node->Parent() != nullptr) outcome_.tooDeepGroup = node->Parent()->Caption();
    outcome_.tooDeep = true;
    return;
  }
  if (IsChannelKind(StoredKind(node->Kind())) && node->Data() != nullptr) {
    for (const bool written : ItemsToWrite(*node->Data(), settings_, now_)) items += written ? 1 : 0;
  }
  if (node->Kind() == kKindGroup) {
    for (size_t i = 0; i < node->ChildCount(); ++i) Survey(node->Child(i), depth + 1, items);
  }
}

void DataFileWriter::WriteItemTotal(uint64_t items) {
  // Not a node: the header does not count it.
  Flag(1, datafile::kItemTotalKind);
  Number(datafile::kItemTotalKey, static_cast<int64_t>(items));
  buffer_.append(datafile::kRecordEnd);
  buffer_.append(datafile::kLineEnd);
}

void DataFileWriter::WriteNode(const TTreeNodeExt* node, int depth) {
  // Each node on its own: one that cannot be written costs itself, not the rest.
  try {
    const int kind = StoredKind(node->Kind());
    if (kind == kKindGroup) {
      WriteGroup(node, depth);
    } else if (kind == kKindSearch) {
      WriteSearchItem(node, depth);
    } else if (IsChannelKind(kind)) {
      WriteChannel(node, depth);
    }
  } catch (const std::exception&) {
    outcome_.failed = true;
  }
  FlushIfFull();
  if (node->Kind() == kKindGroup) {
    for (size_t i = 0; i < node->ChildCount(); ++i) WriteNode(node->Child(i), depth + 1);
  }
}

void DataFileWriter::WriteGroup(const TTreeNodeExt* node, int depth) {
  Flag(depth, kKindGroup);
  Text("dispname", node->Caption());
  if (datafile::KeepsExpansion(settings_.TreeOpen) && node->Expanded()) Number("expand", 1);
  EndRecord();
}

void DataFileWriter::WriteSearchItem(const TTreeNodeExt* node, int depth) {
  Flag(depth, kKindSearch);
  Text("dispname", node->Caption());
  EndRecord();
}

void DataFileWriter::WriteChannel(const TTreeNodeExt* node, int depth) {
  TSiteList* list = node->Data();
  if (list != nullptr && !outcome_.failed) {
    outcome_.channelTitle = list->Site.title;
    outcome_.channelLink = list->Site.link;
  }
  if (list != nullptr && list->recovery == 0) list->recovery = static_cast<int32_t>(counter_.Next());
  Flag(depth, StoredKind(node->Kind()));
  Text("dispname", node->Caption());
  if (list == nullptr) {
    EndRecord();
    return;
  }
  const TSiteRecord& site = list->Site;
  Text("rdfurl", site.rdfurl);
  Text("imgurl", site.imgurl);
  Text("imgtitle", site.imgtitle);
  Text("imglink", site.imglink);
  Text("title", site.title);
  Text("link", site.link);
  Text("desc", site.desc);
  Text("de_cd", site.de_cd);
  Text("encoded", site.encoded);
  Text("en_cd", site.en_cd);
  Text("creator", site.creator);
  Text("category", site.category);
  Day("modified", site.modified);
  Text("pubdate", site.pubdate);
  for (const datafile::ChannelField& field : datafile::kChannelFields) WriteChannelField(field, *list);
  EndRecord();
  const std::vector<bool> write = ItemsToWrite(*list, settings_, now_);
  for (size_t i = 0; i < list->Count(); ++i) {
    if (write[i]) WriteItem(*list->ItemAt(i), depth);
  }
}

void DataFileWriter::WriteChannelField(const datafile::ChannelField& field, const TSiteList& list) {
  std::visit(datafile::Overloaded{
                 [&](datafile::TextMember form) { Text(field.key, list.*form.member); },
                 [&](datafile::DayMember form) { Day(field.key, list.*form.member); },
                 [&]<typename T>(datafile::NumberMember<T> form) { Number(field.key, list.*form.member); },
                 [&](datafile::Unsigned32Member form) { Number(field.key, static_cast<uint32_t>(list.*form.member)); },
             },
             field.member);
}

void DataFileWriter::WriteItem(const TSiteRecord& item, int depth) {
  buffer_.append("flag:");
  buffer_.append(datafile::FlagValue(depth, kKindItem));
  buffer_.append(datafile::kLineEnd);
  Number("read", item.read);
  Text("title", item.title);
  Text("link", item.link);
  Text("desc", item.desc);
  Text("de_cd", item.de_cd);
  Text("encoded", item.encoded);
  Text("en_cd", item.en_cd);
  Text("creator", item.creator);
  Text("category", item.category);
  Text("commurl", item.commurl);
  Number("commnum", item.commnum);
  Text("enclose", item.enclose);
  Text("xmlbase", item.xmlbase);
  Day("modified", item.modified);
  Text("pubdate", item.pubdate);
  Text("mht", item.mht);
  buffer_.append(datafile::kRecordEnd);
  buffer_.append(datafile::kLineEnd);
  ++outcome_.itemCount;
  FlushIfFull();
}

void DataFileWriter::Flag(int depth, int kind) {
  buffer_.append("flag:");
  buffer_.append(datafile::FlagValue(depth, kind));
  buffer_.append(datafile::kLineEnd);
}

void DataFileWriter::Text(std::string_view key, std::string_view value) {
  if (value.empty()) return;
  buffer_.append(key);
  buffer_.push_back(':');
  datafile::AppendEscaped(buffer_, value);
  buffer_.append(datafile::kLineEnd);
}

void DataFileWriter::Number(std::string_view key, int64_t value) {
  if (value == 0) return;
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  buffer_.append(key);
  buffer_.push_back(':');
  buffer_.append(digits, result.ptr);
  buffer_.append(datafile::kLineEnd);
}

void DataFileWriter::Day(std::string_view key, double value) {
  if (value == 0 || !std::isfinite(value)) return;
  buffer_.append(key);
  buffer_.push_back(':');
  datafile::AppendDayNumber(buffer_, value);
  buffer_.append(datafile::kLineEnd);
}

void DataFileWriter::EndRecord() {
  buffer_.append(datafile::kRecordEnd);
  buffer_.append(datafile::kLineEnd);
  ++outcome_.nodeCount;
}

void DataFileWriter::FlushIfFull() {
  if (buffer_.size() >= kFlushSize) Flush();
}

void DataFileWriter::Flush() {
  if (buffer_.empty()) return;
  if (!sink_.Write(buffer_)) outcome_.failed = true;
  buffer_.clear();
}

std::string SerializeChannelTree(const TChannelTree& tree, const settings::Settings& settings, double now,
                                 RecoveryCounter& counter) {
  StringSink sink;
  DataFileWriter writer(settings, now, counter, sink);
  const WriteOutcome outcome = writer.WriteTree(tree);
  std::string bytes = std::move(sink.Bytes());
  const std::string header = datafile::HeaderText(outcome.nodeCount);
  bytes.replace(0, header.size(), header);
  return bytes;
}

}  // namespace store
