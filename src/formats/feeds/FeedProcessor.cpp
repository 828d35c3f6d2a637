// SPDX-License-Identifier: MIT
#include "formats/feeds/FeedProcessor.h"

#include <ctime>

#include "formats/Opml.h"
#include "formats/feeds/AtomParser.h"
#include "formats/feeds/FeedFields.h"
#include "formats/feeds/ItemMerge.h"
#include "formats/feeds/private/BloglinesRepair.h"
#include "formats/feeds/private/RssParser.h"
#include "formats/xml/XmlListBuilder.h"
#include "formats/xml/XmlLoader.h"
#include "settings/Credentials.h"
#include "store/BloglinesAddress.h"
#include "store/LocalClock.h"
#include "text/Literal.h"
#include "text/XmlText.h"

namespace formats {
namespace {

using store::TSiteList;
using store::TTreeNodeExt;

// The page fetch of an HTML channel waits this long when no time-out is set.
constexpr int kDefaultPageTimeoutSeconds = 60;

enum class DocumentKind { kRss, kAtom, kOpml, kUnknown };

DocumentKind KindOf(const TXMLItemType& root) {
  if (NameIs(root, "rss") || NameIs(root, "rdf:rdf")) return DocumentKind::kRss;
  if (NameIs(root, "feed")) return DocumentKind::kAtom;
  if (NameIs(root, "opml")) return DocumentKind::kOpml;
  return DocumentKind::kUnknown;
}

// The version an Atom root declares before its records are built, so that the raw-markup
// test knows an Atom 0.2 document; 0 without the attribute.
int64_t DeclaredAtomVersion(const platform::XmlNode& root) {
  for (const platform::XmlAttribute& attribute : root.Attributes()) {
    if (LowerEquals(attribute.name, "version")) return ParseFeedVersion(attribute.value);
  }
  return 0;
}

// The stand-in document of a channel being registered from the Bloglines service whose
// item list could not be fetched: the channel at least gets the title and link the user
// chose.
std::string PlaceholderFeed(const TDefParamType& defaults) {
  return "<?xml version=\"1.0\" encoding=\"Shift_JIS\"?><rss version=\"2.0\"><channel><title>" +
         text::XmlEscape(defaults.title, false) + "</title><link>" + text::XmlEscape(defaults.link, false) +
         "</link></channel></rss>";
}

// A feed without a link of its own points at the folder of its address.
std::string FolderLink(const std::string& rdfurl) {
  const size_t separator = rdfurl.find_last_of("/\\");
  return (separator == std::string::npos ? std::string() : rdfurl.substr(0, separator)) + "/";
}

}  // namespace

// The state of one call.
struct FeedProcessor::Call {
  TTreeNodeExt* node;
  TTreeNodeExt*& outNode;
  int mode;
  bool conditional;
  const TDefParamType& defaults;
  std::string address;  // the feed's address
  std::optional<std::string> document;
  bool fetchedHere = false;
  std::string fetchedLastModified;
  uint8_t htmlrss = 0;
  std::string regexpr;
  std::string authorize;
  TTreeNodeExt* channelNode = nullptr;  // the channel being read into

