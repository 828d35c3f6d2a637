// SPDX-License-Identifier: MIT
#include "cli/ConsoleDialogs.h"

#include <unistd.h>

#include <array>
#include <cstdio>
#include <iostream>
#include <string_view>

#include "cli/Output.h"

namespace cli {
namespace {

using Reply = ConsoleDialogs::Reply;

// A line typed on the terminal, read as it always has been: the first letter decides.
Reply TerminalReply(const std::string& line) {
  if (line.empty()) return Reply::kDefault;
  if (line[0] == 'y' || line[0] == 'Y') return Reply::kYes;
  if (line[0] == 'c' || line[0] == 'C') return Reply::kCancel;
  return Reply::kNo;
}

// A line of a script's answers (UTF-8): whole words only, so that a stray line never
// passes for a Yes.
Reply TypedReply(std::string line) {
  const size_t first = line.find_first_not_of(" \t\r");
  const size_t last = line.find_last_not_of(" \t\r");
  line = first == std::string::npos ? std::string() : line.substr(first, last - first + 1);
  for (char& c : line) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  struct Word {
    std::string_view word;
    Reply reply;
  };
  static constexpr std::array kWords{
      Word{"y", Reply::kYes},    Word{"yes", Reply::kYes},       Word{"はい", Reply::kYes},
      Word{"n", Reply::kNo},     Word{"no", Reply::kNo},         Word{"いいえ", Reply::kNo},
      Word{"c", Reply::kCancel}, Word{"cancel", Reply::kCancel}, Word{"キャンセル", Reply::kCancel},
  };
  if (line.empty()) return Reply::kDefault;
  for (const Word& word : kWords) {
    if (line == word.word) return word.reply;
  }
  return Reply::kNo;
}

}  // namespace

void ConsoleDialogs::ShowMessageBox(const std::string& text, platform::MessageType) {
  PrintLine(stderr, text);
}

bool ConsoleDialogs::AskYesNo(const std::string& text, platform::MessageType, platform::DefaultAnswer defaultAnswer) {
  return Ask(text, defaultAnswer);
}

bool ConsoleDialogs::AskYesCancel(const std::string& text, platform::MessageType,
                                  platform::DefaultAnswer defaultAnswer) {
  return Ask(text, defaultAnswer);
}

platform::DialogAnswer ConsoleDialogs::AskYesNoCancel(const std::string& text, platform::MessageType) {
  switch (ReadReply(text, "[Y/n/c]")) {
    case Reply::kDefault:
    case Reply::kYes:
      return platform::DialogAnswer::kYes;
    case Reply::kCancel:
      return platform::DialogAnswer::kCancel;
    case Reply::kNone:
    case Reply::kNo:
      break;
  }
  return platform::DialogAnswer::kNo;
}

std::optional<std::string> ConsoleDialogs::ChooseOpenFile(const std::string&, const std::string&, const std::string&) {
  return std::nullopt;
}

std::optional<std::string> ConsoleDialogs::ChooseSaveFile(const std::string&, const std::string&, const std::string&,
                                                          const std::string&) {
  return std::nullopt;
}

std::optional<std::string> ConsoleDialogs::ChooseFolder(const std::string&, const std::string&) {
  return std::nullopt;
}

bool ConsoleDialogs::Ask(const std::string& text, platform::DefaultAnswer defaultAnswer) {
  const bool defaultNo = defaultAnswer == platform::DefaultAnswer::kNo;
  const Reply reply = ReadReply(text, defaultNo ? "[y/N]" : "[Y/n]");
  if (reply == Reply::kDefault) return !defaultNo;
  return reply == Reply::kYes;
}

ConsoleDialogs::Reply ConsoleDialogs::ReadReply(const std::string& text, const char* choices) {
  // The question and the answer it got are printed alike for every source of answers, so
  // that a log shows what was decided.
  const auto printAnswered = [&](const std::string& answer) {
    PrintLine(stderr, text);
    std::fprintf(stderr, "%s %s\n", choices, answer.c_str());
  };
  if (answers_ == ConsoleAnswers::kAllYes) {
    printAnswered("y");
    return Reply::kYes;
  }
  std::string answer;
  if (::isatty(STDIN_FILENO)) {
    PrintLine(stderr, text);
    std::fprintf(stderr, "%s ", choices);
    std::fflush(stderr);
    if (!std::getline(std::cin, answer)) return Reply::kNone;
    return TerminalReply(answer);
  }
  if (!std::getline(std::cin, answer)) {
    // Some questions are asked again until they are answered Yes; without anyone to
    // answer, the same text once is enough.
    if (text != lastUnanswered_) PrintLine(stderr, text);
    lastUnanswered_ = text;
    return Reply::kNone;
  }
  printAnswered(answer);
  return TypedReply(answer);
}

}  // namespace cli
