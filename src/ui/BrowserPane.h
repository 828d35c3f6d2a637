// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>

#include "present/PageDisplay.h"
#include "shell/BrowserTabsHost.h"
#include "shell/HeadlinePageCommands.h"
#include "shell/SummaryDisplay.h"
#include "ui/HeadlineBrowserPane.h"

class QWebEngineProfile;
class QWebEngineView;

namespace ui {

class PageSchemeHandler;
class WebTabs;

// The browser pane of the main window: the browser tabs, the generated headline page
// they load from the page scheme, and what the headline list, the page commands and the
// tab list ask of the view in front and of the window around it.
class BrowserPane : public QWidget,
                    public HeadlineBrowserPane,
                    public shell::SummaryPageServer,
                    public shell::PageCommandsHost,
                    public shell::BrowserTabsHost {
  Q_OBJECT

 public:
  // `systemFolder`: the data folder's system/ folder, whose files the pages may show.
  BrowserPane(QWebEngineProfile& profile, const settings::Settings& settings, const std::string& systemFolder,
              QWidget* parent = nullptr);
  ~BrowserPane() override;

  WebTabs& Tabs() const { return *tabs_; }
  // The tab list and the pages' display, once the controller behind the window exists.
  void Attach(shell::BrowserTabs& tabs, present::PageDisplay& display);
  QWebEngineView* ActiveView() const;
  // The channel tree, whose focus the tab list asks about.
  void SetTree(QWidget* tree) { tree_ = tree; }
  // Closes every tab for the end of the program.
  void CloseAllTabs();

  // HeadlineBrowserPane
  bool ShowsSummary() const override;
  bool Busy() const override;
  bool ShowsPage(int64_t pageId) const override;
  int ClientHeight() const override;
  int ScrollTop() const override;
  void ScrollBy(int pixels) override;

  // shell::SummaryPageServer
  void ServeSummaryPage(const std::string& html) override;

  // shell::PageCommandsHost and shell::BrowserTabsHost
  bool ShiftHeld() const override;
  bool CtrlHeld() const override;
  // shell::PageCommandsHost
  bool AltHeld() const override;
  bool ActiveViewShowsSummary() const override { return ShowsSummary(); }
  void SetPageImage(const std::string& name, const std::string& only, const std::string& source) override;
  void OpenOptionMenu(store::TSiteRecord& item) override;
  void OpenAddChannel(const std::string& address) override;
  std::vector<std::string> DiscoveredFeeds(shell::ViewId view) const override;

  // shell::BrowserTabsHost
  bool TreeHasFocus() const override;
  void LeaveListMode() override;

 signals:
  // The page's option link was clicked for this headline.
  void OptionMenuRequested(store::TSiteRecord* item);
  // A "feed:" link or a feed the page announced: the registration of a channel.
  void AddChannelRequested(const QString& address);
  // The list mode button was pressed while list mode is on: back to standard mode.
  void ListModeLeft();

 private:
  const settings::Settings& settings_;
  QPointer<QWidget> tree_;
  WebTabs* tabs_ = nullptr;
  PageSchemeHandler* handler_ = nullptr;
  shell::BrowserTabs* tabList_ = nullptr;
  present::PageDisplay* display_ = nullptr;
};

}  // namespace ui
