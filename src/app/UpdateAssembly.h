// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include "app/DataSession.h"
#include "fetch/ModifierKeys.h"
#include "fetch/UpdateRun.h"
#include "fetch/UpdateRunView.h"
#include "formats/html/HtmlExceptionList.h"
#include "formats/html/HtmlToFeed.h"
#include "formats/media/MediaHandOver.h"
#include "formats/media/MediaQueue.h"
#include "platform/Dialogs.h"
#include "platform/EventLoop.h"
#include "platform/Process.h"
#include "platform/UiLock.h"
#include "search/KeywordAlerts.h"

namespace app {

// What a front end puts into its update run: how the run shows itself, which keys are
// held, where its questions go, whether its user interface is locked and what the front
// end does at the run's ends.
struct UpdateFrontEnd {
  fetch::UpdateRunView& View;
  fetch::ModifierKeys& Keys;
  platform::Dialogs& Dialogs;
  const platform::UiLock& Lock;
  fetch::UpdateRunHooks Hooks;  // the program title is the assembly's to set
  // Runs at most this many fetches at once instead of HttpThreadMax; 0: the setting.
  int ThreadLimitOverride = 0;
};

// The update run with the services it works with, wired one way for the window and for
// plover-cli, so that both front ends run the same update: the HTML-to-feed builder and
// its exception list, the enclosure queue and the hand-over to Podhall, the keyword alerts
// of the saved searches, the recovery journal and the local time zone. The other parts of
// the program that need the builder, the queue or the hand-over take them from here.
class UpdateAssembly {
 public:
  UpdateAssembly(platform::EventLoop& loop, DataSession& session, UpdateFrontEnd frontEnd);
  UpdateAssembly(const UpdateAssembly&) = delete;
  UpdateAssembly& operator=(const UpdateAssembly&) = delete;

  fetch::UpdateRun& Run() { return run_; }
  const fetch::UpdateRun& Run() const { return run_; }

  // Reads the data folder's exception list of the HTML-to-feed builder. The window does
  // it once the data folder is ready; until then the list is empty.
  void LoadExceptionList();

  formats::HtmlToFeed& Html() { return html_; }
  formats::MediaQueue& Media() { return media_; }
  formats::MediaHandOver& HandOver() { return handOver_; }
  platform::ProcessLauncher& Launcher() { return *launcher_; }

 private:
  fetch::UpdateRunServices MakeServices(platform::EventLoop& loop, const UpdateFrontEnd& frontEnd);
  fetch::UpdateRunHooks MakeHooks(fetch::UpdateRunHooks hooks) const;

  DataSession& session_;
  formats::HtmlExceptionList exceptions_;
  formats::HtmlToFeed html_;
  formats::MediaQueue media_;
  std::unique_ptr<platform::ProcessLauncher> launcher_;
  formats::MediaHandOver handOver_;
  search::KeywordAlerts alerts_;
  fetch::UpdateRun run_;
};

}  // namespace app
