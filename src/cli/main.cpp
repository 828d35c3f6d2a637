// SPDX-License-Identifier: MIT
// plover-cli: the headless front end. It finds the data folder exactly as the desktop
// program does and works on it without a window.
#include <exception>
#include <span>
#include <string>
#include <vector>

#include "app/DataFolder.h"
#include "cli/Arguments.h"
#include "cli/CommandError.h"
#include "cli/Commands.h"
#include "cli/Output.h"
#include "text/Literal.h"

namespace {

using cli::Command;
using cli::CommandError;

int Run(const std::vector<std::string>& arguments, const Command*& command) {
  const cli::Invocation invocation = cli::ReadInvocation(arguments);
  const std::vector<std::string>& words = invocation.words;
  if (words.empty() || words[0] == "--help" || words[0] == "-h") {
    cli::PrintGeneralUsage(stdout);
    return cli::kExitOk;
  }
  command = cli::FindCommand(words[0]);
  if (command == nullptr) {
    throw CommandError(text::J("不明なコマンドです: ") + cli::PathText(words[0]), cli::kExitUsage);
  }
  const cli::CommandArguments commandArguments =
      cli::ReadCommandArguments(std::span<const std::string>(words).subspan(1), command->options, command->maxOperands);
  if (commandArguments.help) {
    cli::PrintCommandUsage(stdout, *command);
    return cli::kExitOk;
  }
  const cli::CommandContext context{invocation, app::RunningProgramFolder()};
  return command->run(context, commandArguments);
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const Command* command = nullptr;
  try {
    return Run(arguments, command);
  } catch (const CommandError& error) {
    cli::PrintLine(stderr, error.what());
    if (error.ExitStatus() == cli::kExitUsage) {
      cli::PrintLine(stderr, "");
      if (command != nullptr) {
        cli::PrintCommandUsage(stderr, *command);
      } else {
        cli::PrintGeneralUsage(stderr);
      }
    }
    return error.ExitStatus();
  } catch (const std::exception&) {
    cli::PrintLine(stderr, text::J("予期しないエラーが発生しました。"));
    return cli::kExitFailed;
  }
}
