// SPDX-License-Identifier: MIT
#include "ui/QtDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "ui/QtText.h"

namespace ui {
namespace {

QMessageBox::Icon IconOf(platform::MessageType type) {
  switch (type) {
    case platform::MessageType::kWarning:
      return QMessageBox::Warning;
    case platform::MessageType::kError:
      return QMessageBox::Critical;
    case platform::MessageType::kInformation:
      return QMessageBox::Information;
    case platform::MessageType::kConfirmation:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

// The program's texts break lines with CR LF; Qt wants LF alone.
QString MessageText(const std::string& text) {
  QString shown = ToQString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return shown;
}

std::optional<std::string> Chosen(const QString& path) {
  if (path.isEmpty()) return std::nullopt;
  return PathFromQString(path);
}

}  // namespace

QString QtFileFilter(const std::string& filter) {
  const QStringList parts = ToQString(filter).split(QLatin1Char('|'));
  QStringList filters;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString caption = parts[i];
    QString patterns = parts[i + 1];
    patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
    if (!caption.contains(QLatin1Char('('))) caption += QStringLiteral(" (") + patterns + QLatin1Char(')');
    filters << caption;
  }
  return filters.join(QStringLiteral(";;"));
}

void QtDialogs::ShowMessageBox(const std::string& text, platform::MessageType type) {
  QMessageBox box(IconOf(type), ToQString(title_), MessageText(text), QMessageBox::Ok, parent_);
  box.exec();
}

bool QtDialogs::Ask(const std::string& text, platform::MessageType type, bool defaultNo, bool cancelForNo) {
  const QMessageBox::StandardButton no = cancelForNo ? QMessageBox::Cancel : QMessageBox::No;
  QMessageBox box(IconOf(type), ToQString(title_), MessageText(text), QMessageBox::Yes | no, parent_);
  box.setDefaultButton(defaultNo ? no : QMessageBox::Yes);
  box.setEscapeButton(no);
  return box.exec() == QMessageBox::Yes;
}

bool QtDialogs::AskYesNo(const std::string& text, platform::MessageType type, platform::DefaultAnswer defaultAnswer) {
  return Ask(text, type, defaultAnswer == platform::DefaultAnswer::kNo, false);
}

bool QtDialogs::AskYesCancel(const std::string& text, platform::MessageType type,
                             platform::DefaultAnswer defaultAnswer) {
  return Ask(text, type, defaultAnswer == platform::DefaultAnswer::kNo, true);
}

platform::DialogAnswer QtDialogs::AskYesNoCancel(const std::string& text, platform::MessageType type) {
  QMessageBox box(IconOf(type), ToQString(title_), MessageText(text),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, parent_);
  box.setDefaultButton(QMessageBox::Yes);
  // Esc and the close button of the window answer Cancel.
  box.setEscapeButton(QMessageBox::Cancel);
  switch (box.exec()) {
    case QMessageBox::Yes:
      return platform::DialogAnswer::kYes;
    case QMessageBox::No:
      return platform::DialogAnswer::kNo;
    default:
      return platform::DialogAnswer::kCancel;
  }
}

std::optional<std::string> QtDialogs::ChooseOpenFile(const std::string& title, const std::string& filter,
                                                     const std::string& folder) {
  return Chosen(QFileDialog::getOpenFileName(parent_, ToQString(title), PathToQString(folder), QtFileFilter(filter)));
}

std::optional<std::string> QtDialogs::ChooseSaveFile(const std::string& title, const std::string& filter,
                                                     const std::string& folder, const std::string& fileName) {
  const QString start = PathToQString(folder.empty() ? fileName : folder + "/" + fileName);
  return Chosen(QFileDialog::getSaveFileName(parent_, ToQString(title), start, QtFileFilter(filter)));
}

std::optional<std::string> QtDialogs::ChooseFolder(const std::string& title, const std::string& folder) {
  return Chosen(QFileDialog::getExistingDirectory(parent_, ToQString(title), PathToQString(folder)));
}

void QtDialogs::Beep() {
  QApplication::beep();
}

}  // namespace ui
