// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

namespace platform {

// The kind of a message box, which decides its icon.
enum class MessageType {
  kWarning = 0,
  kError = 1,
  kInformation = 2,
  kConfirmation = 3,
};

// The button that answered a question with Yes, No and Cancel.
enum class DialogAnswer { kYes, kNo, kCancel };

// The button of a Yes/No question that Enter presses: No where going on by mistake would
// cost the user something.
enum class DefaultAnswer { kYes, kNo };

// Every message and question the program shows goes through here, with the program's
// title as the caption. Texts are code page 932. The desktop program shows message
// boxes; tests answer from a script and check the texts.
class Dialogs {
 public:
  virtual ~Dialogs() = default;

  // A message with an OK button.
  virtual void ShowMessageBox(const std::string& text, MessageType type) = 0;

  // Yes and No; true only for Yes. `defaultAnswer` is the default button.
  virtual bool AskYesNo(const std::string& text, MessageType type, DefaultAnswer defaultAnswer) = 0;

  // Yes and Cancel; true only for Yes. `defaultAnswer` is the default button, where kNo
  // stands for Cancel.
  virtual bool AskYesCancel(const std::string& text, MessageType type, DefaultAnswer defaultAnswer) = 0;

  // Yes, No and Cancel, Yes the default button. Closing the question without a button
  // is Cancel.
  virtual DialogAnswer AskYesNoCancel(const std::string& text, MessageType type) = 0;

  // File and folder choosers. `filter` is a list like "OPML (*.opml)|*.opml|All (*)|*".
  // An empty result means the user cancelled.
  virtual std::optional<std::string> ChooseOpenFile(const std::string& title, const std::string& filter,
                                                    const std::string& folder) = 0;
  virtual std::optional<std::string> ChooseSaveFile(const std::string& title, const std::string& filter,
                                                    const std::string& folder, const std::string& fileName) = 0;
  virtual std::optional<std::string> ChooseFolder(const std::string& title, const std::string& folder) = 0;

  // The short warning sound of a failed step that does not deserve a message.
  virtual void Beep() {}
};

}  // namespace platform
