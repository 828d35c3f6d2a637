// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace cli {

// The command line split into the options every command takes and the rest.
struct Invocation {
  std::optional<std::string> dataFolder;  // from "--data DIR" or "--data=DIR"
  bool yes = false;                       // "--yes": every question is answered Yes
  std::vector<std::string> words;         // the command and its own arguments, in order
};

// Takes "--data" and "--yes" from anywhere on the line. Throws CommandError (usage) when
// "--data" lacks its folder.
Invocation ReadInvocation(const std::vector<std::string>& arguments);

// One option a command accepts.
struct CommandOption {
  std::string_view name;  // like "--into"
  bool takesValue;        // "--into NODE" or "--into=NODE"
};

// A command's own arguments, read against its options.
struct CommandArguments {
  std::map<std::string, std::string, std::less<>> options;  // name -> value ("" for a switch)
  std::vector<std::string> operands;
  bool help = false;  // "--help" or "-h" was given

  bool Has(std::string_view name) const { return options.find(name) != options.end(); }
  std::optional<std::string> Value(std::string_view name) const;
};

// Reads `words` (the arguments after the command's name). After "--" every word is an
// operand. Throws CommandError (usage) for an unknown option, an option without its value
// and more than `maxOperands` operands.
CommandArguments ReadCommandArguments(std::span<const std::string> words, std::span<const CommandOption> options,
                                      size_t maxOperands);

// "--item N": the number of an item in a headline list, counted from 1. Throws CommandError
// (usage) for anything but a number from 1.
std::optional<size_t> ItemNumber(const CommandArguments& arguments);

}  // namespace cli
