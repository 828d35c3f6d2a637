// SPDX-License-Identifier: MIT
#include "app/AddChannelDialog.h"

#include "platform/Ascii.h"
#include "store/TSiteList.h"

namespace app {

store::TTreeNodeExt* AddChannelDialog::Target(store::TTreeNodeExt* node) const {
  store::TTreeNodeExt* root = services_.Store.Tree().RootNode();
  if (!services_.Host.TreeShown() || node == nullptr) return root;
  store::TTreeNodeExt* selected = services_.Host.SelectedNode();
  return selected != nullptr && selected->IsSameOrBelow(root) ? selected : root;
}

void AddChannelDialog::Prepare(InputFormView& form, const std::string& address, bool bloglinesMode, bool keywordMode,
                               formats::TDefParamType& preset) {
  ChannelFormValues values;
  values.address = address;
  bool detail = detailShown_;
  if (services_.Presets != nullptr) {
    if (const std::optional<RegistrationPreset> row = services_.Presets->TakePreset()) {
      if (!row->address.empty()) values.address = row->address;
      if (row->htmlRss) {
        values.htmlRss = true;
        detail = true;
      }
      if (!row->title.empty() || !row->site.empty()) {
        preset.OverrideTitle = 1;
        preset.title = row->title;
        preset.link = row->site;
        preset.clone = row->other;
      } else {
        values.regexpr = row->other;
      }
    }
  }
  form.SetTexts(FormTextsFor(bloglinesMode, keywordMode));
  form.SetAutoDownloadVisible(services_.PodhallInstalled && services_.PodhallInstalled());
  form.SetTreeEntries(entries_, preselected_);
  form.SetAddressList(services_.FoundFeeds ? services_.FoundFeeds() : std::vector<std::string>{});
  form.SetValues(values);
  form.SetDetailShown(detail);
}

bool AddChannelDialog::Run(const std::string& address, store::TTreeNodeExt* node, bool bloglinesMode,
                           bool keywordMode) {
  services_.Host.EndLabelEdit();
  if (services_.Lock.UiLocked()) return false;
  if (services_.CheckOffline && services_.CheckOffline(true)) return false;
  if (services_.PeriodicTimer) services_.PeriodicTimer(false);
  store::TTreeNodeExt* target = Target(node);
  entries_ = TreeEntries(services_.Store.Tree());
  preselected_ = PreselectedEntry(entries_, target);
  std::unique_ptr<InputFormView> form = services_.Host.CreateInputForm();
  formats::TDefParamType preset;
  Prepare(*form, address, bloglinesMode, keywordMode, preset);
  bool registered = false;
  bool searchStopped = false;
  while (form->ShowModal()) {
    const int chosen = form->SelectedTreeEntry();
    if (chosen != preselected_ && chosen >= 0 && static_cast<size_t>(chosen) < entries_.size()) {
      target = entries_[static_cast<size_t>(chosen)].node;
    }
    formats::TDefParamType defaults = DefaultsFromForm(form->Values());
    defaults.OverrideTitle = preset.OverrideTitle;
    defaults.title = preset.title;
    defaults.link = preset.link;
    defaults.clone = preset.clone;
    services_.SearchCount.Stop();
    searchStopped = true;
    const uint8_t result = services_.Registration.AddChannels({form->Values().address}, target, false, defaults);
    if (result != formats::kFeedNothingDone && result < formats::kFeedInternalError) {
      registered = Registered(target);
      break;
    }
  }
  detailShown_ = form->DetailShown();
  if (services_.PeriodicTimer && services_.Settings.TrayRefreshMode == settings::TrayMode::kResidentPeriodic)
    services_.PeriodicTimer(true);
  if (registered || searchStopped || services_.Registration.Changed()) services_.SearchCount.Restart();
  return registered;
}

bool AddChannelDialog::Registered(store::TTreeNodeExt* target) {
  if (services_.Settings.TreeOpen == 1 && target->Kind() == store::kKindGroup) services_.Host.ExpandNode(target);
  store::TTreeNodeExt* channel = services_.Registration.FirstChannel();
  store::TSiteList* list = channel != nullptr ? channel->Data() : nullptr;
  if (list != nullptr) services_.Host.MarkRegistered(list->Site.rdfurl);
  if (list != nullptr && services_.Registration.EnclosureFound() && list->encflag == 0 &&
      services_.Dialogs.AskYesNo(EnclosureQuestion(), platform::MessageType::kConfirmation,
                                 platform::DefaultAnswer::kYes)) {
    list->encflag = 1;
    services_.Store.SetModified();
  }
  return true;
}

}  // namespace app
