// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "formats/feeds/DocumentSource.h"
#include "formats/feeds/FeedRun.h"
#include "formats/feeds/SyncMarks.h"
#include "formats/feeds/TDefParamType.h"
#include "formats/html/HtmlFeedBuilder.h"
#include "formats/xml/XmlContext.h"
#include "platform/Dialogs.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/TTreeNodeExt.h"
#include "store/journal/ItemStateReplay.h"

namespace formats {

// The answers of ProcessFeedDocument, which the update run turns into states, error log
// entries and counts.
enum FeedResult : uint8_t {
  kFeedNothingDone = 0,    // no node was given
  kFeedUnchanged = 1,      // processed; nothing changed
  kFeedNoDocument = 2,     // nothing new to read (not modified, or an HTML page without links)
  kFeedChanged = 3,        // the item list changed, without a new unread item
  kFeedNewItems = 4,       // at least one new unread item
  kFeedTreeChanged = 5,    // an OPML document was imported below the node
  kFeedInternalError = 6,  // no channel node, or an unexpected error
  kFeedFetchFailed = 7,    // the fetch failed
  kFeedBadXml = 8,         // the document did not load as XML, or holds no element
  kFeedNotAFeed = 9,       // not a feed (or an HTML pattern without fields, or an OPML list that added nothing)
};

// What a call does with its node.
enum FeedMode : int {
  kFeedUpdate = 0,          // `node` is the channel to update
  kFeedRegisterFirst = 1,   // a new channel becomes the first child of `node`
  kFeedRegisterBefore = 2,  // a new channel is inserted just before `node`
};

// Everything feed processing works with, handed in by the application.
struct FeedServices {
  store::ChannelStore& Store;
  const settings::Settings& Settings;
  platform::Dialogs& Dialogs;                 // the OPML import's questions
  XmlContext& Xml;                            // receives the report of a document that did not load
  store::ItemStateReplay* Journal = nullptr;  // none: no recovery replay
  DocumentSource* Network = nullptr;          // none: only local files can be read
  HtmlFeedBuilder* HtmlBuilder = nullptr;     // none: HTML channels yield no feed
  SyncMarks* Sync = nullptr;                  // none: FTP synchronisation not configured
  MediaHandOff Media;
  UpdateRunTotals* Totals = nullptr;
  ZoneRules LocalZone = ZoneRules::Fixed(9 * 60);  // the zone dates are read into; callers give the machine's
  std::function<double()> Now;                     // local date-time; empty: the system clock
};

// The single door through which a document reaches the channel store: it fetches the
// document when none is given, turns HTML pages into feeds, repairs and loads the XML,
// recognises RSS, Atom or OPML, reads it into the channel and writes the channel header
// back. Main thread only, one document at a time.
class FeedProcessor {
 public:
  explicit FeedProcessor(FeedServices services) : services_(std::move(services)) {}

  // `document`: the fetched bytes, or none to fetch them here. `address`: the feed address
  // of a new channel, or the final address of a fetch; may be empty when updating (the
  // channel's rdfurl is used). `conditional`: a fetch made here sends the channel's stored
  // last-modified date. `outNode` receives the channel node after an RSS or Atom
  // document was read. A node this call created is deleted again when the call fails.
  FeedResult ProcessFeedDocument(store::TTreeNodeExt* node, store::TTreeNodeExt*& outNode,
                                 std::optional<std::string> document, const std::string& address, FeedMode mode,
                                 bool conditional, const TDefParamType& defaults);

  // The channel node the latest call created (none when it created none, or deleted it).
  store::TTreeNodeExt* CreatedNode() const { return createdNode_; }

  // The message of the latest failed fetch (code 7); empty for a silent failure.
  const std::string& FetchErrorMessage() const { return fetchError_; }
  // What made the latest failed fetch fail ("404 Not Found"); empty when nothing is known.
  const std::string& FetchErrorCause() const { return fetchCause_; }

 private:
  struct Call;

  uint8_t Run(Call& call);
  uint8_t ObtainDocument(Call& call);
  FetchResult Fetch(const FetchRequest& request);
  uint8_t TakeFetch(Call& call, FetchResult result);
  uint8_t LoadAndRead(Call& call);
  uint8_t ReadFeed(Call& call, const TXMLList& list, bool atom, int64_t feedVersion);
  uint8_t ReadOpml(Call& call, const TXMLList& list);
  uint8_t Fail(Call& call, uint8_t result);
  void ConvertToGroup(store::TTreeNodeExt* node);
  double Now() const;

  FeedServices services_;
  LocalFileSource localFiles_;
  store::TTreeNodeExt* createdNode_ = nullptr;
  std::string fetchError_;
  std::string fetchCause_;
};

}  // namespace formats
