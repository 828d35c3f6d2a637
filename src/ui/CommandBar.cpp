// SPDX-License-Identifier: MIT
#include "ui/CommandBar.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>

#include "present/HeadlineColumns.h"
#include "settings/SaveAll.h"
#include "store/ItemStates.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelTreeView.h"
#include "ui/HeadlineListView.h"
#include "ui/KeyboardModifiers.h"
#include "ui/QtText.h"
#include "ui/WindowState.h"

namespace ui {
namespace {

// The caption without its access key and ellipsis: "削除(&D)..." → "削除".
QString BareCaption(QString caption) {
  const qsizetype key = caption.indexOf(QStringLiteral("(&"));
  if (key >= 0) caption.truncate(key);
  caption.remove(QStringLiteral("&"));
  if (caption.endsWith(QStringLiteral("..."))) caption.chop(3);
  return caption;
}

struct StateCommand {
  const char* caption;
  int action;
};

// The four state changes of the selected rows, of all rows and of everything below the
// selected node, in menu order.
constexpr StateCommand kRowCommands[] = {{"未読を［既読］に変更(&K)", store::kActionToRead},
                                         {"既読を［未読］に変更(&M)", store::kActionToUnread},
                                         {"［保護］に変更(&I)", store::kActionProtect},
                                         {"［保護］を解除(&W)", store::kActionUnprotect}};
constexpr StateCommand kAllRowCommands[] = {{"全ての未読を［既読］に変更(&A)...", store::kActionToRead},
                                            {"全ての既読を［未読］に変更(&E)...", store::kActionToUnread},
                                            {"全てを［保護］に変更(&H)...", store::kActionProtect},
                                            {"全ての[保護]を解除(&V)...", store::kActionUnprotect}};
constexpr StateCommand kBelowNodeCommands[] = {{"未読を［既読］に変更(&A)...", store::kActionToRead},
                                               {"既読を［未読］に変更(&E)...", store::kActionToUnread},
                                               {"［保護］に変更(&H)...", store::kActionProtect},
                                               {"［保護］を解除(&V)...", store::kActionUnprotect}};

// How long the style download page is given before the browser's own way of opening
// pages comes back, and how often it is looked at after that while it still loads.
constexpr int kStylePageFirstWaitMs = 300;
constexpr int kStylePageStepMs = 100;

constexpr const char* kReadFilterCaptions[] = {"全て", "既読", "未読", "保護"};
constexpr const char* kDateFilterCaptions[] = {"全ての日付", "２４時間以内", "３日以内", "１週間以内"};

// A filter box that is not on its first entry is coloured, so a narrowed list is noticed.
void MarkNarrowed(QComboBox* box) {
  box->setStyleSheet(box->currentIndex() > 0 ? QStringLiteral("QComboBox { background: #FFFFBE; }") : QString());
}

}  // namespace

QAction* FindCommand(const QWidget& window, const QString& caption) {
  for (QAction* action : window.findChildren<QAction*>()) {
    if (BareCaption(action->text()) == caption) return action;
  }
  return nullptr;
}

CommandBar::CommandBar(app::MainController& controller, const app::MainParts& parts, Targets targets)
    : QObject(&targets.window), controller_(controller), parts_(parts), targets_(targets) {
  BuildActions();
  BuildMenus();
  BuildToolbars();
  BuildContextMenus();
}

// The actions belong to the window, where its shortcuts work and FindCommand finds them.
QAction* CommandBar::AddCommand(const char* caption, const std::function<void()>& run) {
  auto* action = new QAction(J(caption), &targets_.window);
  connect(action, &QAction::triggered, this, [run] { run(); });
  return action;
}

store::TTreeNodeExt* CommandBar::TreeNode() const {
  return targets_.tree.CurrentNode();
}

void CommandBar::BuildActions() {
  updateAction_ =
      new QAction(targets_.window.style()->standardIcon(QStyle::SP_BrowserReload), J("更新"), &targets_.window);
  updateAction_->setShortcut(Qt::Key_F2);
  connect(updateAction_, &QAction::triggered, this, [this] { controller_.UpdateAll(fetch::RunSender::kUpdateButton); });
  updateSelectionAction_ =
      AddCommand("選択項目より下を更新(&A)", [this] { controller_.UpdateSelection(fetch::SelectionMode::kUpdate); });
  updateSelectionAction_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_F2));
  updateSelectionAction_->setIconText(J("選択更新"));
  stopAction_ = AddCommand("中止", [this] { controller_.UpdateSelection(fetch::SelectionMode::kStop); });
  resumeAction_ = AddCommand("購読", [this] { controller_.UpdateSelection(fetch::SelectionMode::kResume); });
  BuildTreeActions();
  BuildListActions();
  BuildViewActions();
}

