// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/ChannelFormRules.h"
#include "app/InputFormView.h"
#include "fetch/ChannelRegistration.h"
#include "platform/Dialogs.h"
#include "platform/UiLock.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/SearchCountControl.h"

namespace app {

// What the registration dialog needs of the main window.
class AddChannelHost {
 public:
  virtual ~AddChannelHost() = default;
  // Ends an edit of a tree caption in progress.
  virtual void EndLabelEdit() {}
  // False in the list-only layout or while the tree is hidden.
  virtual bool TreeShown() const { return true; }
  virtual store::TTreeNodeExt* SelectedNode() const = 0;
  virtual void ExpandNode(store::TTreeNodeExt* /*node*/) {}
  // Gives the synchronisation panel row of that feed address the registered mark.
  virtual void MarkRegistered(const std::string& /*rdfurl*/) {}
  // A new dialog; the loop keeps it until it ends.
  virtual std::unique_ptr<InputFormView> CreateInputForm() = 0;
};

// Everything the dialog loop works with, owned by the application.
struct AddChannelServices {
  const settings::Settings& Settings;
  store::ChannelStore& Store;
  platform::Dialogs& Dialogs;
  fetch::ChannelRegistration& Registration;
  store::SearchCountControl& SearchCount;
  AddChannelHost& Host;
  // Held while an update run has the user interface: the dialog does not open then.
  const platform::UiLock& Lock;
  std::function<bool(bool ask)> CheckOffline;            // true: the system stays offline
  std::function<void(bool enable)> PeriodicTimer;        // Timer_Koushin off and on
  std::function<std::vector<std::string>()> FoundFeeds;  // the active tab's
  std::function<bool()> PodhallInstalled;
  RegistrationPresetSource* Presets = nullptr;  // none: no preset
};

// AddChannelDialog: the registration dialog and its loop, shown again after a failed
// registration with its contents kept, until a registration succeeds or the user cancels.
class AddChannelDialog {
 public:
  explicit AddChannelDialog(AddChannelServices services) : services_(std::move(services)) {}

  // True when a channel was registered. `node`: the tree's selection is the target (when
  // it is in the user's tree); none: the root.
  bool Run(const std::string& address, store::TTreeNodeExt* node, bool bloglinesMode, bool keywordMode);

 private:
  store::TTreeNodeExt* Target(store::TTreeNodeExt* node) const;
  void Prepare(InputFormView& form, const std::string& address, bool bloglinesMode, bool keywordMode,
               formats::TDefParamType& preset);
  bool Registered(store::TTreeNodeExt* target);

  AddChannelServices services_;
  std::vector<TreeEntry> entries_;
  int preselected_ = 0;
  bool detailShown_ = false;  // the detail area survives for the program run
};

}  // namespace app
