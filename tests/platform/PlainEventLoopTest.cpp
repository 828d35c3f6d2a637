// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include "platform/PlainEventLoop.h"

namespace platform {
namespace {

TEST(PlainEventLoop, TimersFireInOrderOfTheirDueTime) {
  PlainEventLoop loop;
  std::vector<int> order;
  const int64_t start = loop.TickMs();
  loop.StartTimer(30, TimerKind::kOnce, [&] { order.push_back(30); });
  loop.StartTimer(10, TimerKind::kOnce, [&] { order.push_back(10); });
  loop.StartTimer(20, TimerKind::kOnce, [&] { order.push_back(20); });
  const EventLoop::TimerId stopped = loop.StartTimer(15, TimerKind::kOnce, [&] { order.push_back(15); });
  loop.StopTimer(stopped);
  loop.StopTimer(987654);  // unknown ids are ignored
  loop.StartTimer(40, TimerKind::kOnce, [&] { loop.Quit(); });
  loop.Run();
  EXPECT_EQ(order, (std::vector<int>{10, 20, 30}));
  EXPECT_GE(loop.TickMs() - start, 40);
}

TEST(PlainEventLoop, RepeatingTimerRunsUntilItStopsItself) {
  PlainEventLoop loop;
  int fired = 0;
  EventLoop::TimerId id = 0;
  id = loop.StartTimer(5, TimerKind::kRepeating, [&] {
    if (++fired == 3) loop.StopTimer(id);
  });
  loop.StartTimer(60, TimerKind::kOnce, [&] { loop.Quit(); });
  loop.Run();
  EXPECT_EQ(fired, 3);
}

TEST(PlainEventLoop, PostsFromOtherThreadsAllRunOnTheLoopThread) {
  PlainEventLoop loop;
  constexpr int kThreads = 4;
  constexpr int kPosts = 1000;
  const std::thread::id loopThread = std::this_thread::get_id();
  int counted = 0;  // touched only by the loop thread
  bool allOnLoopThread = true;
  std::atomic<int> finished{0};
  std::vector<std::thread> posters;
  for (int t = 0; t < kThreads; ++t) {
    posters.emplace_back([&] {
      for (int i = 0; i < kPosts; ++i) {
        loop.Post([&] {
          ++counted;
          allOnLoopThread = allOnLoopThread && std::this_thread::get_id() == loopThread;
        });
      }
      // The last poster to finish queues the end behind everything posted before it.
      if (++finished == kThreads) loop.Post([&] { loop.Quit(); });
    });
  }
  loop.Run();
  for (auto& poster : posters) poster.join();
  EXPECT_EQ(counted, kThreads * kPosts);
  EXPECT_TRUE(allOnLoopThread);
}

TEST(PlainEventLoop, QuitFromAnotherThreadWakesAnIdleLoop) {
  PlainEventLoop loop;
  // The loop's only timer is a minute away, so nothing but the quit can end this run.
  int late = 0;
  loop.StartTimer(60000, TimerKind::kOnce, [&] { ++late; });
  std::latch running(1);
  loop.Post([&] { running.count_down(); });
  std::thread quitter([&] {
    running.wait();
    loop.Quit();
  });
  loop.Run();
  quitter.join();
  EXPECT_EQ(late, 0);
}

TEST(PlainEventLoop, QuitBeforeRunEndsTheNextRunAtOnce) {
  PlainEventLoop loop;
  loop.Quit();
  loop.Run();
  int ran = 0;
  loop.Post([&] {
    ++ran;
    loop.Quit();
  });
  loop.Run();  // the first Run used up the earlier Quit
  EXPECT_EQ(ran, 1);
}

TEST(PlainEventLoop, RunUntilIdleRunsWhatIsReadyAndNeverWaits) {
  PlainEventLoop loop;
  std::string order;
  loop.Post([&] {
    order += "a";
    loop.Post([&] { order += "c"; });
  });
  loop.Post([&] { order += "b"; });
  loop.StartTimer(0, TimerKind::kOnce, [&] { order += "t"; });
  int late = 0;
  loop.StartTimer(60000, TimerKind::kOnce, [&] { ++late; });
  loop.RunUntilIdle();
  EXPECT_EQ(order, "abct");
  EXPECT_EQ(late, 0);
}

}  // namespace
}  // namespace platform
