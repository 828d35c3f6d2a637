// SPDX-License-Identifier: MIT
#pragma once

#include "cli/Commands.h"

namespace cli {

// "plover-cli update": a full update run of the data folder, or with --resume the resume
// of every stopped subscription, then the summary, the error log and the save.
int RunUpdate(const CommandContext& context, const CommandArguments& arguments);

}  // namespace cli
