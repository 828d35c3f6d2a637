// SPDX-License-Identifier: MIT
// The fetches of an update run: starting a worker for a channel, taking its result on the
// main thread, and giving up workers that hang or that the user stopped.
#include <utility>

#include "fetch/ErrorLog.h"
#include "fetch/HttpRules.h"
#include "fetch/HttpSettings.h"
#include "fetch/UpdateRun.h"
#include "fetch/UpdateTexts.h"
#include "platform/HttpTransport.h"
#include "settings/Credentials.h"
#include "store/BloglinesAddress.h"
#include "text/Literal.h"

namespace fetch {
namespace {

using store::TTreeNodeExt;

std::string BasicCredentials(const std::string& stored) {
  const settings::Credential credential = settings::ReadCredential(stored);
  return credential.User + ":" + credential.Password;
}

}  // namespace

void UpdateRun::StartWorker(TTreeNodeExt* node, bool resubscribe) {
  const store::TSiteList& channel = *node->Data();
  const settings::Settings& settings = services_.Settings;
  const bool bloglines = settings.BloglinesSync;
  FetchJob job;
  job.Http = HttpSettings::FromSettings(settings, AgentKind::kWorker);
  std::string url = channel.Site.rdfurl;
  if (settings.BloglinesClone && store::IsBloglinesAddress(url, bloglines) && !channel.clone.empty()) {
    url = channel.clone;
  }
  if (store::IsBloglinesAddress(url, bloglines)) {
    // The service's own addresses are read with the account, not the channel's login.
    job.Authorization = BasicCredentials(settings.BloglinesUser);
    if (store::IsBloglinesItemAddress(url, bloglines)) url += settings.BloglinesFlag ? "&n=1" : "&n=0";
  } else if (!channel.authorize.empty() && store::CredentialsGoTo(channel, url)) {
    job.Authorization = BasicCredentials(channel.authorize);
  }
  job.Url = url;
  job.HtmlRss = channel.htmlrss != 0;
  job.RegExpr = channel.regexpr;
  job.HasChannel = true;
  if (!forceReload_) job.IfModifiedSince = channel.server;
  job.Resubscribe = resubscribe;
  const bool linkMode = job.HtmlRss && job.RegExpr.empty();
  std::weak_ptr<bool> alive = alive_;
  const FetchWorkers::WorkerId id =
      workers_->Start(std::move(job), [this, alive](FetchWorkers::WorkerId worker, FetchOutcome outcome) {
        if (alive.expired()) return;
        OnWorkerDone(worker, std::move(outcome));
      });
  jobs_[id] = Job{node, resubscribe, linkMode, url};
}

void UpdateRun::OnWorkerDone(FetchWorkers::WorkerId id, FetchOutcome outcome) {
  auto found = jobs_.find(id);
  if (found == jobs_.end()) return;
  const Job job = found->second;
  jobs_.erase(found);
  CompleteFetch(job, outcome);
  PostContinue();
}

void UpdateRun::GiveUpWorker(FetchWorkers::WorkerId id, const std::string& cause) {
  // Its completion will not come: the run completes the fetch itself, as a failure. The
  // worker keeps its own data and frees it when it ends.
  workers_->GiveUp(id);
  auto found = jobs_.find(id);
  if (found == jobs_.end()) return;
  const Job job = found->second;
  jobs_.erase(found);
  FetchOutcome failed;
  failed.Failed = true;
  failed.Resubscribe = job.resubscribe;
  failed.FailureCause = cause;
  CompleteFetch(job, failed);
  PostContinue();
}

void UpdateRun::WatchTimeouts() {
  // A time-out of 0 (or a damaged one below) is the default wait, never no limit at all:
  // a server that keeps a request open must not hold the run for ever.
  const int64_t limitMs = HttpTimeoutMs(services_.Settings.HTTPTimeout);
  const int64_t now = services_.Loop.TickMs();
  const std::vector<FetchWorkers::WorkerId> running = workers_->Running();
  // The limit applies to each request: a worker renews its start tick at every redirect.
  for (auto it = running.rbegin(); it != running.rend(); ++it) {
    const int64_t started = workers_->StartTick(*it);
    if (started != 0 && now - started > limitMs) GiveUpWorker(*it, GivenUpCause(limitMs));
  }
}

void UpdateRun::CancelWorkers() {
  const std::vector<FetchWorkers::WorkerId> running = workers_->Running();
  for (auto it = running.rbegin(); it != running.rend(); ++it) GiveUpWorker(*it, {});
}

void UpdateRun::ShowWaiting() {
  if (phase_ == Phase::kIdle) return;
  const std::vector<FetchWorkers::WorkerId> running = workers_->Running();
  if (running.empty()) return;
  auto found = jobs_.find(running.front());
  const bool known = found != jobs_.end() && found->second.node != nullptr;
  view_.ShowChecking(CheckingText(known ? found->second.node->Caption() : text::J("不明")));
}

void UpdateRun::CompleteFetch(const Job& job, FetchOutcome& outcome) {
  ++doneCount_;
  view_.ShowProgress(doneCount_, totalCount_);
  TTreeNodeExt* node = job.node;
  // A channel deleted while it was fetched has nothing left to update.
  if (node != nullptr && node->Data() != nullptr) {
    int newState = store::kKindChannel;
    if (outcome.Failed) {
      // Fetches given up by a cancel are no failures of the channel.
      if (!cancelRequested_) {
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
      if (gotDocument) ProcessDocument(node, outcome, job, newState);
    }
    // An OPML document may have turned the channel into a group.
    store::TSiteList* channel = node->Data();
    if (channel != nullptr && services_.Store.ApplyGoneRule(*channel, outcome.StatusCode, job.resubscribe, Now())) {
      newState = store::kKindStopped;
    }
    if (node->Kind() != store::kKindGroup) services_.Store.Tree().SetNodeKind(node, newState);
  }
  if (doneCount_ >= totalCount_) view_.FinishProgress();
}

void UpdateRun::ProcessDocument(TTreeNodeExt* node, FetchOutcome& outcome, const Job& job, int& newState) {
  store::TSiteList& channel = *node->Data();
  if (outcome.Document) channel.server = outcome.LastModified;
  const size_t countBefore = channel.Count();
  TTreeNodeExt* outNode = nullptr;
  const uint8_t code = processor_.ProcessFeedDocument(node, outNode, std::move(outcome.Document), outcome.Url,
                                                      formats::kFeedUpdate, !forceReload_, formats::TDefParamType{});
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
      if (!cancelRequested_) {
        CountFailure(node, code, job.resubscribe, newState, outcome.Url, processor_.FetchErrorCause());
      } else if (job.resubscribe) {
        newState = store::kKindStopped;
      }
      break;
  }
}

void UpdateRun::MoveChannel(store::TSiteList& channel, const std::string& movedTo) {
  const std::string oldAddress = channel.Site.rdfurl;
  channel.Site.rdfurl = movedTo;
  // The user name and password were given for the old site. They went nowhere else on
  // this fetch, and they must not follow the channel there for good either: they stay
  // with the channel, held for that site, until the user confirms them for the new one.
  if (store::HoldCredentialsOnMove(channel, oldAddress, movedTo)) {
    services_.Store.SetModified();
    LogCredentialsWithheld(services_.Store.Tree(), channel, oldAddress, movedTo, Now());
  }
}

void UpdateRun::CountFailure(TTreeNodeExt* node, int kind, bool resubscribe, int& newState, const std::string& address,
                             const std::string& cause) {
  LogError(services_.Store.Tree(), kind, node->Data(), services_.Xml.ParseError, Now(), address, nullptr, cause);
  newState = resubscribe ? store::kKindStopped : store::kKindError;
  if (services_.Settings.TreeOpen == 1) services_.Store.Tree().ExpandAncestors(node);
  ++errorCount_;
}

void UpdateRun::TestNewItems(TTreeNodeExt* node, size_t firstNew) {
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
