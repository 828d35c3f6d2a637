// SPDX-License-Identifier: MIT
#include "app/KeywordBox.h"

#include <algorithm>

#include "platform/Ascii.h"
#include "platform/CodePage.h"
#include "text/Literal.h"

namespace app {

bool SameKeyword(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    const unsigned char c = static_cast<unsigned char>(a[i]);
    if (platform::IsLeadByte(c) && i + 1 < a.size()) {
      // The trail byte may look like an ASCII letter; it is part of the character.
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (platform::AsciiLower(a[i]) != platform::AsciiLower(b[i])) return false;
  }
  return true;
}

void AddToHistory(std::vector<std::string>& history, const std::string& entry) {
  auto same = std::find_if(history.begin(), history.end(),
                           [&entry](const std::string& old) { return SameKeyword(old, entry); });
  if (same != history.end()) history.erase(same);
  history.insert(history.begin(), entry);
  if (history.size() > static_cast<size_t>(settings::kHistoryMax)) history.resize(settings::kHistoryMax);
}

KeywordBox::KeywordBox(settings::Settings& settings, present::HeadlineList& list) : settings_(settings), list_(list) {}

void KeywordBox::LoadHistory() {
  history_.clear();
  const int count = std::clamp(settings_.KeywordMax, 0, settings::kHistoryMax);
  for (int i = 0; i < count; ++i) history_.push_back(settings_.Keyword[static_cast<size_t>(i)]);
  Notify();
}

void KeywordBox::TextEdited(std::string text) {
  text_ = std::move(text);
  list_.SetKeywordFilter(filterOn_, text_);
}

void KeywordBox::EnterPressed(bool shiftHeld, bool dropDownOpen) {
  if (shiftHeld || dropDownOpen) return;
  filterOn_ = true;
  Apply();
}

void KeywordBox::HistoryPicked(size_t index) {
  if (index >= history_.size()) return;
  text_ = history_[index];
  filterOn_ = true;
  Apply();
}

void KeywordBox::Toggle() {
  filterOn_ = !filterOn_;
  Redisplay();
}

void KeywordBox::Apply() {
  if (!text_.empty()) AddToHistory(history_, text_);
  Redisplay();
}

bool KeywordBox::ResetHistories(platform::Dialogs& dialogs, const std::function<void()>& clearAddressBox,
                                const std::function<void()>& clearWebSearch) {
  if (!dialogs.AskYesCancel(text::J("アドレス/検索バーの履歴をリセットしますか？"),
                            platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)) {
    return false;
  }
  for (std::string& address : settings_.Address) address.clear();
  settings_.AddressMax = 0;
  if (clearAddressBox) clearAddressBox();
  if (clearWebSearch) clearWebSearch();
  for (std::string& keyword : settings_.Keyword) keyword.clear();
  settings_.KeywordMax = 0;
  history_.clear();
  Notify();
  return true;
}

void KeywordBox::Redisplay() {
  list_.SetKeywordFilter(filterOn_, text_);
  Notify();
  list_.ShowNode(list_.SelectedNode(), true);
}

void KeywordBox::Notify() {
  if (changed_) changed_();
}

}  // namespace app
