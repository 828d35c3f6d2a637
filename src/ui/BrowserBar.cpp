// SPDX-License-Identifier: MIT
#include "ui/BrowserBar.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QToolBar>
#include <QWebEngineView>

#include "app/DataSession.h"
#include "app/KeywordBox.h"
#include "present/HeadlineList.h"
#include "shell/BrowserTabs.h"
#include "shell/FeedDiscovery.h"
#include "text/Cut.h"
#include "ui/BrowserPane.h"
#include "ui/EditableBox.h"
#include "ui/QtText.h"
#include "ui/WebTabs.h"

namespace ui {

BrowserBar::BrowserBar(QMainWindow& window, app::DataSession& session, shell::BrowserTabs& tabs, BrowserPane& browser)
    : QObject(&window), window_(window), session_(session), tabs_(tabs), browser_(browser) {
  BuildTabMenu();
  BuildBrowserToolbar();
}

// The actions belong to the window, where their shortcuts work.
QAction* BrowserBar::AddCommand(const char* caption, const std::function<void()>& run) {
  auto* action = new QAction(J(caption), &window_);
  connect(action, &QAction::triggered, this, [run] { run(); });
  return action;
}

void BrowserBar::ClearAddressHistory() {
  addressHistory_.clear();
  ShowAddressHistory();
}

void BrowserBar::BuildTabMenu() {
  shell::BrowserTabs& tabs = tabs_;
  tabMenu_ = window_.menuBar()->addMenu(J("タブ(&T)"));
  struct TabCommand {
    const char* caption;
    QKeySequence keys;
    std::function<void()> run;
  };
  const TabCommand commands[] = {
      {"閉じる(&C)", QKeySequence(Qt::CTRL | Qt::Key_W), [&tabs] { tabs.CloseTab(tabs.ActiveIndex()); }},
      {"アクティブなタブ以外を閉じる(&A)", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_W),
       [&tabs] { tabs.CloseOtherTabs(shell::OtherTabs::kAll); }},
      {"右側(→)を全て閉じる(&R)", {}, [&tabs] { tabs.CloseOtherTabs(shell::OtherTabs::kRight); }},
      {"左(←)を全て閉じる(&L)", {}, [&tabs] { tabs.CloseOtherTabs(shell::OtherTabs::kLeft); }},
      {"ページロック(&K)", QKeySequence(Qt::ALT | Qt::Key_R), [&tabs] { tabs.ToggleTabLock(tabs.ActiveIndex()); }},
      {"右(→)へ(&N)", QKeySequence(Qt::CTRL | Qt::Key_Tab), [&tabs] { tabs.CycleTab(0); }},
      {"左(←)へ(&P)", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), [&tabs] { tabs.CycleTab(1); }},
  };
  for (const TabCommand& command : commands) {
    QAction* action = AddCommand(command.caption, command.run);
    action->setShortcut(command.keys);
    tabMenu_->addAction(action);
    window_.addAction(action);
  }
  tabMenu_->addSeparator();
  QMenu* behaviour = tabMenu_->addMenu(J("タブの動作(&B)"));
  auto* group = new QActionGroup(&window_);
  const char* behaviours[] = {"標準(&N)", "新しいタブでサイトを開きフォーカスを移す(&R)",
                              "新しいタブでサイトを開く(&A)", "サイトを概要で上書きしない(&O)"};
  for (int value = 0; value < static_cast<int>(std::size(behaviours)); ++value) {
    QAction* action = behaviour->addAction(J(behaviours[value]));
    action->setCheckable(true);
    action->setData(value);
    group->addAction(action);
    connect(action, &QAction::triggered, this,
            [&tabs, value] { tabs.SetTabBehaviour(static_cast<settings::TabBehaviour>(value)); });
  }
  connect(behaviour, &QMenu::aboutToShow, this, [&tabs, behaviour] {
    for (QAction* action : behaviour->actions())
      action->setChecked(action->data().toInt() == static_cast<int>(tabs.TabBehaviour()));
  });
  // The tab row's context menu is the same menu, for the tab the right click activated.
  QTabBar& bar = browser_.Tabs().TabBar();
  bar.setContextMenuPolicy(Qt::CustomContextMenu);
  connect(&bar, &QWidget::customContextMenuRequested, this,
          [this, &bar](const QPoint& pos) { tabMenu_->popup(bar.mapToGlobal(pos)); });
}