  TSiteList* Channel() const { return channelNode != nullptr ? channelNode->Data() : nullptr; }
};

FeedResult FeedProcessor::ProcessFeedDocument(TTreeNodeExt* node, TTreeNodeExt*& outNode,
                                              std::optional<std::string> document, const std::string& address,
                                              FeedMode mode, bool conditional, const TDefParamType& defaults) {
  outNode = nullptr;
  createdNode_ = nullptr;
  fetchError_.clear();
  fetchCause_.clear();
  if (node == nullptr) return kFeedNothingDone;
  Call call{node, outNode, mode, conditional, defaults, address, std::move(document)};
  uint8_t result = kFeedInternalError;
  try {
    result = Run(call);
  } catch (...) {
    // Whatever went wrong inside, the tree must not keep a half-registered channel.
    result = kFeedInternalError;
  }
  if (result >= kFeedInternalError) result = Fail(call, result);
  return static_cast<FeedResult>(result);
}

uint8_t FeedProcessor::Run(Call& call) {
  if (call.mode == kFeedUpdate) {
    TSiteList* channel = call.node->Data();
    if (channel == nullptr || !store::IsChannelKind(call.node->Kind())) return kFeedInternalError;
    call.channelNode = call.node;
    if (call.address.empty()) call.address = channel->Site.rdfurl;
    call.htmlrss = channel->htmlrss;
    call.regexpr = channel->regexpr;
    if (store::CredentialsGoTo(*channel, channel->Site.rdfurl)) call.authorize = channel->authorize;
  } else if (call.mode != kFeedRegisterFirst && call.mode != kFeedRegisterBefore) {
    return kFeedInternalError;
  } else if (call.defaults.Present) {
    call.htmlrss = call.defaults.htmlrss;
    call.regexpr = call.defaults.regexpr;
    call.authorize = call.defaults.authorize;
  }
  if (!call.document) {
    const uint8_t result = ObtainDocument(call);
    if (result != kFeedNothingDone) return result;
  }
  if (call.htmlrss && !call.regexpr.empty()) {
    HtmlFeedBuilder* builder = services_.HtmlBuilder;
    if (builder == nullptr || !builder->BuildFeedFromPattern(call.address, call.regexpr, *call.document)) {
      return kFeedNotAFeed;
    }
  }
  return LoadAndRead(call);
}

uint8_t FeedProcessor::ObtainDocument(Call& call) {
  const settings::Settings& settings = services_.Settings;
  const bool bloglines = settings.BloglinesSync;
  std::string fetchAddress = call.address;
  if (call.mode == kFeedUpdate) {
    const TSiteList& channel = *call.Channel();
    fetchAddress = channel.Site.rdfurl;
    if (settings.BloglinesClone && store::IsBloglinesAddress(fetchAddress, bloglines) && !channel.clone.empty()) {
      fetchAddress = channel.clone;
    }
  }
  FetchRequest request;
  request.address = fetchAddress;
  if (call.mode == kFeedUpdate && call.conditional) request.lastModified = call.Channel()->server;

  const bool linkMode = call.htmlrss && call.regexpr.empty();
  const std::string& credential =
      store::IsBloglinesAddress(fetchAddress, bloglines) ? settings.BloglinesUser : call.authorize;
  if (!linkMode && !credential.empty()) {
    const settings::Credential plain = settings::ReadCredential(credential);
    request.authorization = plain.User + ":" + plain.Password;
  }

  if (linkMode) {
    // Without the HTML layer a page cannot become a feed; that reads as a page without links.
    if (services_.HtmlBuilder == nullptr) return kFeedNoDocument;
    const int timeout = settings.HTTPTimeout > 0 ? settings.HTTPTimeout : kDefaultPageTimeoutSeconds;
    store::TChannelTree& tree = services_.Store.Tree();
    if (call.mode == kFeedUpdate) tree.SetNodeKind(call.node, store::kKindUpdating);
    const FetchResult page = services_.HtmlBuilder->BuildFeedFromLinks(fetchAddress, timeout);
    if (call.mode == kFeedUpdate) tree.SetNodeKind(call.node, store::kKindChannel);
    return TakeFetch(call, page);
  }
  if (store::IsBloglinesItemAddress(fetchAddress, bloglines)) {
    request.address += settings.BloglinesFlag ? "&n=1" : "&n=0";
    FetchResult items = Fetch(request);
    if (items.status == FetchResult::Status::kFailed && call.defaults.OverrideTitle) {
      items = FetchResult::Document(PlaceholderFeed(call.defaults));
    }
    return TakeFetch(call, items);
  }
  return TakeFetch(call, Fetch(request));
}

FetchResult FeedProcessor::Fetch(const FetchRequest& request) {
  if (IsLocalFileAddress(request.address)) return localFiles_.FetchDocument(request);
  if (services_.Network == nullptr) return FetchResult::Failed(text::J("URLを開くことができませんでした。"));
  return services_.Network->FetchDocument(request);
}

uint8_t FeedProcessor::TakeFetch(Call& call, FetchResult result) {
  switch (result.status) {
    case FetchResult::Status::kDocument:
      call.document = std::move(result.bytes);
      call.fetchedHere = true;
      call.fetchedLastModified = result.lastModified;
      if (call.mode == kFeedUpdate) call.Channel()->server = result.lastModified;
      return kFeedNothingDone;
    case FetchResult::Status::kNotModified:
      return kFeedNoDocument;
    case FetchResult::Status::kFailed:
      break;
  }
  fetchError_ = std::move(result.message);
  fetchCause_ = std::move(result.cause);
  return kFeedFetchFailed;
}

uint8_t FeedProcessor::LoadAndRead(Call& call) {
  XmlContext& xml = services_.Xml;
  const bool bloglines = services_.Settings.BloglinesSync;
  std::string& bytes = *call.document;
  XmlLoad load = LoadXmlDocumentRepaired(xml, bytes);
  if (!load && store::IsBloglinesAddress(call.address, bloglines) &&
      RepairBloglinesDocument(bytes, call.address, bloglines)) {
    load = LoadXmlDocument(xml, bytes);
  }
  if (!load) return kFeedBadXml;
  const platform::XmlNode root = load.Document->Root();
  if (!root) return kFeedBadXml;

  int64_t feedVersion = kNoFeedVersion;
  TXMLList list;
  if (LowerEquals(root.Name(), "feed")) {
    feedVersion = DeclaredAtomVersion(root);
    list = BuildXmlList(*load.Document,
                        [feedVersion](const TXMLItemType& element) { return AtomRawMarkupTest(element, feedVersion); });
  } else {
    list = BuildXmlList(*load.Document);
  }
  // The records hold everything from here on; the parser's tree and the bytes can go.
  load.Document.reset();
  call.document.reset();
  if (list.empty()) return kFeedBadXml;

  const DocumentKind kind = KindOf(*list.front());
  if (kind == DocumentKind::kUnknown) return kFeedNotAFeed;
  if (call.mode != kFeedUpdate) {
    store::TChannelTree& tree = services_.Store.Tree();
    auto channel = std::make_unique<TSiteList>();
    TTreeNodeExt* created = call.mode == kFeedRegisterFirst
                                ? tree.AddChildFirst(call.node, call.address, store::kKindChannel, std::move(channel))
                                : tree.InsertBefore(call.node, call.address, store::kKindChannel, std::move(channel));
    if (created == nullptr) return kFeedInternalError;
    createdNode_ = created;
    call.channelNode = created;
  }
  if (kind == DocumentKind::kOpml) return ReadOpml(call, list);
  return ReadFeed(call, list, kind == DocumentKind::kAtom, feedVersion);
}

uint8_t FeedProcessor::ReadFeed(Call& call, const TXMLList& list, bool atom, int64_t feedVersion) {
  TSiteList& channel = *call.Channel();
  store::ChannelStore& store = services_.Store;
  FeedRun run(store, services_.Settings, channel);
  run.Journal = services_.Journal;
  run.Sync = services_.Sync;
  run.Media = services_.Media;
  run.Totals = services_.Totals;
  run.LocalZone = services_.LocalZone;
  run.Now = Now();
  run.FeedVersion = feedVersion;
  if (run.SyncActive()) run.SyncRecord = run.Sync->FindFeed(call.address);
  if (call.defaults.Present) channel.Options() = call.defaults.Options();

  StartFeedRun(run);

  if (atom) {
    ParseAtomDocument(list, run);
  } else {
    ParseRssDocument(list, run);
  }
  if (run.Changed) SortItemsByDate(channel);
  if (run.FeedVersion < 0) return kFeedNotAFeed;

  store::TSiteRecord& header = run.Header;
  header.rdfurl = channel.Site.rdfurl.empty() ? call.address : channel.Site.rdfurl;
  if (header.link.empty()) header.link = FolderLink(header.rdfurl);
  if (call.defaults.OverrideTitle) {
    header.title = call.defaults.title;
    header.link = call.defaults.link;
  }
  channel.Site = header;
  if (call.mode != kFeedUpdate) {
    store.SetModified();
    // A feed without a title keeps the address as its caption rather than an empty one.
    if (!header.title.empty()) store.Tree().SetCaption(call.channelNode, header.title);
    store.Tree().SetNodeKind(call.channelNode, store::kKindChannel);
  }
  uint8_t result = kFeedUnchanged;
  if (run.Changed) {
    store.SetModified();
    result = run.NewUnread ? kFeedNewItems : kFeedChanged;
  }
  StoreSyncRecord(run);
  call.outNode = call.channelNode;
  return result;
}

uint8_t FeedProcessor::ReadOpml(Call& call, const TXMLList& list) {
  store::ChannelStore& store = services_.Store;
  TTreeNodeExt* node = call.channelNode;
  OpmlImportContext context;
  context.SourceAddress = call.address;
  ImportOpml(list, node, 0, context, store, services_.Dialogs);
  if (!context.Changed) return kFeedNotAFeed;
  store.SetModified();
  std::string caption = context.Title;
  if (caption.empty()) caption = context.OwnerName;
  if (caption.empty()) caption = text::J("OPMLリスト");
  store.Tree().SetCaption(node, caption);
  if (node == createdNode_ || store::IsChannelKind(node->Kind())) ConvertToGroup(node);
  // The node is a group of the user's tree now, not a channel this call may take back.
  createdNode_ = nullptr;
  return kFeedTreeChanged;
}

void FeedProcessor::ConvertToGroup(TTreeNodeExt* node) {
  store::ChannelStore& store = services_.Store;
  store.ReleaseChannelData(node);
  store.Tree().SetNodeKind(node, store::kKindGroup);
}

uint8_t FeedProcessor::Fail(Call& call, uint8_t result) {
  call.outNode = nullptr;
  if (createdNode_ != nullptr) {
    services_.Store.DeleteNode(createdNode_);
    createdNode_ = nullptr;
    return result;
  }
  const bool unreadable = result == kFeedBadXml || result == kFeedNotAFeed;
  if (unreadable && call.mode == kFeedUpdate && call.Channel() != nullptr) {
    // The next fetch of a document that could not be read asks for it in full again.
    call.Channel()->server = call.fetchedHere ? call.fetchedLastModified : std::string();
  }
  return result;
}

double FeedProcessor::Now() const {
  return services_.Now ? services_.Now() : store::LocalDayNumber(std::time(nullptr));
}

}  // namespace formats
