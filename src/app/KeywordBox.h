// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Dialogs.h"
#include "present/HeadlineList.h"
#include "settings/Settings.h"

namespace app {

// The keyword filter box above the headline list (CB_Keyword) with its history, and its
// toggle (SB_Keyword, Ctrl+Y). The widget shows Text(), History() and FilterOn() and calls
// the members below for the user's actions; after each call that changes what it shows it
// hears `Changed` and reads the three again.
class KeywordBox {
 public:
  KeywordBox(settings::Settings& settings, present::HeadlineList& list);

  // Takes the history saved in the settings (Keyword1 .. KeywordMax), at start.
  void LoadHistory();

  const std::string& Text() const { return text_; }
  // The drop-down entries, newest first: also what the settings save.
  const std::vector<std::string>& History() const { return history_; }
  bool FilterOn() const { return filterOn_; }

  void SetChanged(std::function<void()> changed) { changed_ = std::move(changed); }

  // The user edited the box. The list is not redisplayed, but the next display of a node
  // filters by the new text.
  void TextEdited(std::string text);
  // Enter in the box: with Shift held or the drop-down open it does nothing; else the
  // filter goes on and is applied.
  void EnterPressed(bool shiftHeld, bool dropDownOpen);
  // A history entry was picked: it becomes the text, the filter goes on and is applied.
  void HistoryPicked(size_t index);
  // The toggle button or Ctrl+Y: the filter goes on or off and the node is shown again.
  void Toggle();
  // The text goes to the top of the history (replacing an entry equal to it but for the
  // case of ASCII letters) and the selected node is shown again.
  void Apply();

  // "アドレス/検索バーの履歴のリセット(&D)...": on Yes the address history, the web
  // search history (`clearWebSearch`, when the program has one) and this history are
  // emptied. True when they were.
  bool ResetHistories(platform::Dialogs& dialogs, const std::function<void()>& clearAddressBox,
                      const std::function<void()>& clearWebSearch);

 private:
  void Redisplay();
  void Notify();

  settings::Settings& settings_;
  present::HeadlineList& list_;
  std::string text_;
  std::vector<std::string> history_;
  bool filterOn_ = false;
  std::function<void()> changed_;
};

// Equality of two history entries: ASCII letters compared without case, every byte of a
// double-byte character as it is.
bool SameKeyword(std::string_view a, std::string_view b);

// Puts an entry at the top of a box's history: an entry equal to it under SameKeyword goes
// (the latest spelling stays), and the history keeps at most kHistoryMax entries.
void AddToHistory(std::vector<std::string>& history, const std::string& entry);

}  // namespace app