void BrowserBar::BuildBrowserToolbar() {
  QToolBar* bar = window_.addToolBar(J("ブラウザ"));
  bar->setObjectName(QStringLiteral("ToolBar_Browser"));
  auto inView = [this](const std::function<void(QWebEngineView&)>& run) {
    return [this, run] {
      if (QWebEngineView* view = browser_.ActiveView()) run(*view);
    };
  };
  QAction* back = AddCommand("戻る", inView([](QWebEngineView& view) { view.back(); }));
  back->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Left));
  QAction* forward = AddCommand("進む", inView([](QWebEngineView& view) { view.forward(); }));
  forward->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Right));
  QAction* stop = AddCommand("中止", inView([](QWebEngineView& view) { view.stop(); }));
  QAction* reload = AddCommand("再読込", inView([](QWebEngineView& view) { view.reload(); }));
  reload->setShortcut(QKeySequence(Qt::Key_F5));
  QAction* home = AddCommand("ホーム", [this] { tabs_.Navigate(tabs_.ActiveView(), std::string(), 0); });
  for (QAction* action : {back, forward, stop, reload, home}) {
    bar->addAction(action);
    window_.addAction(action);
  }
  BuildAddressBox();
  // The tab list says what the view in front can do; a locked tab neither goes back nor
  // reloads.
  connect(&browser_.Tabs(), &WebTabs::NavigationEnabled, this, [back, forward, reload](bool b, bool f, bool r) {
    back->setEnabled(b);
    forward->setEnabled(f);
    reload->setEnabled(r);
  });
}

void BrowserBar::BuildAddressBox() {
  QToolBar* bar = window_.addToolBar(J("アドレス"));
  bar->setObjectName(QStringLiteral("ToolWindow_Address"));
  addressBox_ = MakeEditableBox(bar, "CB_Address", 40);
  addressBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  const settings::Settings& settings = session_.Settings();
  for (int i = 0; i < std::clamp(settings.AddressMax, 0, settings::kHistoryMax); ++i)
    addressHistory_.push_back(settings.Address[static_cast<size_t>(i)]);
  ShowAddressHistory();
  bar->addWidget(addressBox_);
  connect(addressBox_->lineEdit(), &QLineEdit::returnPressed, this,
          [this] { OpenTypedAddress(FromQString(addressBox_->currentText())); });
  connect(addressBox_, &QComboBox::activated, this,
          [this](int index) { OpenTypedAddress(FromQString(addressBox_->itemText(index))); });
  connect(&browser_.Tabs(), &WebTabs::AddressChanged, this,
          [this](const QString& address) { addressBox_->setEditText(address); });

  feedIcon_ = new QLabel(&window_);
  feedIcon_->setPixmap(QPixmap(PathToQString(session_.DataFolder() + "system/xml.png")));
  feedIcon_->setToolTip(J("このページはFeedを提供しています"));
  feedIcon_->hide();
  window_.statusBar()->addPermanentWidget(feedIcon_);
  connect(
      &browser_.Tabs(), &WebTabs::FeedFoundChanged, this,
      [this](int, const QColor& colour, const QString& hint, bool feedIcon) { ShowFeedFound(colour, hint, feedIcon); });
  // Until a page says otherwise, nothing was found.
  const shell::FeedFoundLook nothing = shell::FeedFoundAppearance(shell::kFeedFoundNothing);
  ShowFeedFound(QColor(QRgb(nothing.rgb)), ToQString(nothing.hint), false);

  // Alt+D goes to the address box, and from there back to the page.
  QAction* focus = AddCommand("アドレスバー", [this] {
    if (addressBox_->hasFocus() || addressBox_->lineEdit()->hasFocus()) {
      if (QWebEngineView* view = browser_.ActiveView()) view->setFocus();
      return;
    }
    addressBox_->setFocus();
    addressBox_->lineEdit()->selectAll();
  });
  focus->setShortcut(QKeySequence(Qt::ALT | Qt::Key_D));
  window_.addAction(focus);
}

void BrowserBar::ShowFeedFound(const QColor& colour, const QString& hint, bool feedIcon) {
  QPalette palette = addressBox_->lineEdit()->palette();
  palette.setColor(QPalette::Base, colour);
  addressBox_->lineEdit()->setPalette(palette);
  QString tip = hint;
  addressBox_->setToolTip(tip.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
  feedIcon_->setVisible(feedIcon);
}

void BrowserBar::OpenTypedAddress(const std::string& address) {
  const std::string typed = text::TrimJ(address);
  if (typed.empty()) return;
  if (!tabs_.OpenTypedAddress(typed)) return;
  app::AddToHistory(addressHistory_, typed);
  ShowAddressHistory();
}

void BrowserBar::ShowAddressHistory() {
  const QSignalBlocker quiet(addressBox_);
  const QString text = addressBox_->currentText();
  addressBox_->clear();
  for (const std::string& entry : addressHistory_) addressBox_->addItem(ToQString(entry));
  addressBox_->setEditText(text);
}

void BrowserBar::ShowOptionMenu(store::TSiteRecord* item) {
  if (item == nullptr) return;
  QMenu menu(&window_);
  QAction* open = menu.addAction(J("開く(&O)"));
  const std::string address = present::HeadlineList::ItemAddress(*item);
  connect(open, &QAction::triggered, this, [this, address] { tabs_.Open(address); });
  menu.exec(QCursor::pos());
}

}  // namespace ui
