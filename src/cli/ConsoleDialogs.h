// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "platform/Dialogs.h"

namespace cli {

// Where the answers to the questions come from.
enum class ConsoleAnswers {
  kTyped,   // typed on the terminal, or read line by line from the standard input
  kAllYes,  // "--yes": every question is answered Yes
};

// Messages and questions on the terminal. Texts arrive as code page 932 and are printed
// as UTF-8 on the standard error stream.
//
// On a terminal a question waits for a typed line: an empty line takes the default button,
// a line starting with "y" is Yes, the end of the input is No. Without a terminal the
// answer is read from the standard input, one line a question, so that a script can
// answer: "y", "yes" or "はい" is Yes, "n", "no" or "いいえ" is No, an empty line takes the
// default button, and anything else is No. The end of the input is No, so that nothing is
// done unasked, and a question repeated word for word is then printed only once. With
// kAllYes nothing is read and every question is answered Yes.
class ConsoleDialogs : public platform::Dialogs {
 public:
  explicit ConsoleDialogs(ConsoleAnswers answers = ConsoleAnswers::kTyped) : answers_(answers) {}

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

  // What an answer given to a question means.
  enum class Reply { kNone, kDefault, kYes, kNo, kCancel };

 private:
  bool Ask(const std::string& text, platform::DefaultAnswer defaultAnswer);
  // The reply to a question offering `choices` (like "[y/N]"); kNone at the end of the
  // input.
  Reply ReadReply(const std::string& text, const char* choices);

  ConsoleAnswers answers_;
  std::string lastUnanswered_;  // the question last answered No for want of an answer
};

}  // namespace cli
