// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "platform/Dialogs.h"

namespace cli {

// Messages and questions on the terminal. Texts arrive as code page 932 and are printed
// as UTF-8 on the standard error stream. A question is answered from the standard input
// when it is a terminal (an empty line takes the default button, the end of the input is
// No); otherwise the answer is No, so that nothing is done unasked, and a question
// repeated word for word is printed only once.
class ConsoleDialogs : public platform::Dialogs {
 public:
  void ShowMessageBox(const std::string& text, platform::MessageType type) override;
  bool AskYesNo(const std::string& text, platform::MessageType type, bool defaultNo) override;
  bool AskYesCancel(const std::string& text, platform::MessageType type, bool defaultNo) override;
  platform::DialogAnswer AskYesNoCancel(const std::string& text, platform::MessageType type) override;
  std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                            const std::string& folder) override;
  std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                            const std::string& folder, const std::string& fileName) override;
  std::optional<std::string> ChooseFolder(const std::string& title, const std::string& folder) override;

 private:
  bool Ask(const std::string& text, const char* choices, bool defaultNo);
  // The line typed in answer; none without a terminal or at the end of the input.
  std::optional<std::string> ReadReply(const std::string& text, const char* choices);

  std::string lastUnanswered_;  // the question last answered No for want of a terminal
};

}  // namespace cli
