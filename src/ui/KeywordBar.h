// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QComboBox;
class QMainWindow;

namespace app {
class KeywordBox;
}
namespace platform {
class Dialogs;
}

namespace ui {

// The keyword box above the headline list with its toggle. The box keeps nothing itself:
// the keyword box controller holds the text, the history and the toggle, and the box
// shows them after every change.
class KeywordBar : public QObject {
  Q_OBJECT

 public:
  KeywordBar(QMainWindow& window, app::KeywordBox& box);

  QComboBox& Box() const { return *keywordBox_; }
  // The box's history, newest first.
  std::vector<std::string> History() const;
  // Asks whether to reset the histories of the keyword box and, through
  // `clearAddressHistory`, of the address box.
  void ResetHistories(platform::Dialogs& dialogs, const std::function<void()>& clearAddressHistory);

 private:
  void Show();

  app::KeywordBox& box_;
  QComboBox* keywordBox_ = nullptr;   // CB_Keyword
  QAction* keywordToggle_ = nullptr;  // SB_Keyword
};

}  // namespace ui
