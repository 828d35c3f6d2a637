// SPDX-License-Identifier: MIT
// The keyword box above the headline list with its toggle, and the reset of the boxes'
// histories. The box keeps nothing itself: the keyword box controller holds the text, the
// history and the toggle, and the box shows them after every change.
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QToolBar>

#include "app/KeywordBox.h"
#include "ui/EditableBox.h"
#include "ui/MainWindow.h"
#include "ui/QtText.h"

namespace ui {
void MainWindow::BuildKeywordBox() {
  app::KeywordBox& box = controller_->Keywords();
  QToolBar* bar = addToolBar(J("キーワード"));
  bar->setObjectName(QStringLiteral("ToolBar_Ken"));
  keywordBox_ = MakeEditableBox(bar, "CB_Keyword", 16);
  keywordBox_->setToolTip(J("キーワードフィルタ"));
  bar->addWidget(keywordBox_);
  keywordToggle_ = AddCommand("キーワードフィルタ", [this] { controller_->Keywords().Toggle(); });
  keywordToggle_->setObjectName(QStringLiteral("SB_Keyword"));
  keywordToggle_->setCheckable(true);
  keywordToggle_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
  bar->addAction(keywordToggle_);
  addAction(keywordToggle_);

  connect(keywordBox_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { controller_->Keywords().TextEdited(FromQString(text)); });
  // Enter with the list closed applies the filter; Shift+Enter leaves it as it is.
  connect(keywordBox_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    const bool shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    controller_->Keywords().EnterPressed(shift, keywordBox_->view()->isVisible());
  });
  connect(keywordBox_, &QComboBox::activated, this,
          [this](int index) { controller_->Keywords().HistoryPicked(static_cast<size_t>(index)); });
  box.SetChanged([this] { ShowKeywordBox(); });
  ShowKeywordBox();
}

void MainWindow::ShowKeywordBox() {
  const app::KeywordBox& box = controller_->Keywords();
  const QSignalBlocker quiet(keywordBox_);
  keywordBox_->clear();
  for (const std::string& entry : box.History()) keywordBox_->addItem(ToQString(entry));
  keywordBox_->setEditText(ToQString(box.Text()));
  keywordToggle_->setChecked(box.FilterOn());
}

std::vector<std::string> MainWindow::KeywordBoxItems() {
  return controller_->Keywords().History();
}

void MainWindow::ResetHistories() {
  controller_->Keywords().ResetHistories(session_.Dialogs(),
                                         [this] {
                                           addressHistory_.clear();
                                           ShowAddressHistory();
                                         },
                                         {});
}

}  // namespace ui