void CommandBar::BuildTreeActions() {
  store::TreeEditor& editor = parts_.Editor;
  QAction* group = AddCommand("グループの追加(&T)", [this, &editor] { editor.CreateGroupNode(TreeNode(), false); });
  QAction* search = AddCommand("検索項目の追加(&S)", [this, &editor] { editor.CreateGroupNode(TreeNode(), true); });
  // Ctrl+A renames only while the tree has the focus; in the list it selects every row.
  QAction* rename = AddCommand("名前の変更(&C)", [this] { targets_.tree.StartRename(TreeNode()); });
  rename->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  rename->setShortcutContext(Qt::WidgetShortcut);
  targets_.tree.addAction(rename);
  QAction* remove = AddCommand("削除(&D)...", [this, &editor] { editor.DeleteNode(TreeNode()); });
  QAction* sort = AddCommand("ソート(&O)...", [this, &editor] { editor.SortGroup(TreeNode()); });
  treeActions_ = {group, search, rename, remove, sort};
  for (const StateCommand& command : kBelowNodeCommands) {
    const int action = command.action;
    belowActions_.push_back(AddCommand(command.caption, [this, action] { parts_.Headlines.MarkBelowNode(action); }));
  }
  editActions_ = treeActions_;
  editActions_.append(belowActions_);
  editActions_.push_back(&targets_.addChannel);
}

void CommandBar::BuildListActions() {
  present::HeadlineList& list = parts_.Headlines;
  // Held by pointer: the rows' captions read like those of the commands below a node.
  for (const StateCommand& command : kRowCommands) {
    const int action = command.action;
    rowActions_.push_back(AddCommand(command.caption, [&list, action] { list.MarkSelectedRows(action); }));
  }
  rowActions_.push_back(nullptr);  // a separator
  for (const StateCommand& command : kAllRowCommands) {
    const int action = command.action;
    rowActions_.push_back(AddCommand(command.caption, [&list, action] { list.MarkAllRows(action); }));
  }
  QAction* remove = AddCommand("記事の削除(&D)...", [&list] { list.DeleteSelectedRows(); });
  editActions_.push_back(remove);
  QAction* all = AddCommand("全て選択(&L)", [this] { targets_.list.selectAll(); });
  all->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
  all->setShortcutContext(Qt::WidgetShortcut);
  targets_.list.addAction(all);
  QAction* next = AddCommand("次の未読記事(&J)", [&list] { list.SeekNextUnread(true); });
  next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_J));
  next->setShortcutContext(Qt::WindowShortcut);
  targets_.window.addAction(next);
}

void CommandBar::BuildViewActions() {
  struct ModeCommand {
    const char* caption;
    Qt::Key key;
    int mode;
  };
  const ModeCommand modes[] = {{"リストモード(&G)", Qt::Key_G, app::kListMode},
                               {"ブラウザーモード(&J)", Qt::Key_J, app::kBrowserMode},
                               {"ビューモード(&M)", Qt::Key_M, app::kViewMode}};
  for (size_t i = 0; i < std::size(modes); ++i) {
    const int mode = modes[i].mode;
    QAction* action = AddCommand(modes[i].caption, [this, mode] { controller_.SwitchViewMode(mode); });
    action->setShortcut(QKeySequence(Qt::ALT | modes[i].key));
    action->setCheckable(true);
    targets_.window.addAction(action);
    modeActions_[i] = action;
  }
  // The filter keys move each filter on to its next choice.
  QAction* nextRead = AddCommand("次の既読状態フィルタ", [this] { controller_.CycleReadFilter(); });
  nextRead->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_K));
  targets_.window.addAction(nextRead);
  QAction* nextDate = AddCommand("次の日付フィルタ", [this] { controller_.CycleDateFilter(); });
  nextDate->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
  targets_.window.addAction(nextDate);
}

