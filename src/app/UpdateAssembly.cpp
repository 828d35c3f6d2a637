// SPDX-License-Identifier: MIT
#include "app/UpdateAssembly.h"

#include <utility>

#include "app/DataFolder.h"
#include "formats/feeds/FeedDate.h"

namespace app {

UpdateAssembly::UpdateAssembly(platform::EventLoop& loop, DataSession& session, UpdateFrontEnd frontEnd)
    : session_(session),
      html_(formats::HtmlToFeedServices{session.Settings(), exceptions_, session.DataFolder(), {}, {}}),
      launcher_(platform::MakeProcessLauncher()),
      handOver_(formats::MediaHandOver::kProgramFilesFolder, AppDataFolder(ProcessEnvironment()), *launcher_),
      alerts_(session.Store().Tree(), session.Settings()),
      run_(MakeServices(loop, frontEnd), frontEnd.View, MakeHooks(std::move(frontEnd.Hooks))) {}

void UpdateAssembly::LoadExceptionList() {
  exceptions_ = formats::HtmlExceptionList::Load(session_.DataFolder());
}

fetch::UpdateRunServices UpdateAssembly::MakeServices(platform::EventLoop& loop, const UpdateFrontEnd& frontEnd) {
  fetch::UpdateRunServices services{loop,           session_.Store(), session_.Settings(),  frontEnd.Dialogs,
                                    session_.Xml(), frontEnd.Lock,    session_.DataFolder()};
  services.Journal = &session_.Journal();
  services.Html = &html_;
  services.Media = &media_;
  services.HandOver = &handOver_;
  services.Keys = &frontEnd.Keys;
  services.Alerts = &alerts_;
  services.LocalZone = formats::ZoneRules::Machine();
  services.ThreadLimitOverride = frontEnd.ThreadLimitOverride;
  return services;
}

fetch::UpdateRunHooks UpdateAssembly::MakeHooks(fetch::UpdateRunHooks hooks) const {
  // The title as the settings hold it when the run is made: the window's default one, for
  // a window made before its settings are read.
  hooks.ProgramTitle = session_.Settings().ProgramTitle;
  return hooks;
}

}  // namespace app
