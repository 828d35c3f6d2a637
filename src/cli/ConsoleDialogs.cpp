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
  if (!::isatty(STDIN_FILENO)) {
    // Some questions are asked again until they are answered Yes; without anyone to
    // answer, the same text once is enough.
    if (text != lastUnanswered_) PrintLine(stderr, text);
    lastUnanswered_ = text;
    return false;
  }
  PrintLine(stderr, text);
  std::fprintf(stderr, "%s ", choices);
  std::fflush(stderr);
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  if (answer.empty()) return !defaultNo;
  return answer[0] == 'y' || answer[0] == 'Y';
}

}  // namespace cli