void CommandBar::BuildMenus() {
  QMenu* file = targets_.window.menuBar()->addMenu(J("ファイル(&F)"));
  QMenu* repair = file->addMenu(J("データの修復(&B)"));
  QAction* chosen = repair->addAction(J("データファイルを選択(&S)..."));
  connect(chosen, &QAction::triggered, this, [this] { controller_.RepairFromChosenBackup(); });
  QAction* automatic = repair->addAction(J("自動で修復(&A)..."));
  connect(automatic, &QAction::triggered, this, [this] { controller_.RepairFromBackups(); });
  connect(repair, &QMenu::aboutToShow, this, [this, chosen, automatic] {
    const bool available = !targets_.state.UiLocked() && controller_.RepairAvailable();
    chosen->setEnabled(available);
    automatic->setEnabled(available);
  });
  QAction* resetHistories = file->addAction(J("アドレス/検索バーの履歴のリセット(&D)..."));
  connect(resetHistories, &QAction::triggered, this, [this] { emit historiesResetRequested(); });
  file->addSeparator();
  QAction* end = file->addAction(J("終了(&X)"));
  connect(end, &QAction::triggered, this, [this] { controller_.EndProgram(); });

  QMenu* view = targets_.window.menuBar()->addMenu(J("表示(&V)"));
  for (QAction* mode : modeActions_) view->addAction(mode);
  view->addSeparator();
  BuildFilterMenus(view);
  BuildStyleMenu(view);
  view->addSeparator();
  QAction* reset = view->addAction(J("画面レイアウトのリセット(&L)..."));
  connect(reset, &QAction::triggered, this,
          [this] { settings::RequestLayoutReset(targets_.session.Dialogs(), targets_.session.SettingsState()); });

  QMenu* channel = targets_.window.menuBar()->addMenu(J("チャンネル(&C)"));
  channel->addAction(&targets_.addChannel);
  channel->addAction(&targets_.properties);
  channel->addSeparator();
  channel->addActions(treeActions_);
  QMenu* below = channel->addMenu(J("選択項目より下の既読状態(&K)"));
  below->addActions(belowActions_);
  channel->addSeparator();
  channel->addAction(updateSelectionAction_);
  channel->addAction(stopAction_);
  channel->addAction(resumeAction_);

  QMenu* headline = targets_.window.menuBar()->addMenu(J("ヘッドライン(&H)"));
  for (QAction* action : rowActions_) {
    if (action != nullptr) {
      headline->addAction(action);
    } else {
      headline->addSeparator();
    }
  }
  headline->addSeparator();
  headline->addAction(FindCommand(targets_.window, J("記事の削除")));
  headline->addAction(FindCommand(targets_.window, J("全て選択")));
  headline->addAction(FindCommand(targets_.window, J("次の未読記事")));

  QMenu* update = targets_.window.menuBar()->addMenu(J("更新(&U)"));
  QAction* all = update->addAction(J("全て更新(&N)"));
  connect(all, &QAction::triggered, this, [this] { controller_.UpdateAll(fetch::RunSender::kMenu); });
  update->addAction(updateSelectionAction_);
}

