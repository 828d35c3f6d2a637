// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>
#include <optional>

#include "app/ChannelFormRules.h"

class QLineEdit;
class QPushButton;

namespace ui {

class ChannelSettingsFields;

// The property panel (PL_PropertySet): the registration settings of the channel shown,
// with "適用(&R)" to keep the changes. It is disabled while no channel is shown.
class PropertyPanel : public QWidget {
  Q_OBJECT

 public:
  explicit PropertyPanel(QWidget* parent = nullptr);

  // The channel's values, or none: the panel empties and is disabled.
  void Show(const std::optional<app::ChannelFormValues>& values);
  app::ChannelFormValues Values() const;

  QPushButton& ApplyButton() const { return *apply_; }
  QLineEdit& AddressEdit() const { return *address_; }
  ChannelSettingsFields& Fields() const { return *fields_; }

 signals:
  void ApplyRequested();

 private:
  void ApplyRules();

  QLineEdit* address_ = nullptr;  // Edit_Rdf
  ChannelSettingsFields* fields_ = nullptr;
  QPushButton* apply_ = nullptr;  // SpeedButton_ProSave
};

}  // namespace ui
