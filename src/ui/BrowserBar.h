// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QColor;
class QComboBox;
class QLabel;
class QMainWindow;
class QMenu;
class QString;
class QWebEngineView;

namespace app {
class DataSession;
}
namespace shell {
class BrowserTabs;
}
namespace store {
struct TSiteRecord;
}

namespace ui {

class BrowserPane;

// The browser's commands around the browser pane: the tab menu (also the tab row's context
// menu), the browser toolbar, the address box with its history and the feed mark of the
// page in front, and the option menu of a headline on its page.
class BrowserBar : public QObject {
  Q_OBJECT

 public:
  BrowserBar(QMainWindow& window, app::DataSession& session, shell::BrowserTabs& tabs, BrowserPane& browser);

  QComboBox& AddressBox() const { return *addressBox_; }
  // The address box's entries, newest first.
  std::vector<std::string> AddressHistory() const { return addressHistory_; }
  void ClearAddressHistory();
  // The option menu of a headline, at the mouse.
  void ShowOptionMenu(store::TSiteRecord* item);

 private:
  QAction* AddCommand(const char* caption, const std::function<void()>& run);
  void BuildTabMenu();
  void BuildBrowserToolbar();
  void BuildAddressBox();
  void OpenTypedAddress(const std::string& address);
  void ShowFeedFound(const QColor& colour, const QString& hint, bool feedIcon);
  void ShowAddressHistory();

  QMainWindow& window_;
  app::DataSession& session_;
  shell::BrowserTabs& tabs_;
  BrowserPane& browser_;
  QMenu* tabMenu_ = nullptr;
  QComboBox* addressBox_ = nullptr;  // CB_Address
  std::vector<std::string> addressHistory_;
  QLabel* feedIcon_ = nullptr;
};

}  // namespace ui