void CommandBar::BuildFilterMenus(QMenu* view) {
  QMenu* sort = view->addMenu(J("ソート(&O)"));
  for (int column = 0; column < present::kColumnCount; ++column) {
    const std::string caption = present::ColumnCaption(column);
    QAction* action = sort->addAction(caption.empty() ? J("既読状態") : ToQString(caption));
    action->setCheckable(true);
    action->setData(column);
    connect(action, &QAction::triggered, this, [this, column] { parts_.Headlines.SortByColumn(column); });
  }
  connect(sort, &QMenu::aboutToShow, this, [this, sort] { ShowSortColumn(sort); });

  QMenu* read = view->addMenu(J("既読状態フィルタ(&R)"));
  readFilterGroup_ = new QActionGroup(&targets_.window);
  for (int value = 0; value < static_cast<int>(std::size(kReadFilterCaptions)); ++value) {
    QAction* action = read->addAction(J(kReadFilterCaptions[value]));
    action->setCheckable(true);
    readFilterGroup_->addAction(action);
    connect(action, &QAction::triggered, this, [this, value] { parts_.Headlines.SetReadFilter(value); });
  }
  QMenu* date = view->addMenu(J("日付フィルタ(&D)"));
  dateFilterGroup_ = new QActionGroup(&targets_.window);
  for (int index = 0; index < static_cast<int>(std::size(kDateFilterCaptions)); ++index) {
    QAction* action = date->addAction(J(kDateFilterCaptions[index]));
    action->setCheckable(true);
    dateFilterGroup_->addAction(action);
    connect(action, &QAction::triggered, this, [this, index] { parts_.Headlines.SetDateFilterIndex(index); });
  }
}

void CommandBar::BuildToolbars() {
  QToolBar* buttons = targets_.window.addToolBar(J("更新"));
  buttons->setObjectName(QStringLiteral("ToolBar_Button"));
  buttons->addAction(&targets_.addChannel);
  buttons->addAction(&targets_.properties);
  buttons->addSeparator();
  buttons->addAction(updateAction_);
  buttons->addSeparator();
  buttons->addAction(updateSelectionAction_);
  buttons->addAction(stopAction_);
  buttons->addAction(resumeAction_);
  buttons->addSeparator();
  buttons->addAction(belowActions_.front());  // everything below the selected node read

  QToolBar* modes = targets_.window.addToolBar(J("表示モード"));
  modes->setObjectName(QStringLiteral("Toolbar_Mode"));
  for (QAction* mode : modeActions_) modes->addAction(mode);

  readFilterBox_ = new QComboBox(&targets_.window);
  for (const char* caption : kReadFilterCaptions) readFilterBox_->addItem(J(caption));
  readFilterBox_->setToolTip(J("既読状態フィルタ"));
  connect(readFilterBox_, &QComboBox::activated, this, [this](int value) { parts_.Headlines.SetReadFilter(value); });
  QToolBar* read = targets_.window.addToolBar(J("既読状態フィルタ"));
  read->setObjectName(QStringLiteral("ToolBar_Koudoku"));
  read->addWidget(readFilterBox_);

  dateFilterBox_ = new QComboBox(&targets_.window);
  for (const char* caption : kDateFilterCaptions) dateFilterBox_->addItem(J(caption));
  dateFilterBox_->setToolTip(J("日付フィルタ"));
  connect(dateFilterBox_, &QComboBox::activated, this,
          [this](int index) { parts_.Headlines.SetDateFilterIndex(index); });
  QToolBar* date = targets_.window.addToolBar(J("日付フィルタ"));
  date->setObjectName(QStringLiteral("ToolBar_Time"));
  date->addWidget(dateFilterBox_);

  // Toolbar buttons show their command's caption without the access key.
  for (QToolBar* bar : targets_.window.findChildren<QToolBar*>()) {
    for (QAction* action : bar->actions()) {
      if (action->iconText().contains(QStringLiteral("("))) action->setIconText(BareCaption(action->text()));
    }
  }
}

void CommandBar::BuildContextMenus() {
  treeMenu_ = new QMenu(&targets_.window);
  treeMenu_->addAction(&targets_.addChannel);
  treeMenu_->addActions(treeActions_);
  treeMenu_->addSeparator();
  treeMenu_->addActions(belowActions_);
  treeMenu_->addSeparator();
  // The menu lists the state changes below the node flat, so the selected update takes
  // its short caption here, whose access key is free.
  QAction* update = treeMenu_->addAction(J("更新(&W)"));
  connect(update, &QAction::triggered, updateSelectionAction_, &QAction::trigger);
  editActions_.push_back(update);
  treeMenu_->addAction(stopAction_);
  treeMenu_->addAction(resumeAction_);
  targets_.tree.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&targets_.tree, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    // An update in the background withdraws the context menus.
    if (!targets_.state.UiLocked()) treeMenu_->popup(targets_.tree.viewport()->mapToGlobal(pos));
  });

  listMenu_ = new QMenu(&targets_.window);
  for (QAction* action : targets_.window.menuBar()->actions()) {
    if (BareCaption(action->text()) == J("ヘッドライン")) listMenu_->addActions(action->menu()->actions());
  }
  targets_.list.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&targets_.list, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    if (!targets_.state.UiLocked()) listMenu_->popup(targets_.list.viewport()->mapToGlobal(pos));
  });
}

