// SPDX-License-Identifier: MIT
#include "cli/ConsoleDialogs.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "cli/Output.h"

namespace cli {

void ConsoleDialogs::ShowMessageBox(const std::string& text, platform::MessageType) {
  PrintLine(stderr, text);
}

bool ConsoleDialogs::AskYesNo(const std::string& text, platform::MessageType, bool defaultNo) {
  return Ask(text, defaultNo ? "[y/N]" : "[Y/n]", defaultNo);
}

bool ConsoleDialogs::AskYesCancel(const std::string& text, platform::MessageType, bool defaultNo) {
  return Ask(text, defaultNo ? "[y/N]" : "[Y/n]", defaultNo);
}

platform::DialogAnswer ConsoleDialogs::AskYesNoCancel(const std::string& text, platform::MessageType) {
  const std::optional<std::string> reply = ReadReply(text, "[Y/n/c]");
  if (!reply) return platform::DialogAnswer::kNo;
  if (reply->empty() || (*reply)[0] == 'y' || (*reply)[0] == 'Y') return platform::DialogAnswer::kYes;
  if ((*reply)[0] == 'c' || (*reply)[0] == 'C') return platform::DialogAnswer::kCancel;
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

bool ConsoleDialogs::Ask(const std::string& text, const char* choices, bool defaultNo) {
  const std::optional<std::string> reply = ReadReply(text, choices);
  if (!reply) return false;
  if (reply->empty()) return !defaultNo;
  return (*reply)[0] == 'y' || (*reply)[0] == 'Y';
}

std::optional<std::string> ConsoleDialogs::ReadReply(const std::string& text, const char* choices) {
  if (!::isatty(STDIN_FILENO)) {
    // Some questions are asked again until they are answered Yes; without anyone to
    // answer, the same text once is enough.
    if (text != lastUnanswered_) PrintLine(stderr, text);
    lastUnanswered_ = text;
    return std::nullopt;
  }
  PrintLine(stderr, text);
  std::fprintf(stderr, "%s ", choices);
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return std::nullopt;
  return answer;
}

}  // namespace cli
