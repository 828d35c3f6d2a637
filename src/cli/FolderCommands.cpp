// SPDX-License-Identifier: MIT
// The commands about the data folder itself: where it is, and its built-in files.
#include <string>
#include <vector>

#include "app/Resources.h"
#include "cli/CommandError.h"
#include "cli/Commands.h"
#include "cli/ConsoleDialogs.h"
#include "cli/Output.h"
#include "text/Literal.h"

namespace cli {

int RunDataFolder(const CommandContext& context, const CommandArguments&) {
  const std::string folder = DataFolderFor(context);
  WriteBytes(stdout, folder);
  WriteBytes(stdout, "\n");
  return kExitOk;
}

int RunInit(const CommandContext& context, const CommandArguments& arguments) {
  const std::string dataFolder = DataFolderFor(context);
  ConsoleDialogs dialogs(AnswersFor(context));
  const std::vector<std::string> failed =
      app::ExtractResources(context.programFolder, dataFolder, arguments.Has("--update"), dialogs);
  for (const std::string& path : failed) PrintLine(stderr, text::J("書き込めませんでした: ") + PathText(path));
  if (!failed.empty()) return kExitFailed;
  PrintLine(stdout, text::J("組み込みのファイルを書き出しました: ") + PathText(dataFolder));
  return kExitOk;
}

}  // namespace cli
