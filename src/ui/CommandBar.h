// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

#include "app/MainController.h"

class QAction;
class QActionGroup;
class QComboBox;
class QMainWindow;
class QMenu;

namespace ui {

class BrowserPane;
class ChannelTreeView;
class HeadlineListView;
class KeyboardModifiers;
class WindowState;

// A command of the window's menus by its caption without the access key, e.g. "名前の変更";
// nullptr when there is none.
QAction* FindCommand(const QWidget& window, const QString& caption);

// The main window's commands: its menus, the toolbars of the update, view-mode and filter
// buttons, and the context menus of the tree and the list. Each command hands the user's
// choice to the controllers; none decides anything itself. The commands that change data
// are withdrawn while an update run holds the window.
class CommandBar : public QObject {
  Q_OBJECT

 public:
  // What the commands work on besides the controller and its parts.
  struct Targets {
    QMainWindow& window;
    app::DataSession& session;
    const WindowState& state;
    ChannelTreeView& tree;
    HeadlineListView& list;
    BrowserPane& browser;
    const KeyboardModifiers& keys;
    QAction& addChannel;  // Tb_Add
    QAction& properties;  // SB_PropertySet
  };

  CommandBar(app::MainController& controller, const app::MainParts& parts, Targets targets);

  // The filter boxes and menu items show the list's filters, the mode buttons the view mode.
  void ShowFilters();
  void ShowViewMode();
  // An update run took the window (the update button stays usable in the background) or
  // gave it back.
  void Lock(bool background);
  void Unlock();
  void SetUpdateCaption(const QString& caption);

  QComboBox& ReadFilterBox() const { return *readFilterBox_; }
  QComboBox& DateFilterBox() const { return *dateFilterBox_; }

 signals:
  // "アドレス/検索バーの履歴のリセット(&D)...": the boxes' histories are to be reset.
  void historiesResetRequested();

 private:
  QAction* AddCommand(const char* caption, const std::function<void()>& run);
  void BuildActions();
  void BuildTreeActions();
  void BuildListActions();
  void BuildViewActions();
  void BuildMenus();
  void BuildFilterMenus(QMenu* view);
  void BuildStyleMenu(QMenu* view);
  void BuildToolbars();
  void BuildContextMenus();
  void OpenStyleDownloadPage();
  void ShowSortColumn(QMenu* menu);
  void EnableEditing(bool enabled);
  store::TTreeNodeExt* TreeNode() const;

  app::MainController& controller_;
  app::MainParts parts_;
  Targets targets_;
  QComboBox* readFilterBox_ = nullptr;
  QComboBox* dateFilterBox_ = nullptr;
  QActionGroup* readFilterGroup_ = nullptr;
  QActionGroup* dateFilterGroup_ = nullptr;
  QAction* modeActions_[3] = {};  // list, browser and view mode
  QList<QAction*> treeActions_;   // new group, new search item, rename, delete, sort
  QList<QAction*> belowActions_;  // the states of everything below the selected node
  QList<QAction*> rowActions_;    // the headline menu: the selected rows' states, then all rows'
  QList<QAction*> editActions_;   // withdrawn while an update run holds the window
  QAction* updateAction_ = nullptr;
  QAction* updateSelectionAction_ = nullptr;
  QAction* stopAction_ = nullptr;
  QAction* resumeAction_ = nullptr;
  QMenu* treeMenu_ = nullptr;
  QMenu* listMenu_ = nullptr;
};

}  // namespace ui
