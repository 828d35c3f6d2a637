// SPDX-License-Identifier: MIT
#include "fetch/FetchWorkers.h"

#include <algorithm>
#include <map>
#include <stop_token>
#include <system_error>
#include <thread>
#include <utility>

#include "fetch/private/FetchWorker.h"

namespace fetch {

// The main thread's view of the workers. Only tasks on the main thread touch it; the
// workers' threads reach it through posted tasks that hold a weak reference.
struct FetchWorkers::Shared {
  struct Entry {
    WorkerId id;
    Completion completion;
    bool linkExtraction;
    int64_t startTick = 0;
  };

  platform::EventLoop* loop;
  const std::atomic<bool>* cancel;
  std::vector<Entry> running;  // in start order
  // Every thread not yet joined, given-up workers' included. A stop request sets the
  // worker's abort flag, so destroying a thread aborts its transfer and then joins it.
  std::map<WorkerId, std::jthread> threads;
  WorkerId nextId = 1;

  std::vector<Entry>::iterator Find(WorkerId id) {
    return std::find_if(running.begin(), running.end(), [id](const Entry& entry) { return entry.id == id; });
  }

  void RequestStarted(WorkerId id) {
    if (auto entry = Find(id); entry != running.end()) entry->startTick = std::max<int64_t>(loop->TickMs(), 1);
  }

  // The last word of a worker's thread: it has posted this and is about to end, so the
  // join is immediate. `outcome` is empty for a worker that was given up.
  void Ended(WorkerId id, std::optional<FetchOutcome> outcome) {
    if (auto thread = threads.find(id); thread != threads.end()) {
      thread->second.join();
      threads.erase(thread);
    }
    if (outcome) Complete(id, std::move(*outcome));
  }

  void Complete(WorkerId id, FetchOutcome outcome) {
    auto entry = Find(id);
    if (entry == running.end()) return;  // given up meanwhile: the result is not wanted
    Completion completion = std::move(entry->completion);
    const bool linkExtraction = entry->linkExtraction;
    running.erase(entry);
    // A page that finished loading while the run was being cancelled counts as not loaded.
    if (linkExtraction && cancel->load()) {
      outcome.Failed = true;
      outcome.GotDocument = false;
      outcome.Document.reset();
    }
    completion(id, std::move(outcome));
  }
};

FetchWorkers::FetchWorkers(platform::EventLoop& loop, const std::atomic<bool>& cancel)
    : loop_(loop), cancel_(cancel), shared_(std::make_shared<Shared>()) {
  shared_->loop = &loop_;
  shared_->cancel = &cancel_;
}

FetchWorkers::~FetchWorkers() {
  // Every stop is requested first, so that the transfers wind down side by side; the
  // joins then take as long as the slowest of them, not their sum.
  for (auto& [id, thread] : shared_->threads) thread.request_stop();
  shared_->threads.clear();
  shared_->running.clear();
}

FetchWorkers::WorkerId FetchWorkers::Start(FetchJob job, Completion completion) {
  const WorkerId id = shared_->nextId++;
  const bool linkExtraction = job.HtmlRss && job.RegExpr.empty();
  const bool resubscribe = job.Resubscribe;
  shared_->running.push_back({id, std::move(completion), linkExtraction});
  std::weak_ptr<Shared> weak = shared_;
  platform::EventLoop* loop = &loop_;
  try {
    // The thread owns its job, its result and its abort flag; it reaches the main thread
    // only through the loop, which outlives every thread here.
    std::jthread thread([id, job = std::move(job), weak, loop](std::stop_token stop) {
      std::atomic<bool> abort{false};
      const std::stop_callback onStop(stop, [&abort] { abort = true; });
      const auto announce = [&] {
        loop->Post([weak, id] {
          if (auto shared = weak.lock()) shared->RequestStarted(id);
        });
      };
      FetchOutcome outcome = ExecuteFetch(job, abort, announce);
      // A worker that was given up frees its result here, on its own thread.
      std::optional<FetchOutcome> kept;
      if (!abort.load()) kept = std::move(outcome);
      loop->Post([weak, id, kept = std::move(kept)]() mutable {
        if (auto shared = weak.lock()) shared->Ended(id, std::move(kept));
      });
    });
    shared_->threads.emplace(id, std::move(thread));
  } catch (const std::system_error&) {
    // No thread to be had (the system's limit): the fetch fails like any other, and its
    // completion still comes through the loop.
    FetchOutcome failed;
    failed.Failed = true;
    failed.Resubscribe = resubscribe;
    loop_.Post([weak, id, failed = std::move(failed)]() mutable {
      if (auto shared = weak.lock()) shared->Complete(id, std::move(failed));
    });
  }
  return id;
}

void FetchWorkers::GiveUp(WorkerId id) {
  auto entry = shared_->Find(id);
  if (entry == shared_->running.end()) return;
  if (auto thread = shared_->threads.find(id); thread != shared_->threads.end()) thread->second.request_stop();
  shared_->running.erase(entry);
}

std::vector<FetchWorkers::WorkerId> FetchWorkers::Running() const {
  std::vector<WorkerId> ids;
  ids.reserve(shared_->running.size());
  for (const Shared::Entry& entry : shared_->running) ids.push_back(entry.id);
  return ids;
}

size_t FetchWorkers::RunningCount() const {
  return shared_->running.size();
}

size_t FetchWorkers::ThreadCount() const {
  return shared_->threads.size();
}

int64_t FetchWorkers::StartTick(WorkerId id) const {
  auto entry = shared_->Find(id);
  return entry == shared_->running.end() ? 0 : entry->startTick;
}

}  // namespace fetch
