// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "app/ChannelFormRules.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace ui {

// The registration settings of a channel as controls: the registration dialog's detail
// area and the property panel both show them. Which controls are enabled follows the
// values through the form's rules after every change.
class ChannelSettingsFields : public QWidget {
  Q_OBJECT

 public:
  // `htmlRssCaption`: the dialog says "HTML抽出", the panel "HTMLから抽出 :".
  ChannelSettingsFields(const QString& htmlRssCaption, QWidget* parent = nullptr);

  // Every value but the address.
  void SetValues(const app::ChannelFormValues& values);
  void ReadValues(app::ChannelFormValues& values) const;
  void ApplyEnabling(const app::ChannelFormEnabling& enabling);
  void SetAutoDownloadVisible(bool visible);
  // Disabled with the hint as its tip while the hint is not empty.
  void SetAutoDownloadHint(const QString& hint);

 signals:
  void Changed();

 private:
  QSpinBox* itemMax_ = nullptr;      // CB_ItemMax
  QSpinBox* dateMax_ = nullptr;      // CB_DateMax
  QCheckBox* refresh_ = nullptr;     // CB_Refresh
  QSpinBox* refreshTime_ = nullptr;  // CB_RefreshTime
  QLabel* refreshUnit_ = nullptr;
  QCheckBox* noRead_ = nullptr;       // CB_NoRead
  QCheckBox* dateCompare_ = nullptr;  // CB_DateCompare
  QLineEdit* filter_ = nullptr;       // ED_Filter
  QGroupBox* credentials_ = nullptr;
  QLineEdit* user_ = nullptr;          // ED_User
  QLineEdit* password_ = nullptr;      // ED_Pass
  QCheckBox* htmlRss_ = nullptr;       // CB_HtmlRss
  QLineEdit* regexpr_ = nullptr;       // ED_Regexpr
  QCheckBox* autoDownload_ = nullptr;  // CB_AutoDownload
  QCheckBox* enToJp_ = nullptr;        // CB_EnToJp
  QCheckBox* linkOpen_ = nullptr;      // CB_LinkOpen
};

}  // namespace ui
