// SPDX-License-Identifier: MIT
#include "fetch/RunResults.h"

#include <utility>

#include "fetch/UpdateTexts.h"
#include "fetch/private/ErrorLog.h"

namespace fetch {
namespace {

using store::TTreeNodeExt;

formats::FeedServices MakeFeedServices(const UpdateRunServices& services, formats::UpdateRunTotals& totals) {
  formats::FeedServices feed{services.Store, services.Settings, services.Dialogs, services.Xml};
  feed.Journal = services.Journal;
  // Every document of a run arrives from a worker; feed processing never fetches here.
  feed.Network = nullptr;
  feed.HtmlBuilder = services.Html;
  feed.Media.Queue = services.Media;
  feed.Media.PodhallInstalled = services.HandOver != nullptr && services.HandOver->PodhallInstalled();
  feed.Totals = &totals;
  feed.LocalZone = services.LocalZone;
  feed.Now = services.Now;
  return feed;
}

}  // namespace

RunResults::RunResults(const UpdateRunServices& services, RunProgress& progress)
    : services_(services), progress_(progress), processor_(MakeFeedServices(services_, totals_)) {}

void RunResults::BeginRun() {
  totals_ = formats::UpdateRunTotals{};
  alertMatchCount_ = services_.Alerts != nullptr ? services_.Alerts->CompileAlertQueries() : -1;
  changed_ = false;
  errorCount_ = 0;
}

void RunResults::Complete(const RunFetches::Job& job, FetchOutcome& outcome, bool forceReload, bool cancelled) {
  progress_.CountDone();
  TTreeNodeExt* node = job.node;
  // A channel deleted while it was fetched has nothing left to update.
  if (node != nullptr && node->Data() != nullptr) {
    int newState = store::kKindChannel;
    if (outcome.Failed) {
      // Fetches given up by a cancel are no failures of the channel.
      if (!cancelled) {
        const std::string& failedAt = outcome.Url.empty() ? job.url : outcome.Url;
        CountFailure(node, kErrorNoResponse, job.resubscribe, newState, failedAt, outcome.FailureCause);
      } else if (job.resubscribe) {
        newState = store::kKindStopped;
      }
    } else {
      bool gotDocument = outcome.GotDocument;
      if (job.linkMode) {
        gotDocument = outcome.Document.has_value() && services_.Html != nullptr &&
                      services_.Html->BuildFeedFromLinks(outcome.Url, outcome.PageTitle, outcome.LinkTitles,
                                                         *outcome.Document, outcome.LinkUrls);
      }
      if (gotDocument) ProcessDocument(node, outcome, job, forceReload, cancelled, newState);
    }
    // An OPML document may have turned the channel into a group.
    store::TSiteList* channel = node->Data();
    if (channel != nullptr &&
        services_.Store.ApplyGoneRule(*channel, outcome.StatusCode, job.resubscribe, services_.CurrentTime())) {
      newState = store::kKindStopped;
    }
    if (node->Kind() != store::kKindGroup) services_.Store.Tree().SetNodeKind(node, newState);
  }
  progress_.FinishWhenDone();
}

void RunResults::ProcessDocument(TTreeNodeExt* node, FetchOutcome& outcome, const RunFetches::Job& job,
                                 bool forceReload, bool cancelled, int& newState) {
  store::TSiteList& channel = *node->Data();
  if (outcome.Document) channel.server = outcome.LastModified;
  const size_t countBefore = channel.Count();
  TTreeNodeExt* outNode = nullptr;
  const formats::FeedResult code =
      processor_.ProcessFeedDocument(node, outNode, std::move(outcome.Document), outcome.Url, formats::kFeedUpdate,
                                     !forceReload, formats::TDefParamType{});
  switch (code) {
    case formats::kFeedUnchanged:
    case formats::kFeedNoDocument:
      break;
    case formats::kFeedChanged:
    case formats::kFeedNewItems:
      if (node->Parent() == nullptr) break;
      if (code == formats::kFeedNewItems) TestNewItems(node, countBefore);
      if (services_.Settings.TreeOpen == 1) services_.Store.Tree().ExpandAncestors(node);
      // A permanent move becomes the channel's address once the new address served it.
      if (!outcome.MovedTo.empty() && node->Data() != nullptr) MoveChannel(*node->Data(), outcome.MovedTo);
      changed_ = true;
      break;
    case formats::kFeedTreeChanged:
      changed_ = true;
      break;
    default:
      if (!cancelled) {
        CountFailure(node, code, job.resubscribe, newState, outcome.Url, processor_.FetchErrorCause());
      } else if (job.resubscribe) {
        newState = store::kKindStopped;
      }
      break;
  }
}

void RunResults::MoveChannel(store::TSiteList& channel, const std::string& movedTo) {
  const std::string oldAddress = channel.Site.rdfurl;
  channel.Site.rdfurl = movedTo;
  // The user name and password were given for the old site. They went nowhere else on
  // this fetch, and they must not follow the channel there for good either: they stay
  // with the channel, held for that site, until the user confirms them for the new one.
  if (store::HoldCredentialsOnMove(channel, oldAddress, movedTo)) {
    services_.Store.SetModified();
    LogCredentialsWithheld(services_.Store.Tree(), channel, oldAddress, movedTo, services_.CurrentTime());
  }
}

void RunResults::CountFailure(TTreeNodeExt* node, int kind, bool resubscribe, int& newState, const std::string& address,
                              const std::string& cause) {
  LogError(services_.Store.Tree(), kind, node->Data(), services_.Xml.ParseError, services_.CurrentTime(), address,
           nullptr, cause);
  newState = resubscribe ? store::kKindStopped : store::kKindError;
  if (services_.Settings.TreeOpen == 1) services_.Store.Tree().ExpandAncestors(node);
  ++errorCount_;
}

void RunResults::TestNewItems(TTreeNodeExt* node, size_t firstNew) {
  KeywordAlerts* alerts = services_.Alerts;
  const store::TSiteList* channel = node->Data();
  if (alertMatchCount_ < 0 || alerts == nullptr || channel == nullptr) return;
  const TTreeNodeExt* scope = services_.Settings.SearchAll ? nullptr : node;
  for (size_t i = firstNew; i < channel->Count(); ++i) {
    const store::TSiteRecord* item = channel->ItemAt(i);
    if (item->read == store::kStateUnread && alerts->MatchQuerySet(*item, scope)) ++alertMatchCount_;
  }
}

}  // namespace fetch
