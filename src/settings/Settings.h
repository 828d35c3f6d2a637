// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/Credentials.h"
#include "settings/TMouseActionType.h"

namespace settings {

// The view modes of the main window, stored in FormViewMode under these numbers.
enum class ViewMode : int {
  kStandard = 1,
  kList = 2,
  kBrowser = 3,
  kView = 4,
};

// The view mode of a stored FormViewMode (which the settings keep within 1..4).
inline ViewMode ViewModeOf(int formViewMode) {
  return static_cast<ViewMode>(formViewMode);
}

// The stored numbers, for the code that still keeps FormViewMode as a number.
inline constexpr int kModeStandard = static_cast<int>(ViewMode::kStandard);
inline constexpr int kModeList = static_cast<int>(ViewMode::kList);
inline constexpr int kModeBrowser = static_cast<int>(ViewMode::kBrowser);
inline constexpr int kModeView = static_cast<int>(ViewMode::kView);

// The values of TrayRefreshMode: when the program updates by itself and whether it stays
// in the notification area when its window closes. A stored number that names no mode is
// kept as it is and compared by its size, so that the same file always acts the same.
enum class TrayMode : int {
  kNone = 0,              // 何もしない
  kAtStart = 1,           // 起動時(１５分毎): an update at start, and closing ends the program
  kResident = 2,          // 常駐のみ
  kResidentPeriodic = 3,  // 常駐後定期的に更新
};

// Whether the program stays in the notification area (every mode from kResident on).
constexpr bool IsResident(TrayMode mode) {
  return mode >= TrayMode::kResident;
}

// The values of SearchThread: what a search item shows in the channel tree, and so which
// items its count examines.
enum class SearchDisplay : int {
  kHighlight = 0,    // 強調: bold while it has unread matches, no numbers
  kUnreadCount = 1,  // 未読数
  kAllCounts = 2,    // 全て: unread and total, which takes every item
};

// The values of TabLock, EvwTabLock and BrwTabLock: where a site opens from the headline
// page. Numbers that name no behaviour are kept as they are, and the tabs decide what
// they mean.
enum class TabBehaviour : int {
  kNormal = 0,           // 標準
  kNewWithFocus = 1,     // a new tab, which takes the focus
  kNewInBackground = 2,  // a new tab behind the current one
  kKeepSites = 3,        // a site shown is never replaced by a summary
};

// Most entries the address and keyword histories hold.
inline constexpr int kHistoryMax = 20;

// Columns of the headline list whose widths are kept.
inline constexpr size_t kListColumns = 5;

// The address box's own entries, which the address history holds until the user has
// typed addresses of his own.
std::array<std::string, kHistoryMax> DefaultAddressHistory();

// The program's preferences in memory, one typed record owned by the application and
// passed to whoever reads it. Members are named after their keys in plover.ini and come
// in the order the loader reads them. Every member starts at its default, so a missing
// key in plover.ini changes nothing. The one default that depends on the clock,
// MhtSaveRun, is set by DefaultSettings.
struct Settings {
  // Ev_Extension
  std::string ProgramTitle = "Plover";  // read at start-up only, never written

  // Ev_Main
  int Pausetime = 20;
  int MhtSaveDate = 7;
  int MhtSaveRun = 0;  // DOS packed date-time of the last purge; "now" by default
  std::string ScrapMhtFolder;
  int ScraptFolderOpt = 0;  // 0 one folder, 1 daily, 2 weekly, 3 monthly, 4 yearly
  bool MhtImages = true;
  bool MhtBGSounds = true;
  bool MhtObjects = true;
  bool MhtStyleSheets = true;
  bool MhtFrames = true;
  int EvwSeekMax = 12;  // 1 to 50
  SearchDisplay SearchThread = SearchDisplay::kUnreadCount;
  double RefreshTime = 0;  // days since 1899-12-30, local time
  bool AutoUpdate = true;
  bool MidokuSave = false;
  int DupAction = 0;  // 0 nothing, 1 title and link, 2 link
  int TreeOpen = 1;
  bool DialogQues = true;
  bool ListBold = true;
  bool TreeBold = true;
  bool FolderSeek = true;
  bool SearchAll = true;
  bool Cscroll = true;
  int TreeFontSize = 9;
  int ListFontSize = 9;
  int ItemMax = 100;
  int DateMax = 60;  // a stored -1 (or none) becomes 60
  std::string SearchEngine;
  std::string HomePage;
  bool BrankStart = true;
  TrayMode TrayRefreshMode = TrayMode::kResident;
  int TrayRefreshTime = 60;  // minutes, 60 to 300
  bool TaskIconMode = false;
  int NoBalloon = 0;
  int KidokuTime = 0;
  bool NoTreeFocus = false;
  int NoListSelect = 0;
  int LinkOpen = 0;
  int ReadChange = 0;
  bool OneClickEdit = false;
  int SupportTags = 2;
  bool SearchTitle = true;
  bool SearchDesc = false;
  bool SearchCreate = true;
  bool SearchCagory = true;
  int HTTPTimeout = 20;
  int HTTPTotalTimeout = 300;  // seconds a whole fetch may take
  int ViewStyle = 0;
  std::string ViewName;
  bool MultiLineTab = false;
  int MaxDescription = 512;
  bool ListNoAddin = true;
  bool NormalNoAddin = false;
  bool EvwNoAddin = false;
  bool SeekGroup = false;
  int HttpThreadMax = 8;
  int InternetPreConfig = 1;
  std::string ProxyServer;
  int ProxyPort = 8080;
  Credential ProxySetting;  // plain in memory, scrambled in the file
  bool ProxyAddUrl = false;
  bool AutoAtom = true;
  bool AutoPopup = true;

