// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "platform/Dialogs.h"

namespace cli {

// Passes every message and question on to other dialogs. A command whose command line
// already answers one question derives from it and takes only that question.
class ForwardingDialogs : public platform::Dialogs {
 public:
  explicit ForwardingDialogs(platform::Dialogs& next) : next_(next) {}

  void ShowMessageBox(const std::string& text, platform::MessageType type) override {
    next_.ShowMessageBox(text, type);
  }
  bool AskYesNo(const std::string& text, platform::MessageType type, platform::DefaultAnswer defaultAnswer) override {
    return next_.AskYesNo(text, type, defaultAnswer);
  }
  bool AskYesCancel(const std::string& text, platform::MessageType type,
                    platform::DefaultAnswer defaultAnswer) override {
    return next_.AskYesCancel(text, type, defaultAnswer);
  }
  platform::DialogAnswer AskYesNoCancel(const std::string& text, platform::MessageType type) override {
    return next_.AskYesNoCancel(text, type);
  }
  std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                            const std::string& folder) override {
    return next_.ChooseOpenFile(title, filter, folder);
  }
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& folder, const std::string& fileName) override {
    return next_.ChooseSaveFile(title, filter, folder, fileName);
  }
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string& folder) override {
    return next_.ChooseFolder(title, folder);
  }
  void Beep() override { next_.Beep(); }

 private:
  platform::Dialogs& next_;
};

}  // namespace cli
