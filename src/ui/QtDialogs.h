// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <string>

#include "platform/Dialogs.h"

class QWidget;

namespace ui {

// The program's messages and questions as Qt message boxes and file dialogs, captioned
// with the program's title and centred on the main window once there is one.
class QtDialogs : public platform::Dialogs {
 public:
  explicit QtDialogs(std::string title) : title_(std::move(title)) {}

  void SetParent(QWidget* parent) { parent_ = parent; }
  void SetTitle(std::string title) { title_ = std::move(title); }

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
  void Beep() override;

 private:
  bool Ask(const std::string& text, platform::MessageType type, bool defaultNo, bool cancelForNo);

  std::string title_;
  QWidget* parent_ = nullptr;
};

// The file-chooser filter of the program ("OPML (*.opml)|*.opml|All (*)|*": pairs of a
// caption and its patterns) as Qt writes it ("OPML (*.opml);;All (*)"). A caption that
// does not show its patterns gets them added in parentheses.
QString QtFileFilter(const std::string& filter);

}  // namespace ui
