// SPDX-License-Identifier: MIT
#include "fetch/FetchWorker.h"

#include <exception>
#include <utility>

#include "fetch/HttpExchange.h"
#include "fetch/HttpRules.h"
#include "formats/DocumentSource.h"
#include "formats/PageLinks.h"
#include "platform/HttpTransport.h"

namespace fetch {
namespace {

// The sixth redirect answer of one fetch fails it.
constexpr int kMaxRedirectHops = 5;

void MarkFailed(FetchOutcome& outcome) {
  outcome.Failed = true;
  outcome.GotDocument = false;
  outcome.LastModified.clear();
  outcome.Document.reset();
}

std::optional<std::string> ReadLocalFile(const std::string& address) {
  formats::LocalFileSource files;
  formats::FetchRequest request;
  request.address = address;
  formats::FetchResult result = files.FetchDocument(request);
  if (result.status != formats::FetchResult::Status::kDocument) return std::nullopt;
  return std::move(result.bytes);
}

// The page of an HTML channel, as a browser would load it: redirects followed, no
// conditional request, and the whole load bounded by the page-load limit.
std::optional<std::string> LoadPage(const FetchJob& job, const std::atomic<bool>& abort) {
  if (formats::IsLocalFileAddress(job.Url)) return ReadLocalFile(job.Url);
  platform::HttpTransport transport(job.Http.UserAgent, TransportProxy(job.Http.Proxy));
  if (!transport.Ready()) return std::nullopt;
  platform::HttpRequest request = MakeHttpRequest(job.Http, job.Url, std::string());
  request.totalTimeoutMs = job.Http.ConnectTimeoutMs;
  request.abort = &abort;
  platform::HttpResponse response = transport.Get(request);
  if (response.outcome != platform::HttpOutcome::kCompleted) return std::nullopt;
  return std::move(response.body);
}

void ExtractLinks(const FetchJob& job, const std::atomic<bool>& abort, FetchOutcome& outcome) {
  const std::optional<std::string> page = LoadPage(job, abort);
  if (!page || abort.load()) return MarkFailed(outcome);
  formats::PageLinks links = formats::ExtractPageLinks(*page, job.Url);
  outcome.PageTitle = std::move(links.PageTitle);
  if (links.AnchorCount == 0) return MarkFailed(outcome);
  outcome.LinkTitles = std::move(links.LinkTitles);
  outcome.LinkUrls = std::move(links.LinkUrls);
  // An empty document tells the completion to build the feed from the lists.
  if (!outcome.LinkTitles.empty()) outcome.Document.emplace();
}

// One request of the redirect chain. Returns true when the chain goes on with `url`.
bool Attempt(const FetchJob& job, platform::HttpTransport& transport, const std::atomic<bool>& abort,
             const std::function<void()>& requestStarted, std::string& url, bool& automaticRedirects, int& hops,
             FetchOutcome& outcome) {
  if (requestStarted) requestStarted();
  platform::HttpRequest request =
      MakeHttpRequest(job.Http, url, BuildRequestHeaders(job.IfModifiedSince, job.Authorization));
  request.followRedirects = automaticRedirects;
  request.abort = &abort;
  platform::HttpResponse response = transport.Get(request);
  outcome.StatusCode = response.status;
  if (response.outcome == platform::HttpOutcome::kAborted || response.status == 0) {
    MarkFailed(outcome);
    return false;
  }
  switch (response.status) {
    case 200:
      if (response.outcome != platform::HttpOutcome::kCompleted) {
        MarkFailed(outcome);
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
      if (hops >= kMaxRedirectHops) {
        MarkFailed(outcome);
        return false;
      }
      ++hops;
      // A permanent move is remembered only for a fetch that belongs to a channel.
      if (response.location.empty() || (response.status == 301 && !job.HasChannel)) {
        automaticRedirects = true;
      } else {
        url = response.location;
        if (response.status == 301) outcome.MovedTo = url;
      }
      return true;
    default:
      MarkFailed(outcome);
      return false;
  }
}

void FetchOverHttp(const FetchJob& job, const std::atomic<bool>& abort, const std::function<void()>& requestStarted,
                   FetchOutcome& outcome) {
  platform::HttpTransport transport(job.Http.UserAgent, TransportProxy(job.Http.Proxy));
  // Without a session the worker ends with nothing, and without a failure.
  if (!transport.Ready()) return;
  std::string url = job.Url;
  bool automaticRedirects = false;
  int hops = 0;
  while (Attempt(job, transport, abort, requestStarted, url, automaticRedirects, hops, outcome)) {
    outcome.Url = url;
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
      outcome.Document = ReadLocalFile(job.Url);
      if (outcome.Document) {
        outcome.GotDocument = true;
      } else {
        MarkFailed(outcome);
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
