// SPDX-License-Identifier: MIT
#include "ui/KeywordBar.h"

#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QMainWindow>
#include <QSignalBlocker>
#include <QToolBar>

#include "app/KeywordBox.h"
#include "ui/EditableBox.h"
#include "ui/QtText.h"

namespace ui {

KeywordBar::KeywordBar(QMainWindow& window, app::KeywordBox& box) : QObject(&window), box_(box) {
  QToolBar* bar = window.addToolBar(J("キーワード"));
  bar->setObjectName(QStringLiteral("ToolBar_Ken"));
  keywordBox_ = MakeEditableBox(bar, "CB_Keyword", 16);
  keywordBox_->setToolTip(J("キーワードフィルタ"));
  bar->addWidget(keywordBox_);
  // The toggle belongs to the window, where its shortcut works.
  keywordToggle_ = new QAction(J("キーワードフィルタ"), &window);
  connect(keywordToggle_, &QAction::triggered, this, [this] { box_.Toggle(); });
  keywordToggle_->setObjectName(QStringLiteral("SB_Keyword"));
  keywordToggle_->setCheckable(true);
  keywordToggle_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Y));
  bar->addAction(keywordToggle_);
  window.addAction(keywordToggle_);

  connect(keywordBox_, &QComboBox::editTextChanged, this,
          [this](const QString& text) { box_.TextEdited(FromQString(text)); });
  // Enter with the list closed applies the filter; Shift+Enter leaves it as it is.
  connect(keywordBox_->lineEdit(), &QLineEdit::returnPressed, this, [this] {
    const bool shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
    box_.EnterPressed(shift, keywordBox_->view()->isVisible());
  });
  connect(keywordBox_, &QComboBox::activated, this,
          [this](int index) { box_.HistoryPicked(static_cast<size_t>(index)); });
  box_.SetChanged([this] { Show(); });
  Show();
}

void KeywordBar::Show() {
  const QSignalBlocker quiet(keywordBox_);
  keywordBox_->clear();
  for (const std::string& entry : box_.History()) keywordBox_->addItem(ToQString(entry));
  keywordBox_->setEditText(ToQString(box_.Text()));
  keywordToggle_->setChecked(box_.FilterOn());
}

std::vector<std::string> KeywordBar::History() const {
  return box_.History();
}

void KeywordBar::ResetHistories(platform::Dialogs& dialogs, const std::function<void()>& clearAddressHistory) {
  box_.ResetHistories(dialogs, clearAddressHistory, {});
}

}  // namespace ui
