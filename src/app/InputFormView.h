// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "app/ChannelFormRules.h"

namespace app {

// The registration dialog TInputForm as the dialog loop sees it. The desktop program
// implements it with a modal dialog that only shows and forwards: every rule (enabling,
// clipboard prefill, Ctrl+B and Ctrl+G, shortcut files) is in ChannelFormRules. Texts
// are code page 932.
class InputFormView {
 public:
  virtual ~InputFormView() = default;

  // Caption and LB_Message.
  virtual void SetTexts(const FormTexts& texts) = 0;
  // CB_Tree's entries (indented by depth) and the one shown.
  virtual void SetTreeEntries(const std::vector<TreeEntry>& entries, int selected) = 0;
  // The drop-down list of the address box: the active tab's found feeds ("-" entries are
  // separators). The box is light yellow (0xFFFFBE) when the list is not empty.
  virtual void SetAddressList(const std::vector<std::string>& feeds) = 0;
  // Every control's value.
  virtual void SetValues(const ChannelFormValues& values) = 0;
  // CB_AutoDownload is shown only when Podhall is installed.
  virtual void SetAutoDownloadVisible(bool visible) = 0;
  virtual void SetDetailShown(bool shown) = 0;

  // Shows the dialog modally with what it was given (or kept from the last showing):
  // true for OK, false for Cancel. The values are read back afterwards.
  virtual bool ShowModal() = 0;
  virtual ChannelFormValues Values() const = 0;
  virtual int SelectedTreeEntry() const = 0;
  virtual bool DetailShown() const = 0;
};

}  // namespace app
