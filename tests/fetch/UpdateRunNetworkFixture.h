// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "UpdateRunSupport.h"
#include "platform/PlainEventLoop.h"
#include "support/LoopbackServer.h"

namespace fetch {

// Update runs against an HTTP server inside the test process, on the plain event loop.
class UpdateRunNetwork : public ::testing::Test {
 protected:
  UpdateRunNetwork() {
    world.onEnded = [this] { loop.Quit(); };
  }

  // Starts a run and drives the loop until it ends. A run that never ends is a hang,
  // which the test's time-out reports.
  void RunAndWait(const std::function<void()>& start) {
    const int endedBefore = world.runsEnded;
    start();
    if (world.runsEnded == endedBefore) loop.Run();
    ASSERT_EQ(world.runsEnded, endedBefore + 1);
    EXPECT_FALSE(world.Run().Running());
  }
  void FullRun(RunSender sender = RunSender::kMenu) {
    RunAndWait([&] { world.Run().SB_NewClick(sender); });
  }

  store::TTreeNodeExt* Channel(const std::string& path) { return world.AddChannel(path, server.Url(path)); }
  store::TSiteList& Data(store::TTreeNodeExt* node) { return *node->Data(); }

  std::vector<testsupport::SeenRequest> RequestsFor(const std::string& path) {
    std::vector<testsupport::SeenRequest> found;
    for (const auto& request : server.Requests()) {
      if (request.target == path) found.push_back(request);
    }
    return found;
  }

  platform::PlainEventLoop loop;
  testsupport::LoopbackServer server;
  RunWorld world{loop};
};

}  // namespace fetch
