// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/EventLoop.h"
#include "support/ManualEventLoop.h"

namespace platform {
namespace {

TEST(Timer, RestartPostponesAndStopCancels) {
  testsupport::ManualEventLoop loop;
  int fired = 0;
  Timer timer(loop, 500, TimerKind::kOnce, [&] { ++fired; });
  timer.Start();
  loop.Advance(400);
  timer.Start();  // a burst of restarts gives one firing, 500 ms after the last
  loop.Advance(400);
  EXPECT_EQ(fired, 0);
  loop.Advance(100);
  EXPECT_EQ(fired, 1);
  EXPECT_FALSE(timer.Enabled());
  timer.Start();
  timer.Stop();
  loop.Advance(1000);
  EXPECT_EQ(fired, 1);
}

TEST(Timer, RepeatingTimerFiresEachInterval) {
  testsupport::ManualEventLoop loop;
  std::vector<int64_t> ticks;
  Timer timer(loop, 300, TimerKind::kRepeating, [&] { ticks.push_back(loop.TickMs()); });
  const int64_t start = loop.TickMs();
  timer.Start();
  loop.Advance(1000);
  ASSERT_EQ(ticks.size(), 3u);
  EXPECT_EQ(ticks[0] - start, 300);
  EXPECT_EQ(ticks[2] - start, 900);
  EXPECT_TRUE(timer.Enabled());
  timer.SetInterval(50);
  loop.Advance(100);
  EXPECT_EQ(ticks.size(), 5u);
}

TEST(Timer, PostedTasksRunInOrder) {
  testsupport::ManualEventLoop loop;
  std::string order;
  loop.Post([&] {
    order += "a";
    loop.Post([&] { order += "c"; });
  });
  loop.Post([&] { order += "b"; });
  loop.RunPending();
  EXPECT_EQ(order, "abc");
}

}  // namespace
}  // namespace platform
