// SPDX-License-Identifier: MIT
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include "platform/CodePage.h"

namespace testsupport {

void ScriptedDialogs::ShowMessageBox(const std::string& text, platform::MessageType type) {
  shown.push_back({"message", platform::Cp932ToUtf8(text), type, false});
}

bool ScriptedDialogs::AskYesNo(const std::string& text, platform::MessageType type,
                               platform::DefaultAnswer defaultAnswer) {
  shown.push_back({"yesno", platform::Cp932ToUtf8(text), type, defaultAnswer == platform::DefaultAnswer::kNo});
  const platform::DialogAnswer answer = NextAnswer(text);
  if (answer == platform::DialogAnswer::kCancel) {
    ADD_FAILURE() << "Cancel scripted for a Yes/No question: " << platform::Cp932ToUtf8(text);
  }
  return answer == platform::DialogAnswer::kYes;
}

bool ScriptedDialogs::AskYesCancel(const std::string& text, platform::MessageType type,
                                   platform::DefaultAnswer defaultAnswer) {
  shown.push_back({"yescancel", platform::Cp932ToUtf8(text), type, defaultAnswer == platform::DefaultAnswer::kNo});
  return NextAnswer(text) == platform::DialogAnswer::kYes;
}

platform::DialogAnswer ScriptedDialogs::AskYesNoCancel(const std::string& text, platform::MessageType type) {
  shown.push_back({"yesnocancel", platform::Cp932ToUtf8(text), type, false});
  return NextAnswer(text);
}

std::optional<std::string> ScriptedDialogs::ChooseOpenFile(const std::string& title, const std::string&,
                                                           const std::string&) {
  return NextFile("open", title);
}

std::optional<std::string> ScriptedDialogs::ChooseSaveFile(const std::string& title, const std::string&,
                                                           const std::string&, const std::string&) {
  return NextFile("save", title);
}

std::optional<std::string> ScriptedDialogs::ChooseFolder(const std::string& title, const std::string&) {
  return NextFile("folder", title);
}

platform::DialogAnswer ScriptedDialogs::NextAnswer(const std::string& text) {
  if (answers_.empty()) {
    ADD_FAILURE() << "unexpected question: " << platform::Cp932ToUtf8(text);
    return platform::DialogAnswer::kNo;
  }
  const platform::DialogAnswer answer = answers_.front();
  answers_.pop_front();
  return answer;
}

std::optional<std::string> ScriptedDialogs::NextFile(const std::string& kind, const std::string& title) {
  shown.push_back({kind, platform::Cp932ToUtf8(title), platform::MessageType::kInformation, false});
  if (files_.empty()) {
    ADD_FAILURE() << "unexpected " << kind << " chooser: " << platform::Cp932ToUtf8(title);
    return std::nullopt;
  }
  auto answer = files_.front();
  files_.pop_front();
  return answer;
}

}  // namespace testsupport