void CommandBar::BuildStyleMenu(QMenu* view) {
  QMenu* styles = view->addMenu(J("スタイル(&T)"));
  connect(styles, &QMenu::aboutToShow, this, [this, styles] {
    styles->clear();
    present::Styles& list = parts_.Styles;
    const std::vector<std::string> entries = list.StyleMenuEntries();
    const size_t checked = list.CheckedStyleEntry();
    for (size_t index = 0; index < entries.size(); ++index) {
      if (index == 2) styles->addSeparator();
      QAction* action = styles->addAction(ToQString(entries[index]));
      action->setCheckable(true);
      action->setChecked(index == checked);
      const std::string name = entries[index];
      connect(action, &QAction::triggered, this, [this, name] { parts_.Styles.ChooseStyle(name); });
    }
    styles->addSeparator();
    QAction* install = styles->addAction(J("スタイルテンプレートのインストール(&I)"));
    connect(install, &QAction::triggered, this, [this] { OpenStyleDownloadPage(); });
  });
}

void CommandBar::OpenStyleDownloadPage() {
  present::Styles& styles = parts_.Styles;
  const std::optional<present::StyleDownloadOpening> opening =
      styles.OpenStyleDownloadPage(targets_.keys.ShiftHeld(), targets_.keys.CtrlHeld());
  if (!opening) return;
  parts_.Tabs.Open(opening->Address);
  // The add-in switches come back once the page had its time to load.
  auto* wait = new QTimer(&targets_.window);
  wait->setInterval(kStylePageStepMs);
  connect(wait, &QTimer::timeout, this, [this, wait, opening = *opening] {
    if (targets_.browser.Busy()) return;
    wait->stop();
    wait->deleteLater();
    parts_.Styles.EndStyleDownloadPage(opening);
  });
  QTimer::singleShot(kStylePageFirstWaitMs, wait, qOverload<>(&QTimer::start));
}

void CommandBar::ShowFilters() {
  present::HeadlineList& list = parts_.Headlines;
  const int read = list.ReadFilter();
  const int date = present::DateFilterIndex(list.DateFilter());
  if (read >= 0 && read < readFilterBox_->count()) {
    readFilterBox_->setCurrentIndex(read);
    readFilterGroup_->actions().at(read)->setChecked(true);
  }
  dateFilterBox_->setCurrentIndex(date);
  dateFilterGroup_->actions().at(date)->setChecked(true);
  MarkNarrowed(readFilterBox_);
  MarkNarrowed(dateFilterBox_);
}

void CommandBar::ShowSortColumn(QMenu* menu) {
  const int column = parts_.Headlines.SortColumn();
  for (QAction* action : menu->actions()) action->setChecked(action->data().toInt() == column);
}

void CommandBar::ShowViewMode() {
  const int mode = targets_.session.Settings().FormViewMode;
  modeActions_[0]->setChecked(mode == app::kListMode);
  modeActions_[1]->setChecked(mode == app::kBrowserMode);
  modeActions_[2]->setChecked(mode == app::kViewMode);
}

void CommandBar::EnableEditing(bool enabled) {
  for (QAction* action : editActions_) action->setEnabled(enabled);
}

void CommandBar::Lock(bool background) {
  updateSelectionAction_->setEnabled(false);
  stopAction_->setEnabled(false);
  resumeAction_->setEnabled(false);
  updateAction_->setEnabled(background);
  EnableEditing(false);
}

void CommandBar::Unlock() {
  for (QAction* action : {updateAction_, updateSelectionAction_, stopAction_, resumeAction_}) action->setEnabled(true);
  EnableEditing(true);
}

void CommandBar::SetUpdateCaption(const QString& caption) {
  updateAction_->setText(caption);
}

}  // namespace ui