  // Ev_Secure
  bool SecureMode = false;  // the browser's security mode is 2 when set, 1 otherwise
  bool ListNoScript = true;
  bool ListNoFrame = true;
  bool ListNoVideo = true;
  bool ListNoSound = true;
  bool ListNoImage = false;
  bool SecNoScript = true;
  bool SecNoFrame = false;
  bool SecNoVideo = false;
  bool SecNoSound = false;
  bool SecNoImage = false;
  bool Silent = false;
  bool ActiveXInstall = true;
  bool FileDownload = true;
  bool PopupBlock = true;
  bool LocalLockDown = true;
  bool ProtocolLockDown = false;
  bool BlockInputPrompt = false;

  // Ev_Address: Address[0] is the key Address1.
  int AddressMax = 3;
  std::array<std::string, kHistoryMax> Address = DefaultAddressHistory();

  // Ev_Keyword: Keyword[0] is the key Keyword1.
  int KeywordMax = 0;
  std::array<std::string, kHistoryMax> Keyword;

  // Ev_Action. MouseActMax is the number of MouseAct entries; MouseAct[0] is MouseAct1.
  bool MouseAction = false;
  std::vector<TMouseActionType> MouseAct = BuiltInMouseActions();
  int MouseButtonLR = 0;  // 0 no command, n command n - 1
  int MouseButtonRL = 0;
  int MouseButtonLSU = 0;
  int MouseButtonLSD = 0;
  int MouseButtonRSU = 0;
  int MouseButtonRSD = 0;
  int MouseButtonMid = 0;
  int MouseButtonFour = 1;
  int MouseButtonFive = 2;

  // Ev_FTP
  bool FTPSync = false;
  std::string FTPSyncExt = "syn";
  int FTPTimeOut = 10;
  bool FTPPassive = true;
  int FTPPort = 21;
  std::string FTPServerName;
  std::string FTPFolderName;  // never with a leading "/"
  std::string FTPUserName;    // scrambled, as stored; see ReadCredential

  // Ev_WebService
  bool Hatenabook = true;
  bool Delicious = true;

  // Ev_Bloglines
  bool BloglinesSync = false;
  bool BloglinesFlag = true;
  bool BloglinesClone = false;
  bool BloglinesDbl = true;
  std::string BloglinesUser;  // scrambled, as stored; see ReadCredential

  // Ev_Html
  int HtmlExceptLen = 5;

  // Sz_Headlist: LstWidth[0] is the key LstWidth_1.
  std::array<int, kListColumns> LstWidth = {110, 400, 100, 100, 100};

  // Sz_ViewMode
  bool ViewSetSave = false;
  bool ExtViewSetSave = false;
  bool AllowDrag = true;
  bool BrowserIconB = false;
  bool ToolCaption = true;
  int FormViewMode = 1;  // 1 standard, 2 list, 3 browser, 4 view
  int RestoreTab = 0;
  int BrowserPanel = 1;
  std::string ThemeName = "Default";
  std::string StyleName = "Simple";
  bool GridLineColor = true;
  bool ListHeader = true;
  bool ListAdjust = false;
  bool GridLines = false;
  bool CursorTop = false;
  TabBehaviour TabLock = TabBehaviour::kNormal;
  TabBehaviour EvwTabLock = TabBehaviour::kNewWithFocus;
  TabBehaviour BrwTabLock = TabBehaviour::kNormal;
  bool TabAdd = false;
  bool TabDelLeft = true;
  int SortNum = 0;
  int EvwSortNum = 3;
  bool SortUpDown = false;
  bool EvwSortUpDown = true;
  int DateMode = 0;
  int EvwDateMode = 0;
  int MidokuOnly = 0;
  int EvwMidokuOnly = 2;
  bool AddDetail = false;

  // No key of the file: set while the values come from a damaged plover.ini (see
  // LoadSettings). ItemMax, DateMax and MidokuSave may then not be the user's, so nothing
  // drops or trims a channel's items by them until the user has saved the settings.
  bool ItemLimitsHeld = false;

  bool operator==(const Settings&) const = default;
};

// The DOS packed form of a local date and time: from the high bit down, years since
// 1980 (7 bits), month, day, hours, minutes and seconds / 2. Years before 1980 count as
// 1980; values out of range are clamped to the field.
int32_t DosPackedDateTime(int year, int month, int day, int hour, int minute, int second);

// A record with every default, MhtSaveRun set to `nowDosDateTime` (see DosPackedDateTime).
Settings DefaultSettings(int32_t nowDosDateTime);

}  // namespace settings
