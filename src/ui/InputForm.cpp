// SPDX-License-Identifier: MIT
#include "ui/InputForm.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/ChannelSettingsFields.h"
#include "ui/EditableBox.h"
#include "ui/QtText.h"

namespace ui {
namespace {

// The colour of an address box whose list holds feeds the page offered.
const QColor kFoundFeedsColour(0xFF, 0xFF, 0xBE);

}  // namespace

InputForm::InputForm(QWidget* owner, Options options) : QDialog(owner), options_(std::move(options)) {
  setObjectName(QStringLiteral("TInputForm"));
  setWindowTitle(J("チャンネル -Feed/OPML- の追加"));
  setAcceptDrops(true);
  message_ = new QLabel(this);
  message_->setObjectName(QStringLiteral("LB_Message"));
  address_ = MakeEditableBox(this, "Edit", 48);
  address_->lineEdit()->installEventFilter(this);
  tree_ = new QComboBox(this);
  tree_->setObjectName(QStringLiteral("CB_Tree"));
  ok_ = new QPushButton(J("実行(&R)"), this);
  ok_->setObjectName(QStringLiteral("OKBtn"));
  ok_->setDefault(true);
  ok_->setEnabled(false);
  auto* cancel = new QPushButton(J("キャンセル(&C)"), this);
  cancel->setObjectName(QStringLiteral("CanBtn"));
  check_ = new QPushButton(J("確認(&V)..."), this);
  check_->setObjectName(QStringLiteral("SB_Kakunin"));
  check_->setAutoDefault(false);
  detail_ = new QPushButton(J("詳細(&S) >>"), this);
  detail_->setObjectName(QStringLiteral("DetailBtn"));
  detail_->setAutoDefault(false);
  separator_ = new QFrame(this);
  separator_->setFrameShape(QFrame::HLine);
  fields_ = new ChannelSettingsFields(J("HTML抽出"), this);

  auto* addressRow = new QHBoxLayout;
  addressRow->addWidget(address_, 1);
  addressRow->addWidget(check_);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(new QLabel(J("登録先"), this));
  buttons->addWidget(tree_, 1);
  buttons->addWidget(detail_);
  buttons->addWidget(ok_);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  // The dialog is as tall as what it shows: the detail area opens and closes it.
  layout->setSizeConstraint(QLayout::SetFixedSize);
  layout->addWidget(message_);
  layout->addLayout(addressRow);
  layout->addLayout(buttons);
  layout->addWidget(separator_);
  layout->addWidget(fields_);
  fields_->hide();

  connect(ok_, &QPushButton::clicked, this, [this] {
    // With the list open the button only takes the list's choice.
    if (address_->view()->isVisible()) {
      address_->hidePopup();
      return;
    }
    accept();
  });
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
  connect(check_, &QPushButton::clicked, this, [this] {
    if (options_.openInTab) options_.openInTab(FromQString(address_->currentText()));
  });
  connect(detail_, &QPushButton::clicked, this, [this] { SetDetailShown(!detailShown_); });
  connect(address_, &QComboBox::editTextChanged, this, [this] { ApplyRules(); });
  connect(fields_, &ChannelSettingsFields::Changed, this, [this] { ApplyRules(); });
}

void InputForm::SetTexts(const app::FormTexts& texts) {
  setWindowTitle(ToQString(texts.caption));
  message_->setText(ToQString(texts.message));
}

void InputForm::SetTreeEntries(const std::vector<app::TreeEntry>& entries, int selected) {
  tree_->clear();
  for (const app::TreeEntry& entry : entries)
    tree_->addItem(QString(entry.depth * 2, QLatin1Char(' ')) + ToQString(entry.caption));
  tree_->setCurrentIndex(selected);
}

void InputForm::SetAddressList(const std::vector<std::string>& feeds) {
  const QString text = address_->currentText();
  address_->clear();
  for (const std::string& feed : feeds) {
    if (feed == "-") {
      address_->insertSeparator(address_->count());
    } else {
      address_->addItem(ToQString(feed));
    }
  }
  address_->setEditText(text);
  hasFoundFeeds_ = !feeds.empty();
  QPalette palette = address_->lineEdit()->palette();
  palette.setColor(QPalette::Base, hasFoundFeeds_ ? kFoundFeedsColour : QColor(Qt::white));
  address_->lineEdit()->setPalette(palette);
}

void InputForm::SetValues(const app::ChannelFormValues& values) {
  address_->setEditText(ToQString(values.address));
  fields_->SetValues(values);
  ApplyRules();
}

void InputForm::SetAutoDownloadVisible(bool visible) {
  fields_->SetAutoDownloadVisible(visible);
}

void InputForm::SetDetailShown(bool shown) {
  detailShown_ = shown;
  fields_->setVisible(shown);
  detail_->setText(shown ? J("<< 簡易(&S)") : J("詳細(&S) >>"));
}

bool InputForm::ShowModal() {
  return exec() == QDialog::Accepted;
}

app::ChannelFormValues InputForm::Values() const {
  app::ChannelFormValues values;
  values.address = FromQString(address_->currentText());
  fields_->ReadValues(values);
  return values;
}

int InputForm::SelectedTreeEntry() const {
  return tree_->currentIndex();
}

void InputForm::ApplyRules() {
  const app::ChannelFormEnabling enabling = app::FormEnabling(Values());
  ok_->setEnabled(enabling.ok);
  check_->setEnabled(enabling.ok);
  fields_->ApplyEnabling(enabling);
}

void InputForm::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  if (address_->currentText().isEmpty()) {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    const QString text = clipboard != nullptr ? clipboard->text() : QString();
    address_->setEditText(ToQString(app::ClipboardPrefill(FromQString(text))));
  }
  ApplyRules();
  PlaceOnOwner();
  address_->setFocus();
}

