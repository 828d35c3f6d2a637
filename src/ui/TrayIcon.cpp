// SPDX-License-Identifier: MIT
#include "ui/TrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QStyle>
#include <QStyleHints>
#include <QSystemTrayIcon>

#include "settings/Settings.h"
#include "ui/QtText.h"
#include "ui/WindowState.h"

namespace ui {

TrayIcon::TrayIcon(const QIcon& icon, const WindowState& state, const settings::Settings& settings, QWidget* window)
    : QObject(window), state_(state), settings_(settings) {
  tray_ = new QSystemTrayIcon(icon, this);
  auto* menu = new QMenu(window);
  showAction_ = menu->addAction(J("表示(&V)"));
  connect(showAction_, &QAction::triggered, this, &TrayIcon::showClicked);
  menu->addSeparator();
  updateAction_ = menu->addAction(J("更新(&R)"));
  connect(updateAction_, &QAction::triggered, this, &TrayIcon::updateClicked);
  QAction* settingsAction = menu->addAction(J("設定(&S)..."));
  settingsAction->setEnabled(false);  // the settings dialog comes later
  menu->addSeparator();
  endAction_ = menu->addAction(J("終了(&X)"));
  connect(endAction_, &QAction::triggered, this, &TrayIcon::endClicked);
  connect(menu, &QMenu::aboutToShow, this, [this] { UpdateMenu(); });
  tray_->setContextMenu(menu);
  // A left click shows or hides the window, unless it completes a double click.
  auto* lastClick = new QElapsedTimer();
  connect(tray_, &QObject::destroyed, this, [lastClick] { delete lastClick; });
  connect(tray_, &QSystemTrayIcon::activated, this, [this, lastClick](QSystemTrayIcon::ActivationReason reason) {
    if (reason != QSystemTrayIcon::Trigger) return;
    const bool quick =
        lastClick->isValid() && lastClick->elapsed() < QGuiApplication::styleHints()->mouseDoubleClickInterval();
    lastClick->restart();
    if (!quick) emit showClicked();
  });
}

void TrayIcon::UpdateMenu() {
  showAction_->setText(state_.Minimised() ? J("表示(&V)") : J("閉じる(&C)"));
  endAction_->setText(settings::IsResident(settings_.TrayRefreshMode) ? J("常駐終了(&X)") : J("終了(&X)"));
  updateAction_->setEnabled(!state_.UiLocked());
}

void TrayIcon::Show(bool shown) {
  tray_->setVisible(shown && QSystemTrayIcon::isSystemTrayAvailable());
}

bool TrayIcon::Visible() const {
  return tray_->isVisible();
}

void TrayIcon::SetPicture(fetch::TrayPicture picture) {
  const QStyle::StandardPixmap icon = picture == fetch::TrayPicture::kAccess     ? QStyle::SP_BrowserReload
                                      : picture == fetch::TrayPicture::kNewItems ? QStyle::SP_MessageBoxInformation
                                                                                 : QStyle::SP_ComputerIcon;
  tray_->setIcon(QApplication::style()->standardIcon(icon));
}

void TrayIcon::SetTip(const std::string& tip) {
  tray_->setToolTip(ToQString(tip));
}

bool TrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
  if (!tray_->isVisible() || !QSystemTrayIcon::supportsMessages()) return false;
  tray_->showMessage(ToQString(title), ToQString(text));
  return true;
}

}  // namespace ui
