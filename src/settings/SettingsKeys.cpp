// SPDX-License-Identifier: MIT
#include "settings/private/SettingsKeys.h"

namespace settings {

namespace {

using S = Settings;
using K = KeyKind;

constexpr SettingsKey kMain[] = {
    {"Pausetime", &S::Pausetime},
    {"MhtSaveDate", &S::MhtSaveDate},
    {"MhtSaveRun", &S::MhtSaveRun},
    {"ScrapMhtFolder", &S::ScrapMhtFolder},
    {"ScraptFolderOpt", &S::ScraptFolderOpt},
    {"MhtImages", &S::MhtImages},
    {"MhtBGSounds", &S::MhtBGSounds},
    {"MhtObjects", &S::MhtObjects},
    {"MhtStyleSheets", &S::MhtStyleSheets},
    {"MhtFrames", &S::MhtFrames},
    {"EvwSeekMax", &S::EvwSeekMax, K::kPlain, 1, 50},
    {"SearchThread", &S::SearchThread},
    {"RefreshTime", {}, K::kRefreshTime},
    {"AutoUpdate", &S::AutoUpdate},
    {"MidokuSave", &S::MidokuSave},
    {"DupAction", &S::DupAction},
    {"TreeOpen", &S::TreeOpen},
    {"DialogQues", &S::DialogQues},
    {"ListBold", &S::ListBold},
    {"TreeBold", &S::TreeBold},
    {"FolderSeek", &S::FolderSeek},
    {"SearchAll", &S::SearchAll},
    {"Cscroll", &S::Cscroll},
    {"TreeFontSize", &S::TreeFontSize},
    {"ListFontSize", &S::ListFontSize},
    {"ItemMax", &S::ItemMax},
    {"DateMax", &S::DateMax, K::kDateMax},
    {"SearchEngine", &S::SearchEngine},
    {"HomePage", &S::HomePage},
    {"BrankStart", &S::BrankStart},
    {"TrayRefreshMode", &S::TrayRefreshMode},
    {"TrayRefreshTime", &S::TrayRefreshTime, K::kPlain, 60, 300},
    {"TaskIconMode", &S::TaskIconMode},
    {"NoBalloon", &S::NoBalloon},
    {"KidokuTime", &S::KidokuTime},
    {"NoTreeFocus", &S::NoTreeFocus},
    {"NoListSelect", &S::NoListSelect},
    {"LinkOpen", &S::LinkOpen},
    {"ReadChange", &S::ReadChange},
    {"OneClickEdit", &S::OneClickEdit},
    {"SupportTags", &S::SupportTags},
    {"SearchTitle", &S::SearchTitle},
    {"SearchDesc", &S::SearchDesc},
    {"SearchCreate", &S::SearchCreate},
    {"SearchCagory", &S::SearchCagory},
    {"HTTPTimeout", &S::HTTPTimeout},
    {"HTTPTotalTimeout", &S::HTTPTotalTimeout},
    {"ViewStyle", &S::ViewStyle},
    {"ViewName", &S::ViewName},
    {"MultiLineTab", &S::MultiLineTab},
    {"MaxDescription", &S::MaxDescription},
    {"ListNoAddin", &S::ListNoAddin},
    {"NormalNoAddin", &S::NormalNoAddin},
    {"EvwNoAddin", &S::EvwNoAddin},
    {"SeekGroup", &S::SeekGroup},
    // With no fetch allowed at a time an update run would never end.
    {"HttpThreadMax", &S::HttpThreadMax, K::kPlain, 1},
    {"InternetPreConfig", &S::InternetPreConfig},
    {"ProxyServer", &S::ProxyServer},
    {"ProxyPort", &S::ProxyPort},
    {"ProxySetting", {}, K::kProxySetting},
    {"ProxyAddUrl", &S::ProxyAddUrl},
    {"AutoAtom", &S::AutoAtom},
    {"AutoPopup", &S::AutoPopup},
};

constexpr SettingsKey kSecure[] = {
    {"SecureMode", &S::SecureMode, K::kSecureMode},
    {"ListNoScript", &S::ListNoScript},
    {"ListNoFrame", &S::ListNoFrame},
    {"ListNoVideo", &S::ListNoVideo},
    {"ListNoSound", &S::ListNoSound},
    {"ListNoImage", &S::ListNoImage},
    {"SecNoScript", &S::SecNoScript},
    {"SecNoFrame", &S::SecNoFrame},
    {"SecNoVideo", &S::SecNoVideo},
    {"SecNoSound", &S::SecNoSound},
    {"SecNoImage", &S::SecNoImage},
    {"Silent", &S::Silent},
    {"ActiveXInstall", &S::ActiveXInstall},
    {"FileDownload", &S::FileDownload},
    {"PopupBlock", &S::PopupBlock},
    {"LocalLockDown", &S::LocalLockDown},
    {"ProtocolLockDown", &S::ProtocolLockDown},
    {"BlockInputPrompt", &S::BlockInputPrompt},
};

constexpr SettingsKey kAddress[] = {
    {"AddressMax", &S::AddressMax, K::kAddressList, 0, kHistoryMax},
};

constexpr SettingsKey kKeyword[] = {
    {"KeywordMax", &S::KeywordMax, K::kKeywordList, 0, kHistoryMax},
};

constexpr SettingsKey kAction[] = {
    {"MouseAction", &S::MouseAction},         {"MouseActMax", {}, K::kMouseActList, -1, kMouseActLimit},
    {"MouseButtonLR", &S::MouseButtonLR},     {"MouseButtonRL", &S::MouseButtonRL},
    {"MouseButtonLSU", &S::MouseButtonLSU},   {"MouseButtonLSD", &S::MouseButtonLSD},
    {"MouseButtonRSU", &S::MouseButtonRSU},   {"MouseButtonRSD", &S::MouseButtonRSD},
    {"MouseButtonMid", &S::MouseButtonMid},   {"MouseButtonFour", &S::MouseButtonFour},
    {"MouseButtonFive", &S::MouseButtonFive},
};

constexpr SettingsKey kFtp[] = {
    {"FTPSync", &S::FTPSync},
    {"FTPSyncExt", &S::FTPSyncExt},
    {"FTPTimeOut", &S::FTPTimeOut},
    {"FTPPassive", &S::FTPPassive},
    {"FTPPort", &S::FTPPort},
    {"FTPServerName", &S::FTPServerName},
    {"FTPFolderName", &S::FTPFolderName, K::kFolderName},
    {"FTPUserName", &S::FTPUserName},
};

constexpr SettingsKey kWebService[] = {
    {"Hatenabook", &S::Hatenabook},
    {"Delicious", &S::Delicious},
};

constexpr SettingsKey kBloglines[] = {
    {"BloglinesSync", &S::BloglinesSync}, {"BloglinesFlag", &S::BloglinesFlag}, {"BloglinesClone", &S::BloglinesClone},
    {"BloglinesDbl", &S::BloglinesDbl},   {"BloglinesUser", &S::BloglinesUser},
};

constexpr SettingsKey kHtml[] = {
    {"HtmlExceptLen", &S::HtmlExceptLen},
};

constexpr SettingsKey kHeadlist[] = {
    {"LstWidth_", {}, K::kColumnWidths},
};

constexpr SettingsKey kViewMode[] = {
    {"ViewSetSave", &S::ViewSetSave},
    {"ExtViewSetSave", &S::ExtViewSetSave},
    {"AllowDrag", &S::AllowDrag},
    {"BrowserIconB", &S::BrowserIconB},
    {"ToolCaption", &S::ToolCaption},
    {"FormViewMode", &S::FormViewMode, K::kFormViewMode, 1, 4},
    {"RestoreTab", &S::RestoreTab},
    {"BrowserPanel", &S::BrowserPanel},
    {"ThemeName", &S::ThemeName, K::kThemeName},
    {"StyleName", &S::StyleName, K::kStyleName},
    {"GridLineColor", &S::GridLineColor},
    {"ListHeader", &S::ListHeader},
    {"ListAdjust", &S::ListAdjust},
    {"GridLines", &S::GridLines},
    {"CursorTop", &S::CursorTop},
    {"TabLock", &S::TabLock},
    {"EvwTabLock", &S::EvwTabLock},
    {"BrwTabLock", &S::BrwTabLock},
    {"TabAdd", &S::TabAdd},
    {"TabDelLeft", &S::TabDelLeft},
    // The headline list has six sortable columns.
    {"SortNum", &S::SortNum, K::kViewState, 0, 5},
    {"EvwSortNum", &S::EvwSortNum, K::kExtViewState, 0, 5},
    {"SortUpDown", &S::SortUpDown, K::kViewState},
    {"EvwSortUpDown", &S::EvwSortUpDown, K::kExtViewState},
    {"DateMode", &S::DateMode, K::kViewState},
    {"EvwDateMode", &S::EvwDateMode, K::kExtViewState},
    {"MidokuOnly", &S::MidokuOnly, K::kViewState},
    {"EvwMidokuOnly", &S::EvwMidokuOnly, K::kExtViewState},
    {"AddDetail", &S::AddDetail},
};

constexpr SettingsSection kSections[] = {
    {"Ev_Main", kMain},
    {"Ev_Secure", kSecure},
    {"Ev_Address", kAddress, true},
    {"Ev_Keyword", kKeyword, true},
    {"Ev_Action", kAction, true},
    {"Ev_FTP", kFtp},
    {"Ev_WebService", kWebService},
    {"Ev_Bloglines", kBloglines},
    {"Ev_Html", kHtml},
    {"Sz_Headlist", kHeadlist, true},
    {"Sz_ViewMode", kViewMode},
};

}  // namespace

std::span<const SettingsSection> SettingsSections() {
  return kSections;
}

}  // namespace settings
