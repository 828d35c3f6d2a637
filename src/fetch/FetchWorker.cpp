// SPDX-License-Identifier: MIT
#include "fetch/private/FetchWorker.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

#include "fetch/private/HttpExchange.h"
#include "fetch/private/HttpRules.h"
#include "formats/feeds/DocumentSource.h"
#include "formats/html/PageLinks.h"
#include "platform/HttpTransport.h"

namespace fetch {
namespace {

using Clock = std::chrono::steady_clock;

// The sixth redirect answer of one fetch fails it.
constexpr int kMaxRedirectHops = 5;

void MarkFailed(FetchOutcome& outcome, std::string cause = {}) {
  outcome.Failed = true;
  outcome.GotDocument = false;
  outcome.LastModified.clear();
  outcome.Document.reset();
  outcome.FailureCause = std::move(cause);
}

formats::FetchResult ReadLocalFile(const std::string& address) {
  formats::LocalFileSource files;
  formats::FetchRequest request;
  request.address = address;
  return files.FetchDocument(request);
}

// The page of an HTML channel, as a browser would load it: redirects followed, no
// conditional request, and the whole load bounded by the page-load limit. A page that did
// not load leaves its cause in `outcome`.
std::optional<std::string> LoadPage(const FetchJob& job, const std::atomic<bool>& abort, FetchOutcome& outcome) {
  if (formats::IsLocalFileAddress(job.Url)) {
    formats::FetchResult file = ReadLocalFile(job.Url);
    if (file.status == formats::FetchResult::Status::kDocument) return std::move(file.bytes);
    outcome.FailureCause = std::move(file.cause);
    return std::nullopt;
  }
  platform::HttpTransport transport(job.Http.UserAgent, TransportProxy(job.Http.Proxy));
  if (!transport.Ready()) return std::nullopt;
  HttpSettings limits = job.Http;
  const int64_t pageLimitMs = job.Http.ConnectTimeoutMs;
  if (pageLimitMs > 0 && (limits.TotalTimeoutMs <= 0 || pageLimitMs < limits.TotalTimeoutMs)) {
    limits.TotalTimeoutMs = pageLimitMs;
  }
  platform::HttpRequest request = MakeHttpRequest(limits, job.Url, std::string());
  request.abort = &abort;
  platform::HttpResponse response = transport.Get(request);
  if (response.outcome != platform::HttpOutcome::kCompleted) {
    outcome.FailureCause = FailureCause(response, limits);
    return std::nullopt;
  }
  return std::move(response.body);
}

void ExtractLinks(const FetchJob& job, const std::atomic<bool>& abort, FetchOutcome& outcome) {
  const std::optional<std::string> page = LoadPage(job, abort, outcome);
  if (!page || abort.load()) return MarkFailed(outcome, std::move(outcome.FailureCause));
  formats::PageLinks links = formats::ExtractPageLinks(*page, job.Url);
  outcome.PageTitle = std::move(links.PageTitle);
  if (links.AnchorCount == 0) return MarkFailed(outcome);
  outcome.LinkTitles = std::move(links.LinkTitles);
  outcome.LinkUrls = std::move(links.LinkUrls);
  // An empty document tells the completion to build the feed from the lists.
  if (!outcome.LinkTitles.empty()) outcome.Document.emplace();
}

// Where the worker is in its chain of requests.
struct Chain {
  std::string url;
  bool automaticRedirects = false;
  int hops = 0;
  Clock::time_point deadline = Clock::time_point::max();
};

// The request for the chain's current address. The credentials go only to the origin of
// the channel's address; the total time-out is what is left of the whole fetch's.
platform::HttpRequest ChainRequest(const FetchJob& job, const Chain& chain, const std::atomic<bool>& abort) {
  const bool sameOrigin = chain.url == job.Url || platform::SameOrigin(chain.url, job.Url);
  platform::HttpRequest request = MakeHttpRequest(
      job.Http, chain.url, BuildRequestHeaders(job.IfModifiedSince, sameOrigin ? job.Authorization : std::string()));
  if (chain.deadline != Clock::time_point::max()) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(chain.deadline - Clock::now()).count();
    request.totalTimeoutMs = std::max<int64_t>(left, 1);
  }
  request.followRedirects = chain.automaticRedirects;
  request.abort = &abort;
  return request;
}

// One request of the redirect chain. Returns true when the chain goes on with `chain.url`.
bool Attempt(const FetchJob& job, platform::HttpTransport& transport, const std::atomic<bool>& abort,
             const std::function<void()>& requestStarted, Chain& chain, FetchOutcome& outcome) {
  if (requestStarted) requestStarted();
  platform::HttpResponse response = transport.Get(ChainRequest(job, chain, abort));
  outcome.StatusCode = response.status;
  if (response.outcome == platform::HttpOutcome::kAborted || response.status == 0) {
    MarkFailed(outcome, FailureCause(response, job.Http));
    return false;
  }
  switch (response.status) {
    case 200:
      if (response.outcome != platform::HttpOutcome::kCompleted) {
        MarkFailed(outcome, FailureCause(response, job.Http));
        return false;
      }
      outcome.LastModified = ExtractLastModified(response.rawHeaders);
      outcome.Document = std::move(response.body);
      outcome.GotDocument = true;
      return false;
    case 304:
      outcome.GotDocument = false;
      return false;
    case 301:
    case 302:
    case 307:
      if (chain.hops >= kMaxRedirectHops) {
        MarkFailed(outcome, TooManyRedirectsCause());
        return false;
      }
      ++chain.hops;
      // A permanent move is remembered only for a fetch that belongs to a channel.
      if (response.location.empty() || (response.status == 301 && !job.HasChannel)) {
        chain.automaticRedirects = true;
      } else {
        chain.url = response.location;
        if (response.status == 301) outcome.MovedTo = chain.url;
      }
      return true;
    default:
      MarkFailed(outcome, FailureCause(response, job.Http));
      return false;
  }
}

void FetchOverHttp(const FetchJob& job, const std::atomic<bool>& abort, const std::function<void()>& requestStarted,
                   FetchOutcome& outcome) {
  platform::HttpTransport transport(job.Http.UserAgent, TransportProxy(job.Http.Proxy));
  // Without a session the worker ends with nothing, and without a failure.
  if (!transport.Ready()) return;
  Chain chain;
  chain.url = job.Url;
  // The whole fetch, every redirect included, has one deadline.
  if (job.Http.TotalTimeoutMs > 0) chain.deadline = Clock::now() + std::chrono::milliseconds(job.Http.TotalTimeoutMs);
  while (Attempt(job, transport, abort, requestStarted, chain, outcome)) {
    outcome.Url = chain.url;
  }
}

}  // namespace

FetchOutcome ExecuteFetch(const FetchJob& job, const std::atomic<bool>& abort,
                          const std::function<void()>& requestStarted) {
  FetchOutcome outcome;
  outcome.Url = job.Url;
  outcome.Resubscribe = job.Resubscribe;
  try {
    if (job.HtmlRss && job.RegExpr.empty()) {
      ExtractLinks(job, abort, outcome);
    } else if (formats::IsLocalFileAddress(job.Url)) {
      formats::FetchResult file = ReadLocalFile(job.Url);
      if (file.status == formats::FetchResult::Status::kDocument) {
        outcome.Document = std::move(file.bytes);
        outcome.GotDocument = true;
      } else {
        MarkFailed(outcome, std::move(file.cause));
      }
    } else {
      FetchOverHttp(job, abort, requestStarted, outcome);
    }
  } catch (const std::exception&) {
    // Running out of memory on a huge page is a failed fetch like any other.
    MarkFailed(outcome);
  }
  return outcome;
}

}  // namespace fetch
