// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "platform/Dialogs.h"

namespace platform {

// Dialogs for work that has no user to ask (benchmarks, fuzzing, batch runs): nothing is
// shown, every question is answered No (or Cancel) and every chooser is cancelled, which
// is the answer that changes least.
class SilentDialogs : public Dialogs {
 public:
  void ShowMessageBox(const std::string&, MessageType) override {}
  bool AskYesNo(const std::string&, MessageType, DefaultAnswer) override { return false; }
  bool AskYesCancel(const std::string&, MessageType, DefaultAnswer) override { return false; }
  DialogAnswer AskYesNoCancel(const std::string&, MessageType) override { return DialogAnswer::kCancel; }
  std::optional<std::string> ChooseOpenFile(const std::string&, const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseSaveFile(const std::string&, const std::string&, const std::string&,
                                            const std::string&) override {
    return std::nullopt;
  }
  std::optional<std::string> ChooseFolder(const std::string&, const std::string&) override { return std::nullopt; }
};

}  // namespace platform
