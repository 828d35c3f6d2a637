// SPDX-License-Identifier: MIT
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace testsupport {

// Answers questions from a script and keeps every text shown, in UTF-8 for readable
// test failures. A question without a scripted answer fails the test.
class ScriptedDialogs : public platform::Dialogs {
 public:
  struct Shown {
    std::string kind;  // "message", "yesno", "yescancel", "yesnocancel", "open", "save", "folder"
    std::string text;  // UTF-8
    platform::MessageType type;
    bool defaultNo;  // No was the default button
  };

  // Queues the answer to the next question: Yes or No (No is the Cancel of AskYesCancel).
  void Answer(bool yes) { answers_.push_back(yes ? platform::DialogAnswer::kYes : platform::DialogAnswer::kNo); }
  // Queues any of the three answers; Cancel fails the test when it answers AskYesNo,
  // which has no such button.
  void Answer(platform::DialogAnswer answer) { answers_.push_back(answer); }
  // Queues the answer to the next file or folder chooser; empty = cancelled.
  void AnswerFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }

  void ShowMessageBox(const std::string& text, platform::MessageType type) override;
  bool AskYesNo(const std::string& text, platform::MessageType type, platform::DefaultAnswer defaultAnswer) override;
  bool AskYesCancel(const std::string& text, platform::MessageType type,
                    platform::DefaultAnswer defaultAnswer) override;
  platform::DialogAnswer AskYesNoCancel(const std::string& text, platform::MessageType type) override;
  std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                            const std::string& folder) override;
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& folder, const std::string& fileName) override;
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string& folder) override;
  void Beep() override { ++beeps; }

  std::vector<Shown> shown;
  int beeps = 0;
  size_t UnusedAnswers() const { return answers_.size() + files_.size(); }

 private:
  platform::DialogAnswer NextAnswer(const std::string& text);
  std::optional<std::string> NextFile(const std::string& kind, const std::string& title);
  std::deque<platform::DialogAnswer> answers_;
  std::deque<std::optional<std::string>> files_;
};

}  // namespace testsupport
