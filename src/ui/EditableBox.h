// SPDX-License-Identifier: MIT
#pragma once

#include <QComboBox>

namespace ui {

// A box to type into with a drop-down list the program fills (a history, the feeds a page
// offered): what is typed is never added to the list by the box itself.
inline QComboBox* MakeEditableBox(QWidget* parent, const char* objectName, int minimumCharacters) {
  auto* box = new QComboBox(parent);
  box->setObjectName(QString::fromLatin1(objectName));
  box->setEditable(true);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->setMinimumContentsLength(minimumCharacters);
  return box;
}

}  // namespace ui
