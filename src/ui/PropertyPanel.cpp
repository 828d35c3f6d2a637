// SPDX-License-Identifier: MIT
#include "ui/PropertyPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "ui/ChannelSettingsFields.h"
#include "ui/QtText.h"

namespace ui {

PropertyPanel::PropertyPanel(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PL_PropertySet"));
  address_ = new QLineEdit(this);
  address_->setObjectName(QStringLiteral("Edit_Rdf"));
  fields_ = new ChannelSettingsFields(QString::fromUtf8("HTMLから抽出 :"), this);
  apply_ = new QPushButton(QString::fromUtf8("適用(&R)"), this);
  apply_->setObjectName(QStringLiteral("SpeedButton_ProSave"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Feed URL"), this));
  layout->addWidget(address_);
  layout->addWidget(fields_);
  layout->addWidget(apply_);
  layout->addStretch();
  connect(apply_, &QPushButton::clicked, this, &PropertyPanel::ApplyRequested);
  connect(fields_, &ChannelSettingsFields::Changed, this, [this] { ApplyRules(); });
  Show(std::nullopt);
}

void PropertyPanel::Show(const std::optional<app::ChannelFormValues>& values) {
  const app::ChannelFormValues shown = values.value_or(app::ChannelFormValues{});
  address_->setText(ToQString(shown.address));
  fields_->SetValues(shown);
  ApplyRules();
  setEnabled(values.has_value());
}

app::ChannelFormValues PropertyPanel::Values() const {
  app::ChannelFormValues values;
  values.address = FromQString(address_->text());
  fields_->ReadValues(values);
  return values;
}

void PropertyPanel::ApplyRules() {
  fields_->ApplyEnabling(app::FormEnabling(Values()));
}

}  // namespace ui
