// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/IniFile.h"

namespace settings {

// What the save-all needs from the main window, which lives in a higher layer: the
// state of its controls, its layout, and the custom lists it keeps.
class SaveAllHost {
 public:
  virtual ~SaveAllHost() = default;

  // The widths of the headline list's columns from the first on; fewer than five when
  // the list has fewer columns.
  virtual std::vector<int> ListColumnWidths() = 0;

  // The entries of the address box and of the keyword filter box, newest first.
  virtual std::vector<std::string> AddressBoxItems() = 0;
  virtual std::vector<std::string> KeywordBoxItems() = 0;

  // The theme selector's current entry; nothing when it has none.
  virtual std::optional<std::string> CurrentThemeName() = 0;

  // Writes the main window's geometry (TControlSize::WriteSize) and the toolbar layout of
  // the current view mode into the settings file's object.
  virtual void WriteLayout(IniFile& ini) = 0;

  // Stores the search box history with the selected search engine, and saves the custom
  // lists; false when they could not be saved.
  virtual bool SaveCustomLists() = 0;
};

}  // namespace settings
