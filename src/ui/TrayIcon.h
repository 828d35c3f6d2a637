// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <string>

#include "fetch/UpdateRunView.h"

class QAction;
class QIcon;
class QSystemTrayIcon;
class QWidget;

namespace settings {
struct Settings;
}

namespace ui {

class WindowState;

// The notification-area icon with its menu: the picture and tip an update run gives it,
// the balloons of a run's summary, and the commands of its menu, which it hands on as
// signals. Without a notification area it stays hidden.
class TrayIcon : public QObject {
  Q_OBJECT

 public:
  // The icon's menu belongs to `window`.
  TrayIcon(const QIcon& icon, const WindowState& state, const settings::Settings& settings, QWidget* window);

  void Show(bool shown);
  bool Visible() const;
  void SetPicture(fetch::TrayPicture picture);
  void SetTip(const std::string& tip);
  // False when there is no icon that can show a balloon: the caller shows the text
  // elsewhere.
  bool ShowBalloon(const std::string& title, const std::string& text);

 signals:
  // "表示(&V)" / "閉じる(&C)", or a single click on the icon.
  void showClicked();
  void updateClicked();
  void endClicked();

 private:
  void UpdateMenu();

  const WindowState& state_;
  const settings::Settings& settings_;
  QSystemTrayIcon* tray_ = nullptr;
  QAction* showAction_ = nullptr;
  QAction* updateAction_ = nullptr;
  QAction* endAction_ = nullptr;
};

}  // namespace ui
