// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "search/SearchCount.h"
#include "store/ChannelStore.h"
#include "support/ManualEventLoop.h"

namespace search::testing {

// A loop whose timers move with a hand-driven clock and whose posted tasks wait until the
// test runs them, so a test can stand between two steps of a count.
class HeldLoop : public platform::EventLoop {
 public:
  void Post(Task task) override {
    std::lock_guard lock(mutex_);
    held_.push_back(std::move(task));
  }
  TimerId StartTimer(int64_t intervalMs, platform::TimerKind kind, Task task) override {
    return timers_.StartTimer(intervalMs, kind, std::move(task));
  }
  void StopTimer(TimerId id) override { timers_.StopTimer(id); }
  int64_t TickMs() const override { return timers_.TickMs(); }

  // Fires the timers due within `ms`; what they post stays held.
  void Advance(int64_t ms) { timers_.Advance(ms); }
  size_t ActiveTimerCount() const { return timers_.ActiveTimerCount(); }

  // Runs the oldest held task; false when none was held.
  bool RunOne() {
    Task task;
    {
      std::lock_guard lock(mutex_);
      if (held_.empty()) return false;
      task = std::move(held_.front());
      held_.pop_front();
    }
    task();
    return true;
  }
  void RunPending() {
    while (RunOne()) {
    }
  }

 private:
  testsupport::ManualEventLoop timers_;
  std::mutex mutex_;
  std::deque<Task> held_;
};

// Root > Group (ChanA, ChanB) and Root > ChanC, with a saved search made by each test.
class SearchFixture : public ::testing::Test {
 protected:
  SearchFixture() {
    store::TChannelTree& tree = store.Tree();
    group = tree.AddChild(tree.RootNode(), "Group", store::kKindGroup);
    chanA = Channel(group, "ChanA");
    chanB = Channel(group, "ChanB");
    chanC = Channel(tree.RootNode(), "ChanC");
  }

  store::TTreeNodeExt* Channel(store::TTreeNodeExt* parent, const std::string& caption) {
    auto data = std::make_unique<store::TSiteList>();
    data->Site.title = caption;
    return store.Tree().AddChild(parent, caption, store::kKindChannel, std::move(data));
  }

  store::TTreeNodeExt* Search(store::TTreeNodeExt* parent, const std::string& caption) {
    return store.Tree().AddChild(parent, caption, store::kKindSearch);
  }

  store::TSiteRecord* Add(store::TTreeNodeExt* channel, const std::string& title, uint8_t read = store::kStateUnread) {
    store::TSiteRecord record;
    record.title = title;
    record.read = read;
    return store.AddItemToChannel(*channel->Data(), record);
  }

  // Lets the debounce timer fire and waits (generously: the machine may be loaded) until
  // the count has come back and nothing more is pending.
  void CountNow() {
    loop.Advance(SearchCount::kDebounceMs);
    WaitIdle();
  }

  void WaitIdle() {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (count->SearchRunState() != SearchCount::kIdle) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the count never came back";
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
      loop.RunPending();
    }
  }

  std::string Caption(const store::TTreeNodeExt* node) const { return store.Tree().DisplayedCaption(node); }

  settings::Settings settings;
  store::ChannelStore store{settings};
  HeldLoop loop;
  std::unique_ptr<SearchCount> count = std::make_unique<SearchCount>(loop, store.Tree(), settings);
  store::TTreeNodeExt* group = nullptr;
  store::TTreeNodeExt* chanA = nullptr;
  store::TTreeNodeExt* chanB = nullptr;
  store::TTreeNodeExt* chanC = nullptr;
};

}  // namespace search::testing
