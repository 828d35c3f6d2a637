// SPDX-License-Identifier: MIT
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "fetch/HttpSettings.h"
#include "platform/EventLoop.h"

// The fetch workers of an update run. Each worker fetches one document for one channel on
// a thread of its own and ends; it never sees the channel tree. It is given copies of
// everything it needs, and its result comes back to the main thread through the event
// loop as a plain record. The threads belong to their owner: none outlives it.
namespace fetch {

// What the creator gives a worker.
struct FetchJob {
  // Proxy, agent text ("[t]"), connect and receive time-outs, the total time-out of the
  // whole fetch, body ceiling. The connect time-out is also the page-load limit of link
  // extraction.
  HttpSettings Http;
  std::string Url;              // the address to fetch
  std::string IfModifiedSince;  // empty: unconditional
  // "user:password" for Basic authorization; empty: none. It is sent only to the origin
  // of `Url`: a redirect elsewhere goes on without it.
  std::string Authorization;
  bool HtmlRss = false;  // the channel's htmlrss
  std::string RegExpr;   // the channel's regexpr (only its emptiness matters here)
  // Whether the fetch belongs to a channel that holds its channel record: only then is a
  // 301 answer's Location remembered in MovedTo; otherwise redirects are left to the
  // transport from then on.
  bool HasChannel = true;
  bool Resubscribe = false;  // handed back unchanged
};

// What a worker that ended by itself hands back.
struct FetchOutcome {
  bool GotDocument = false;
  bool Failed = false;
  // The fetched bytes; for link extraction with links found, an empty document (a marker
  // for the completion, which builds the feed from the link lists).
  std::optional<std::string> Document;
  std::string Url;           // the address last fetched (after followed 301/302/307)
  std::string LastModified;  // of a 200 answer
  std::string MovedTo;       // the target of a 301 answer; empty when none
  int StatusCode = 0;        // of the last answer; 0 before one was read
  std::string FailureCause;  // what made a failed fetch fail, one line; may be empty
  std::string PageTitle;     // link extraction, code page 932
  std::vector<std::string> LinkTitles;
  std::vector<std::string> LinkUrls;
  bool Resubscribe = false;  // the job's
};

// The running workers. Main thread only, apart from the workers' own threads inside.
class FetchWorkers {
 public:
  using WorkerId = uint64_t;
  using Completion = std::function<void(WorkerId, FetchOutcome)>;

  // `cancel` is the run's cancel flag, watched by link extraction; it and `loop` must
  // outlive this.
  FetchWorkers(platform::EventLoop& loop, const std::atomic<bool>& cancel);
  FetchWorkers(const FetchWorkers&) = delete;
  FetchWorkers& operator=(const FetchWorkers&) = delete;
  // Gives up every worker still running (no completion is called), aborts every transfer
  // and joins every thread, given-up ones included: when it returns, no worker thread is
  // left. A transfer notices the abort within about 0.1 s.
  ~FetchWorkers();

  // Starts a worker on a thread of its own. When it ends by itself, `completion` runs once
  // on the main thread through the loop, and the worker is no longer running.
  WorkerId Start(FetchJob job, Completion completion);

  // Gives a worker up: its transfer is aborted (promptly, within about 0.1 s), its
  // completion will never be called, and its late result is dropped by the worker itself.
  // Its thread is joined when its end reaches the main thread, or with this object.
  // Unknown or finished ids are ignored.
  void GiveUp(WorkerId id);

  // The workers started and not yet completed or given up, in start order.
  std::vector<WorkerId> Running() const;
  size_t RunningCount() const;

  // The threads not yet joined: the running workers' and those of given-up workers whose
  // end has not yet reached the main thread.
  size_t ThreadCount() const;

  // The loop's tick at which the main thread learnt that the worker's latest request
  // started (every redirect hop is a new request); 0 while no request was started (a
  // local file, link extraction), and for unknown ids. The worker announces each request
  // through the loop, so the time-out watch runs on the loop's own clock.
  int64_t StartTick(WorkerId id) const;

 private:
  struct Shared;
  platform::EventLoop& loop_;
  const std::atomic<bool>& cancel_;
  // The main thread's records, held by pointer so that tasks still waiting in the loop
  // when this object goes find it gone.
  std::shared_ptr<Shared> shared_;
};

}  // namespace fetch
