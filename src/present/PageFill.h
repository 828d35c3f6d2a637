// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "store/TSiteRecord.h"

// Filling one style template with the data of an item and its channel: every placeholder's
// value, the anchors the headline pages carry (their own command links included), the
// secure-mode rule for addresses and the description with its links made absolute. All
// text is code page 932.
namespace present {

// The index of a fill: 0 and above for an entry of the view-mode page list, kIndexSingle
// for the one entry of a view-mode message, kIndexNone for a selected headline or a
// message outside view mode.
inline constexpr int kIndexSingle = -1;
inline constexpr int kIndexNone = -2;

// The host of the English-to-Japanese page translation, the same service the built-in
// link buttons use, and the path and query the address to translate follows.
inline constexpr std::string_view kTranslationHost = "www.excite.co.jp";
inline constexpr std::string_view kTranslationPath = "/world/english/web/?wb_lp=ENJA&wb_url=";

// Where a page finds the program's own files: the addresses of the program folder, of the
// data folder's "system" folder (the state icons, the enclosure images) and of its
// "styles" folder, as the page sees them, each ending with "/". The desktop program serves
// the page under a scheme of its own and gives that scheme's addresses here; FileLocations
// gives plain file addresses.
struct PageLocations {
  std::string programUrl;
  std::string systemUrl;
  std::string stylesUrl;
};

// "file://" addresses of the folders (native paths, with or without their trailing "/"),
// written as the styles write them into their CSS.
PageLocations FileLocations(const std::string& programFolder, const std::string& dataFolder);

// What the page control of a view-mode page shows.
struct PageControlState {
  size_t listCount = 0;  // entries of the page list, empty slots included
  size_t pageFirst = 0;  // the first entry of the selected node (entries before are carried over)
  size_t pageStart = 0;  // the first entry of the page shown
  size_t pageSize = 12;  // EvwSeekMax
  bool showAllMode = false;
  bool unreadOnly = false;  // the read-state filter shows unread items only
};

// What every fill of one page shares.
struct FillContext {
  const PageLocations* locations = nullptr;
  bool secureMode = false;
  int maxDescription = 0;  // MaxDescription; 0 or below: descriptions are never cut
  bool podhallInstalled = false;
  PageControlState control;
};

// The inputs of one fill: the item (an empty record with only a title and link for a
// message), its channel's header, the channel's caption in the tree and its "translate
// links" flag (entojp).
struct FillInputs {
  const store::TSiteRecord* item = nullptr;
  const store::TSiteRecord* channel = nullptr;
  std::string_view treeCaption;
  bool translate = false;
};

// Replaces every placeholder of `text` (a name between two marker characters) by its
// value. The text is read once from left to right and the values are never read again,
// so nothing taken from a feed can pose as a placeholder; for any template whose
// placeholders are apart from one another the result is that of replacing them one name
// after the other. An unknown name stays as it is. With `noCheck` the read-state icon and
// the option anchor stay empty (entries of the error log). Missing inputs give empty values.
void FillPlaceholders(std::string& text, int index, bool noCheck, const FillInputs& inputs, const FillContext& context);

// The pieces of a fill, for the page commands and the tests.

// Whether secure mode lets the address be opened: right-trimmed, it is empty or starts
// (ASCII case ignored) with "http:", "https:", "ftp:", "feed:" or "enclosure:".
bool SecureModeAllows(std::string_view address);

// What the program shows when the user tries to open an address secure mode refuses.
std::string SecureModeRefusal(std::string_view address);

// The address through the page translation when `translate` is set and the address is not
// blank nor one of the program's own "varnholt:" addresses; otherwise the address.
std::string TranslateAddress(std::string_view address, bool translate);

// An item's address (its link, comments or enclosure) made absolute against its channel's
// link. An address with a scheme of its own ("mailto:", "javascript:", the program's
// "varnholt:") stays as it is, and a blank one stays blank.
std::string PageItemAddress(std::string_view channelLink, std::string_view address);

// The text itself when it looks like markup, otherwise the text HTML-escaped (character
// references kept).
std::string PageText(std::string_view text);

// The relative addresses of the quoted href attributes of "<a " elements and the quoted src
// attributes of "<img " elements made absolute against `base`. Unquoted values, values
// with ":/", values with a scheme of their own, fragments and empty values are left alone.
std::string MakeLinksAbsolute(std::string_view text, std::string_view base);

// The description of an item as its page shows it: the content or description parts with
// their links made absolute against `base`, a plain text cut to `maxDescription`
// characters and " … 続く".
std::string ItemDescription(const store::TSiteRecord& item, std::string_view base, int maxDescription);

// The file name of an item's read-state icon ("flag_u.gif", "mht_p.gif", ...).
std::string ReadStateImage(const store::TSiteRecord& item);

// The page control of a view-mode page.
std::string PageControl(const PageControlState& state);

// `modified` as "yyyy/m/d h:nn" and as "yyyy年m月d日 h時n分"; empty for 0 and for values
// beyond any calendar.
std::string FormatItemDate(double modified);
std::string FormatItemDateJ(double modified);

}  // namespace present
