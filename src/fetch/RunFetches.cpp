// SPDX-License-Identifier: MIT
#include "fetch/RunFetches.h"

#include <utility>
#include <vector>

#include "fetch/HttpSettings.h"
#include "fetch/private/HttpRules.h"
#include "settings/Credentials.h"
#include "store/BloglinesAddress.h"

namespace fetch {
namespace {

using store::TTreeNodeExt;

std::string BasicCredentials(const std::string& stored) {
  const settings::Credential credential = settings::ReadCredential(stored);
  return credential.User + ":" + credential.Password;
}

}  // namespace

RunFetches::RunFetches(platform::EventLoop& loop, const std::atomic<bool>& cancel, Finished finished)
    : loop_(loop), finished_(std::move(finished)), workers_(loop, cancel) {}

void RunFetches::Start(TTreeNodeExt* node, bool resubscribe, const settings::Settings& settings, bool forceReload) {
  const store::TSiteList& channel = *node->Data();
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
  if (!forceReload) job.IfModifiedSince = channel.server;
  job.Resubscribe = resubscribe;
  const bool linkMode = job.HtmlRss && job.RegExpr.empty();
  // The workers go with this object, and with them every completion still to come.
  const FetchWorkers::WorkerId id =
      workers_.Start(std::move(job), [this](FetchWorkers::WorkerId worker, FetchOutcome outcome) {
        auto found = jobs_.find(worker);
        if (found == jobs_.end()) return;
        const Job ended = found->second;
        jobs_.erase(found);
        finished_(ended, outcome);
      });
  jobs_[id] = Job{node, resubscribe, linkMode, url};
}

void RunFetches::GiveUp(FetchWorkers::WorkerId id, const std::string& cause) {
  // Its completion will not come: the fetch is finished here, as a failure. The worker's
  // thread ends on its own and is joined when its end arrives.
  workers_.GiveUp(id);
  auto found = jobs_.find(id);
  if (found == jobs_.end()) return;
  const Job job = found->second;
  jobs_.erase(found);
  FetchOutcome failed;
  failed.Failed = true;
  failed.Resubscribe = job.resubscribe;
  failed.FailureCause = cause;
  finished_(job, failed);
}

void RunFetches::WatchTimeouts(const settings::Settings& settings) {
  // A time-out of 0 (or a damaged one below) is the default wait, never no limit at all:
  // a server that keeps a request open must not hold the run for ever.
  const int64_t limitMs = HttpTimeoutMs(settings.HTTPTimeout);
  const int64_t now = loop_.TickMs();
  const std::vector<FetchWorkers::WorkerId> running = workers_.Running();
  // The limit applies to each request: a worker renews its start tick at every redirect.
  for (auto it = running.rbegin(); it != running.rend(); ++it) {
    const int64_t started = workers_.StartTick(*it);
    if (started != 0 && now - started > limitMs) GiveUp(*it, GivenUpCause(limitMs));
  }
}

void RunFetches::GiveUpAll() {
  const std::vector<FetchWorkers::WorkerId> running = workers_.Running();
  for (auto it = running.rbegin(); it != running.rend(); ++it) GiveUp(*it, {});
}

TTreeNodeExt* RunFetches::FirstRunningNode() const {
  const std::vector<FetchWorkers::WorkerId> running = workers_.Running();
  if (running.empty()) return nullptr;
  auto found = jobs_.find(running.front());
  return found != jobs_.end() ? found->second.node : nullptr;
}

void RunFetches::Forget(TTreeNodeExt* node) {
  for (auto& [id, job] : jobs_) {
    if (job.node == node) job.node = nullptr;
  }
}

}  // namespace fetch
