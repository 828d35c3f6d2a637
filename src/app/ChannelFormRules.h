// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/feeds/TDefParamType.h"
#include "store/ChannelOptions.h"
#include "store/ChannelTree.h"

namespace app {

// The values of the registration settings as the dialog's (and the property panel's)
// controls hold them. Texts are code page 932.
struct ChannelFormValues {
  std::string address;        // Edit (Edit_Rdf in the property panel)
  int itemMax = 0;            // CB_ItemMax, 0..9999 step 5; 0 = the global setting
  int dateMax = 0;            // CB_DateMax, 0..9999 step 5; 0 = the global setting
  bool refresh = false;       // CB_Refresh
  int refreshTime = 60;       // CB_RefreshTime, 15..300 step 5
  bool noRead = false;        // CB_NoRead
  bool dateCompare = false;   // CB_DateCompare
  std::string filter;         // ED_Filter
  std::string user;           // ED_User
  std::string password;       // ED_Pass
  bool htmlRss = false;       // CB_HtmlRss
  std::string regexpr;        // ED_Regexpr
  bool autoDownload = false;  // CB_AutoDownload
  bool enToJp = false;        // CB_EnToJp
  bool linkOpen = false;      // CB_LinkOpen
};

// The spin ranges.
inline constexpr int kItemMaxLimit = 9999;
inline constexpr int kDateMaxLimit = 9999;
inline constexpr int kRefreshTimeMin = 15;
inline constexpr int kRefreshTimeMax = 300;
inline constexpr int kSpinStep = 5;

// Which controls are enabled for the values shown.
struct ChannelFormEnabling {
  bool ok = false;           // OKBtn and SB_Kakunin
  bool dateCompare = false;  // CB_DateCompare
  bool credentials = false;  // ED_User and ED_Pass
  bool regexpr = false;      // ED_Regexpr
  bool refreshTime = false;  // CB_RefreshTime and its label
};
ChannelFormEnabling FormEnabling(const ChannelFormValues& values);

// CB_AutoDownload hands enclosures to the media program. Without the program the box is
// shown disabled with this hint; with it the hint is empty.
std::string AutoDownloadHint(bool mediaProgramInstalled);

// Whether the address box holds something to register: not empty, not exactly "http://".
bool AddressAccepted(std::string_view address);

// The text an empty address box starts with, from the clipboard text.
std::string ClipboardPrefill(std::string_view clipboard);

// The channel options the values stand for: spins clamped to their ranges, the credential
// scrambled (empty when user and password are), the interval only when checked. The form
// has no field for the Bloglines address, so `clone` stays empty.
store::ChannelOptions OptionsFromForm(const ChannelFormValues& values);

// The registration record of the values: their options, marked as present.
formats::TDefParamType DefaultsFromForm(const ChannelFormValues& values);

// The values that show a channel's options, every value but the address. An interval of
// 0 shows unchecked with `refreshTime`, the global interval.
ChannelFormValues FormValuesOf(const store::ChannelOptions& options, int refreshTime);

// One entry of CB_Tree: the root or a group, in tree order, with its depth (root 0).
struct TreeEntry {
  store::TTreeNodeExt* node = nullptr;
  int depth = 0;
  std::string caption;
};
std::vector<TreeEntry> TreeEntries(const store::TChannelTree& tree);
// The entry preselected for a target: the target itself when it is a group or the root,
// else its parent; 0 (the root) when neither is listed.
int PreselectedEntry(const std::vector<TreeEntry>& entries, const store::TTreeNodeExt* target);

// The caption and message of the dialog in its three modes.
struct FormTexts {
  std::string caption;
  std::string message;
};
FormTexts FormTextsFor(bool bloglinesMode, bool keywordMode);

// Ctrl+B and Ctrl+G in the address box: the Bloglines subscription list (only while
// BloglinesSync is on; empty otherwise) and the Gmail Atom feed.
std::string BloglinesListAddress(bool bloglinesSync);
std::string GmailFeedAddress();

// The address an Internet shortcut file points to: the URL= line of its
// [InternetShortcut] section; none when the file cannot be read or holds none.
std::optional<std::string> ReadInternetShortcut(const std::string& path);
// The same for the text of such a file.
std::optional<std::string> InternetShortcutAddress(std::string_view fileText);

// A registration prepared by a synchronisation panel row.
struct RegistrationPreset {
  std::string title;
  std::string site;
  std::string address;
  std::string other;  // a Bloglines row's clone text, else the extraction pattern
  bool htmlRss = false;
};

// Where the dialog asks for the preset of the row the user chose. The default has none.
class RegistrationPresetSource {
 public:
  virtual ~RegistrationPresetSource() = default;
  virtual std::optional<RegistrationPreset> TakePreset() { return std::nullopt; }
};

// The enclosure question after a feed with enclosures was registered.
std::string EnclosureQuestion();

}  // namespace app
