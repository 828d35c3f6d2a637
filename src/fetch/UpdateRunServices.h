// SPDX-License-Identifier: MIT
#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "fetch/FtpPreRunStep.h"
#include "fetch/KeywordAlerts.h"
#include "fetch/ModifierKeys.h"
#include "fetch/OfflineSwitch.h"
#include "formats/feeds/FeedProcessor.h"
#include "formats/media/MediaHandOver.h"
#include "platform/EventLoop.h"
#include "platform/UiLock.h"
#include "store/LocalClock.h"

namespace fetch {

// Everything a run works with, owned by the application.
struct UpdateRunServices {
  platform::EventLoop& Loop;
  store::ChannelStore& Store;
  settings::Settings& Settings;  // the run writes RefreshTime (its LastRunTime)
  platform::Dialogs& Dialogs;
  formats::XmlContext& Xml;
  const platform::UiLock& Lock;                                      // while it is held, no run starts
  std::string DataFolder;                                            // with a trailing "/"
  store::ItemStateReplay* Journal = nullptr;                         // none: no recovery replay
  formats::HtmlFeedBuilder* Html = nullptr;                          // none: HTML channels yield nothing
  formats::MediaQueue* Media = nullptr;                              // none: enclosures are not queued
  formats::MediaHandOver* HandOver = nullptr;                        // none: nothing is handed to Podhall
  OfflineSwitch* Offline = nullptr;                                  // none: always online
  FtpPreRunStep* FtpPreRun = nullptr;                                // none: every run goes ahead
  KeywordAlerts* Alerts = nullptr;                                   // none: no alerts
  ModifierKeys* Keys = nullptr;                                      // none: no key held
  formats::ZoneRules LocalZone = formats::ZoneRules::Fixed(9 * 60);  // the zone dates are read into
  // Runs at most this many fetches at once instead of HttpThreadMax; 0: the setting.
  int ThreadLimitOverride = 0;
  std::function<double()> Now;  // local date-time; empty: the system clock

  // The local date-time now, from `Now` or the system clock.
  double CurrentTime() const { return Now ? Now() : store::LocalDayNumber(std::time(nullptr)); }
};

}  // namespace fetch
