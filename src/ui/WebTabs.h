// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <map>
#include <memory>
#include <set>
#include <string>

#include "settings/Settings.h"
#include "shell/BrowserTabsView.h"

class QStackedWidget;
class QTabBar;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineView;

namespace shell {
class BrowserTabs;
}

namespace ui {

class WebPage;

// The browser area on Qt WebEngine: a row of tabs over a stack of web views, one per tab.
// The tab list below the window decides what every tab shows; this only carries out what
// it is told and reports each view's events back to it.
class WebTabs : public QWidget, public shell::BrowserTabsView {
  Q_OBJECT

 public:
  WebTabs(QWebEngineProfile& profile, const settings::Settings& settings, QWidget* parent = nullptr);
  ~WebTabs() override;

  // The tab list the views report to. Set once, before the first view exists.
  void SetTabs(shell::BrowserTabs* tabs) { tabs_ = tabs; }

  QWebEngineView* View(shell::ViewId view) const;
  QWebEngineView* ActiveView() const;
  QTabBar& TabBar() const { return *bar_; }
  // Whether the view is loading a page.
  bool Loading(shell::ViewId view) const { return loading_.count(view) != 0; }

  // shell::BrowserTabsView
  void CreateView(shell::ViewId view) override;
  void DestroyView(shell::ViewId view) override;
  void DetachView(shell::ViewId view) override;
  void ShowView(shell::ViewId view) override;
  void FocusView(shell::ViewId view) override;
  void Navigate(shell::ViewId view, const std::string& address, int flags) override;
  void Stop(shell::ViewId view) override;
  std::string Location(shell::ViewId view) const override;
  void ApplySecurityOptions(shell::ViewId view) override;
  void InsertTab(int index, shell::ViewId view, const std::string& caption) override;
  void RemoveTab(int index) override;
  void MoveTab(int from, int to) override;
  void SetTabCaption(int index, const std::string& caption) override;
  void SetTabLocked(int index, bool locked) override;
  void SetActiveTab(int index) override;
  void SetTabRowVisible(bool visible) override;
  void SetTabRowMultiLine(bool multiLine) override;
  void ShowTabBehaviour(settings::TabBehaviour behaviour) override;
  void SetWindowCaption(const std::string& caption) override;
  void SetAddressText(const std::string& address) override;
  void SetNavigationEnabled(bool back, bool forward, bool refresh) override;
  void ResetProgress() override {}
  void SetNavigateStatus(const std::string& text) override;
  void SetBusyAnimation(bool running) override;
  void ShowFeedFound(int state, uint32_t rgb, const std::string& hint, bool feedIcon) override;

 signals:
  void WindowCaptionChanged(const QString& caption);
  void AddressChanged(const QString& address);
  void NavigationEnabled(bool back, bool forward, bool refresh);
  void NavigateStatusChanged(const QString& text);
  void BusyChanged(bool running);
  // The active tab's page offers feeds (or not): the address bar's colour and hint, and
  // whether the feed icon shows.
  void FeedFoundChanged(int state, const QColor& colour, const QString& hint, bool feedIcon);

 private:
  void BindEvents(shell::ViewId view, WebPage* page);
  // Reads the feeds a loaded page offers and hands them to the tab list.
  void FindFeeds(shell::ViewId view, QWebEnginePage* page);
  void TabBarClicked(int index, Qt::MouseButton button, bool doubleClick);

  QWebEngineProfile& profile_;
  const settings::Settings& settings_;
  QTabBar* bar_ = nullptr;
  QStackedWidget* stack_ = nullptr;
  shell::BrowserTabs* tabs_ = nullptr;
  bool draggedMove_ = false;
  std::map<shell::ViewId, QPointer<QWebEngineView>> views_;
  std::set<shell::ViewId> loading_;
};

}  // namespace ui
