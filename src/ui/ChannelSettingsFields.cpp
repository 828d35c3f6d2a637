// SPDX-License-Identifier: MIT
#include "ui/ChannelSettingsFields.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include "ui/QtText.h"

namespace ui {
namespace {

QSpinBox* Spin(QWidget* parent, const char* name, int low, int high) {
  auto* spin = new QSpinBox(parent);
  spin->setObjectName(QString::fromLatin1(name));
  spin->setRange(low, high);
  spin->setSingleStep(app::kSpinStep);
  return spin;
}

QCheckBox* Check(QWidget* parent, const char* name, const char* caption) {
  auto* box = new QCheckBox(J(caption), parent);
  box->setObjectName(QString::fromLatin1(name));
  return box;
}

QLineEdit* Edit(QWidget* parent, const char* name) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(QString::fromLatin1(name));
  return edit;
}

// A control followed by its unit.
QWidget* WithUnit(QWidget* parent, QWidget* control, QLabel* unit) {
  auto* row = new QWidget(parent);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(control);
  layout->addWidget(unit);
  layout->addStretch();
  return row;
}

}  // namespace

ChannelSettingsFields::ChannelSettingsFields(const QString& htmlRssCaption, QWidget* parent) : QWidget(parent) {
  itemMax_ = Spin(this, "CB_ItemMax", 0, app::kItemMaxLimit);
  dateMax_ = Spin(this, "CB_DateMax", 0, app::kDateMaxLimit);
  refresh_ = Check(this, "CB_Refresh", "自動更新時の間隔 :");
  refreshTime_ = Spin(this, "CB_RefreshTime", app::kRefreshTimeMin, app::kRefreshTimeMax);
  refreshUnit_ = new QLabel(J("分毎"), this);
  noRead_ = Check(this, "CB_NoRead", "更新時に既読として扱う");
  dateCompare_ = Check(this, "CB_DateCompare", "日付変更や修正をチェック");
  filter_ = Edit(this, "ED_Filter");
  htmlRss_ = new QCheckBox(htmlRssCaption, this);
  htmlRss_->setObjectName(QStringLiteral("CB_HtmlRss"));
  regexpr_ = Edit(this, "ED_Regexpr");
  autoDownload_ = Check(this, "CB_AutoDownload", "Podhallに添付ファイルを転送");
  enToJp_ = Check(this, "CB_EnToJp", "サイト閲覧時に英日翻訳をおこなう");
  linkOpen_ = Check(this, "CB_LinkOpen", "本文を開く");

  credentials_ = new QGroupBox(J("認証"), this);
  user_ = Edit(credentials_, "ED_User");
  password_ = Edit(credentials_, "ED_Pass");
  password_->setEchoMode(QLineEdit::Password);
  auto* account = new QFormLayout(credentials_);
  account->addRow(J("ユーザー名"), user_);
  account->addRow(J("パスワード"), password_);

  auto* form = new QFormLayout;
  form->addRow(J("最大保存数"), WithUnit(this, itemMax_, new QLabel(J("件"), this)));
  form->addRow(J("保存期間"), WithUnit(this, dateMax_, new QLabel(J("日"), this)));
  form->addRow(refresh_, WithUnit(this, refreshTime_, refreshUnit_));
  form->addRow(J("フィルタ文字"), filter_);
  form->addRow(htmlRss_, regexpr_);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addLayout(form);
  for (QWidget* box :
       {static_cast<QWidget*>(noRead_), static_cast<QWidget*>(dateCompare_), static_cast<QWidget*>(enToJp_),
        static_cast<QWidget*>(linkOpen_), static_cast<QWidget*>(autoDownload_)}) {
    layout->addWidget(box);
  }
  layout->addWidget(credentials_);

  for (QSpinBox* spin : {itemMax_, dateMax_, refreshTime_})
    connect(spin, &QSpinBox::valueChanged, this, &ChannelSettingsFields::Changed);
  for (QCheckBox* box : {refresh_, noRead_, dateCompare_, htmlRss_, autoDownload_, enToJp_, linkOpen_})
    connect(box, &QCheckBox::toggled, this, &ChannelSettingsFields::Changed);
  for (QLineEdit* edit : {filter_, user_, password_, regexpr_})
    connect(edit, &QLineEdit::textChanged, this, &ChannelSettingsFields::Changed);
}

void ChannelSettingsFields::SetValues(const app::ChannelFormValues& values) {
  const QSignalBlocker quiet(this);
  itemMax_->setValue(values.itemMax);
  dateMax_->setValue(values.dateMax);
  refresh_->setChecked(values.refresh);
  refreshTime_->setValue(values.refreshTime);
  noRead_->setChecked(values.noRead);
  dateCompare_->setChecked(values.dateCompare);
  filter_->setText(ToQString(values.filter));
  user_->setText(ToQString(values.user));
  password_->setText(ToQString(values.password));
  htmlRss_->setChecked(values.htmlRss);
  regexpr_->setText(ToQString(values.regexpr));
  autoDownload_->setChecked(values.autoDownload);
  enToJp_->setChecked(values.enToJp);
  linkOpen_->setChecked(values.linkOpen);
}

void ChannelSettingsFields::ReadValues(app::ChannelFormValues& values) const {
  values.itemMax = itemMax_->value();
  values.dateMax = dateMax_->value();
  values.refresh = refresh_->isChecked();
  values.refreshTime = refreshTime_->value();
  values.noRead = noRead_->isChecked();
  values.dateCompare = dateCompare_->isChecked();
  values.filter = FromQString(filter_->text());
  values.user = FromQString(user_->text());
  values.password = FromQString(password_->text());
  values.htmlRss = htmlRss_->isChecked();
  values.regexpr = FromQString(regexpr_->text());
  values.autoDownload = autoDownload_->isChecked();
  values.enToJp = enToJp_->isChecked();
  values.linkOpen = linkOpen_->isChecked();
}

void ChannelSettingsFields::ApplyEnabling(const app::ChannelFormEnabling& enabling) {
  dateCompare_->setEnabled(enabling.dateCompare);
  user_->setEnabled(enabling.credentials);
  password_->setEnabled(enabling.credentials);
  regexpr_->setEnabled(enabling.regexpr);
  refreshTime_->setEnabled(enabling.refreshTime);
  refreshUnit_->setEnabled(enabling.refreshTime);
}

void ChannelSettingsFields::SetAutoDownloadVisible(bool visible) {
  autoDownload_->setVisible(visible);
}

void ChannelSettingsFields::SetAutoDownloadHint(const QString& hint) {
  autoDownload_->setEnabled(hint.isEmpty());
  autoDownload_->setToolTip(hint);
}

}  // namespace ui
