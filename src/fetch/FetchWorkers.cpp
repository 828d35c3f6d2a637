// SPDX-License-Identifier: MIT
#include "fetch/FetchWorkers.h"

#include <algorithm>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "fetch/FetchWorker.h"

namespace fetch {
namespace {

// The way back from the workers' threads to the main thread. It is cut when the owner of
// the workers goes, so that a worker finishing late posts nothing into a loop that may be
// gone by then.
class Mailbox {
 public:
  explicit Mailbox(platform::EventLoop& loop) : loop_(&loop) {}

  void Post(platform::EventLoop::Task task) {
    std::lock_guard lock(mutex_);
    if (loop_ != nullptr) loop_->Post(std::move(task));
  }

  void Close() {
    std::lock_guard lock(mutex_);
    loop_ = nullptr;
  }

 private:
  std::mutex mutex_;
  platform::EventLoop* loop_;
};

// What a worker's thread shares with the main thread: only its abort flag.
struct WorkerControl {
  std::atomic<bool> abort{false};
};

}  // namespace

// The main thread's view of the running workers. Only tasks on the main thread touch it;
// the workers' threads reach it through posted tasks that hold a weak reference.
struct FetchWorkers::Shared {
  struct Entry {
    WorkerId id;
    std::shared_ptr<WorkerControl> control;
    Completion completion;
    bool linkExtraction;
    int64_t startTick = 0;
  };

  platform::EventLoop* loop;
  const std::atomic<bool>* cancel;
  std::shared_ptr<Mailbox> mailbox;
  std::vector<Entry> running;  // in start order
  WorkerId nextId = 1;

  std::vector<Entry>::iterator Find(WorkerId id) {
    return std::find_if(running.begin(), running.end(), [id](const Entry& entry) { return entry.id == id; });
  }

  void RequestStarted(WorkerId id) {
    if (auto entry = Find(id); entry != running.end()) entry->startTick = std::max<int64_t>(loop->TickMs(), 1);
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
  shared_->mailbox = std::make_shared<Mailbox>(loop_);
}

FetchWorkers::~FetchWorkers() {
  shared_->mailbox->Close();
  for (const Shared::Entry& entry : shared_->running) entry.control->abort = true;
}

FetchWorkers::WorkerId FetchWorkers::Start(FetchJob job, Completion completion) {
  const WorkerId id = shared_->nextId++;
  auto control = std::make_shared<WorkerControl>();
  const bool linkExtraction = job.HtmlRss && job.RegExpr.empty();
  const bool resubscribe = job.Resubscribe;
  shared_->running.push_back({id, control, std::move(completion), linkExtraction});
  std::weak_ptr<Shared> weak = shared_;
  std::shared_ptr<Mailbox> mailbox = shared_->mailbox;
  // The thread owns its job, its result and its control block; nothing it holds depends
  // on this object, which may be gone before the thread ends.
  try {
    std::thread([id, job = std::move(job), control, weak, mailbox]() {
      const auto announce = [&] {
        mailbox->Post([weak, id] {
          if (auto shared = weak.lock()) shared->RequestStarted(id);
        });
      };
      FetchOutcome outcome = ExecuteFetch(job, control->abort, announce);
      // A worker that was given up frees its result here, on its own thread.
      if (control->abort.load()) return;
      mailbox->Post([weak, id, outcome = std::move(outcome)]() mutable {
        if (auto shared = weak.lock()) shared->Complete(id, std::move(outcome));
      });
    }).detach();
  } catch (const std::system_error&) {
    // No thread to be had (the system's limit): the fetch fails like any other, and its
    // completion still comes through the loop.
    FetchOutcome failed;
    failed.Failed = true;
    failed.Resubscribe = resubscribe;
    mailbox->Post([weak, id, failed = std::move(failed)]() mutable {
      if (auto shared = weak.lock()) shared->Complete(id, std::move(failed));
    });
  }
  return id;
}

void FetchWorkers::GiveUp(WorkerId id) {
  auto entry = shared_->Find(id);
  if (entry == shared_->running.end()) return;
  entry->control->abort = true;
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

int64_t FetchWorkers::StartTick(WorkerId id) const {
  auto entry = shared_->Find(id);
  return entry == shared_->running.end() ? 0 : entry->startTick;
}

}  // namespace fetch
