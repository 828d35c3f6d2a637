// SPDX-License-Identifier: MIT
#include "cli/Arguments.h"

#include "cli/CommandError.h"
#include "cli/Output.h"
#include "text/Literal.h"

namespace cli {
namespace {

const CommandOption* FindOption(std::span<const CommandOption> options, std::string_view name) {
  for (const CommandOption& option : options) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

[[noreturn]] void UnknownOption(const std::string& word) {
  throw CommandError(text::J("不明なオプションです: ") + PathText(word), kExitUsage);
}

[[noreturn]] void MissingValue(std::string_view name) {
  throw CommandError(std::string(name) + text::J(" には値を指定してください。"), kExitUsage);
}

}  // namespace

Invocation ReadInvocation(const std::vector<std::string>& arguments) {
  Invocation invocation;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    if (argument == "--data") {
      if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        throw CommandError(text::J("--data にはフォルダを指定してください。"), kExitUsage);
      }
      invocation.dataFolder = arguments[++i];
    } else if (argument.starts_with("--data=")) {
      if (argument.size() == 7) throw CommandError(text::J("--data にはフォルダを指定してください。"), kExitUsage);
      invocation.dataFolder = argument.substr(7);
    } else if (argument == "--yes") {
      invocation.yes = true;
    } else {
      invocation.words.push_back(argument);
    }
  }
  return invocation;
}

std::optional<std::string> CommandArguments::Value(std::string_view name) const {
  const auto found = options.find(name);
  if (found == options.end()) return std::nullopt;
  return found->second;
}

CommandArguments ReadCommandArguments(std::span<const std::string> words, std::span<const CommandOption> options,
                                      size_t maxOperands) {
  CommandArguments read;
  bool operandsOnly = false;
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (operandsOnly || word == "-" || !word.starts_with("-")) {
      read.operands.push_back(word);
    } else if (word == "--") {
      operandsOnly = true;
    } else if (word == "--help" || word == "-h") {
      read.help = true;
    } else {
      const size_t equals = word.find('=');
      const std::string name = word.substr(0, equals);
      const CommandOption* option = FindOption(options, name);
      if (option == nullptr) UnknownOption(word);
      if (!option->takesValue) {
        if (equals != std::string::npos) UnknownOption(word);
        read.options[name] = std::string();
      } else if (equals != std::string::npos) {
        read.options[name] = word.substr(equals + 1);
      } else if (i + 1 < words.size()) {
        read.options[name] = words[++i];
      } else {
        MissingValue(name);
      }
    }
  }
  if (read.operands.size() > maxOperands && !read.help) {
    throw CommandError(text::J("余分な引数があります: ") + PathText(read.operands[maxOperands]), kExitUsage);
  }
  return read;
}

std::optional<size_t> ItemNumber(const CommandArguments& arguments) {
  const std::optional<std::string> value = arguments.Value("--item");
  if (!value) return std::nullopt;
  const bool digits =
      !value->empty() && value->size() <= 7 && value->find_first_not_of("0123456789") == std::string::npos;
  const size_t number = digits ? std::stoul(*value) : 0;
  if (number == 0) throw CommandError(text::J("記事の番号が正しくありません: ") + PathText(*value), kExitUsage);
  return number;
}

}  // namespace cli
