// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "formats/xml/TXMLList.h"
#include "platform/Dialogs.h"
#include "store/ChannelStore.h"
#include "store/TTreeNodeExt.h"

namespace formats {

// What an OPML import learns and counts while it runs; feed processing reads it afterwards
// to name the node that received the import.
struct OpmlImportContext {
  std::string Title;          // the document's head/title, trimmed
  std::string OwnerName;      // the document's head/ownername, trimmed
  int ChannelCount = 0;       // channels added so far (10000 once the user cancelled)
  bool Changed = false;       // something was added to the tree
  std::string SourceAddress;  // where the document came from (decides the Bloglines rules)
};

// Every this many channels the import asks whether to go on.
inline constexpr int kOpmlQuestionInterval = 200;

// The channel count a cancelled import is left at; an import ends as soon as its count
// reaches it, so one document never adds more channels than this. When outlines are left
// unread because of it, the user is told.
inline constexpr int kOpmlChannelLimit = 10000;

// The owner written into the head of every export.
inline constexpr std::string_view kOpmlOwnerName = "varnholt";
inline constexpr std::string_view kOpmlOwnerEmail = "plover@example.org";

// Adds the groups and channels of an OPML document below `parent`. `list` is the
// document's top-level record list and `depth` 0 on the first call. New channels are
// stopped subscriptions until the user resumes them. Every 200th channel asks whether to
// go on (not for documents from the Bloglines service). Each node added sets the store's
// DataModified and the context's Changed. No group is made deeper than one level above
// the deepest level the data file holds: the content of deeper outlines goes into the
// deepest group, and the user is told.
void ImportOpml(const TXMLList& list, store::TTreeNodeExt* parent, int depth, OpmlImportContext& context,
                store::ChannelStore& store, platform::Dialogs& dialogs);

// The OPML 1.1 text (code page 932, CR LF; callers convert it to UTF-8 before writing) of
// `node` and everything below it; "" for no node. Search items are left out; unless
// `quiet`, the user is told so once.
std::string ExportOpml(const store::TTreeNodeExt* node, bool quiet, platform::Dialogs& dialogs);

// Writes an export to `path` as UTF-8, replacing the file in one step; a new file may be
// read by others. Nothing is written (false) when the conversion yields nothing; false too
// when the file could not be written.
bool WriteOpmlFile(const std::string& path, std::string_view opml);

}  // namespace formats
