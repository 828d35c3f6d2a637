// SPDX-License-Identifier: MIT
#include "shell/ViewSecurity.h"

namespace shell {

ViewSecurity SecurityFor(const settings::Settings& settings, bool showsSummary) {
  if (showsSummary) {
    return {.Scripts = !settings.ListNoScript,
            .Frames = !settings.ListNoFrame,
            .Video = !settings.ListNoVideo,
            .Sound = !settings.ListNoSound,
            .Images = !settings.ListNoImage};
  }
  if (settings.SecureMode) {
    return {.Scripts = !settings.SecNoScript,
            .Frames = !settings.SecNoFrame,
            .Video = !settings.SecNoVideo,
            .Sound = !settings.SecNoSound,
            .Images = !settings.SecNoImage};
  }
  return {};
}

}  // namespace shell
