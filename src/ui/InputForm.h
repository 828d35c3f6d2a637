// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>
#include <functional>
#include <string>
#include <vector>

#include "app/InputFormView.h"

class QComboBox;
class QLabel;
class QPushButton;
class QFrame;
class QMimeData;

namespace ui {

// The address a drop brings: a file's path (an Internet shortcut's target instead of the
// shortcut), a link's address, or a text up to its first NUL character.
QString DroppedAddress(const QMimeData& data);

class ChannelSettingsFields;

// The registration dialog "チャンネル -Feed/OPML- の追加": the address box with the feeds the
// page offered, where to register, and the channel's settings in a detail area. It shows
// what the registration dialog's loop gives it and hands back what the user chose; the
// rules for its buttons and boxes are the form rules below the window.
class InputForm : public QDialog, public app::InputFormView {
  Q_OBJECT

 public:
  struct Options {
    bool bloglinesSync = false;                         // Ctrl+B puts in the subscription list
    std::function<void(const std::string&)> openInTab;  // 確認: the address in a new tab
  };
  InputForm(QWidget* owner, Options options);

  // app::InputFormView
  void SetTexts(const app::FormTexts& texts) override;
  void SetTreeEntries(const std::vector<app::TreeEntry>& entries, int selected) override;
  void SetAddressList(const std::vector<std::string>& feeds) override;
  void SetValues(const app::ChannelFormValues& values) override;
  void SetAutoDownloadVisible(bool visible) override;
  void SetDetailShown(bool shown) override;
  bool ShowModal() override;
  app::ChannelFormValues Values() const override;
  int SelectedTreeEntry() const override;
  bool DetailShown() const override { return detailShown_; }

  // For tests: the parts a user works with.
  QComboBox& AddressBox() const { return *address_; }
  QComboBox& TreeBox() const { return *tree_; }
  QPushButton& OkButton() const { return *ok_; }
  QPushButton& CheckButton() const { return *check_; }
  ChannelSettingsFields& Fields() const { return *fields_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void ApplyRules();
  void PlaceOnOwner();

  Options options_;
  QLabel* message_ = nullptr;      // LB_Message
  QComboBox* address_ = nullptr;   // Edit
  QComboBox* tree_ = nullptr;      // CB_Tree
  QPushButton* ok_ = nullptr;      // OKBtn
  QPushButton* check_ = nullptr;   // SB_Kakunin
  QPushButton* detail_ = nullptr;  // DetailBtn
  QFrame* separator_ = nullptr;
  ChannelSettingsFields* fields_ = nullptr;
  bool detailShown_ = false;
  bool hasFoundFeeds_ = false;
};

}  // namespace ui
