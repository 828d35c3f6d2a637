// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdio>
#include <span>
#include <string>
#include <string_view>

#include "cli/Arguments.h"
#include "cli/ConsoleDialogs.h"

namespace cli {

// What every command is given.
struct CommandContext {
  const Invocation& invocation;
  std::string programFolder;  // with a trailing "/"
};

// One command of plover-cli.
struct Command {
  std::string_view name;
  std::string_view summary;  // one line for the general usage (UTF-8)
  std::string_view usage;    // the text of "plover-cli <name> --help" (UTF-8, lines joined by "\n")
  std::span<const CommandOption> options;
  size_t maxOperands;
  int (*run)(const CommandContext& context, const CommandArguments& arguments);
};

// Every command, in the order the general usage lists them.
std::span<const Command> Commands();

// The command of that name, or nullptr.
const Command* FindCommand(std::string_view name);

// The general usage: the commands and the options every command takes.
void PrintGeneralUsage(std::FILE* stream);

// A command's own usage.
void PrintCommandUsage(std::FILE* stream, const Command& command);

// The commands themselves.
int RunDataFolder(const CommandContext& context, const CommandArguments& arguments);
int RunInit(const CommandContext& context, const CommandArguments& arguments);
int RunList(const CommandContext& context, const CommandArguments& arguments);
int RunImportOpml(const CommandContext& context, const CommandArguments& arguments);
int RunExportOpml(const CommandContext& context, const CommandArguments& arguments);
int RunParse(const CommandContext& context, const CommandArguments& arguments);
int RunRender(const CommandContext& context, const CommandArguments& arguments);
int RunAdd(const CommandContext& context, const CommandArguments& arguments);
int RunSearch(const CommandContext& context, const CommandArguments& arguments);
int RunMark(const CommandContext& context, const CommandArguments& arguments);

// Where the command's questions are answered: "--yes" answers every one.
ConsoleAnswers AnswersFor(const CommandContext& context);

// The data folder of the command: "--data" made absolute, or the folder plover.drv names,
// as the desktop program finds it. With a trailing "/".
std::string DataFolderFor(const CommandContext& context);

}  // namespace cli