void InputForm::PlaceOnOwner() {
  const QWidget* owner = parentWidget();
  if (owner == nullptr) return;
  // Centred across the window, a third of the free height down.
  const QRect area = owner->frameGeometry();
  const int left = area.left() + (area.width() - frameGeometry().width()) / 2;
  const int top = area.top() + std::max(0, area.height() - frameGeometry().height()) / 3;
  move(left, top);
}

void InputForm::keyPressEvent(QKeyEvent* event) {
  // Enter outside the address box does not close the dialog: the default button does.
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && !ok_->hasFocus()) {
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

bool InputForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == address_->lineEdit() && event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_B) {
      const std::string list = app::BloglinesListAddress(options_.bloglinesSync);
      if (!list.empty()) address_->setEditText(ToQString(list));
      return true;
    }
    if (key->modifiers() == Qt::ControlModifier && key->key() == Qt::Key_G) {
      address_->setEditText(ToQString(app::GmailFeedAddress()));
      SetDetailShown(true);
      return true;
    }
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (ok_->isEnabled()) accept();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

QString DroppedAddress(const QMimeData& data) {
  if (data.hasUrls() && !data.urls().isEmpty() && data.urls().front().isLocalFile()) {
    const QString path = data.urls().front().toLocalFile();
    if (path.endsWith(QLatin1String(".url"), Qt::CaseInsensitive)) {
      if (std::optional<std::string> target = app::ReadInternetShortcut(PathFromQString(path)))
        return ToQString(*target);
    }
    return path;
  }
  if (data.hasUrls() && !data.urls().isEmpty()) return data.urls().front().toString();
  return data.hasText() ? data.text().section(QChar(0), 0, 0) : QString();
}

void InputForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls() || event->mimeData()->hasText()) event->acceptProposedAction();
}

void InputForm::dropEvent(QDropEvent* event) {
  const QString dropped = DroppedAddress(*event->mimeData());
  if (dropped.isEmpty()) return;
  address_->setEditText(dropped);
  event->acceptProposedAction();
}

}  // namespace ui
