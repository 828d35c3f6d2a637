// SPDX-License-Identifier: MIT
#include "app/ChannelFormRules.h"

#include <algorithm>

#include "fetch/FeedLinks.h"
#include "platform/Ascii.h"
#include "platform/Files.h"
#include "settings/Credentials.h"
#include "store/BloglinesAddress.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace app {
namespace {

constexpr std::string_view kEmptyAddress = "http://";

bool EndsWith(std::string_view text, std::string_view suffix) {
  return text.size() >= suffix.size() && text.substr(text.size() - suffix.size()) == suffix;
}

void AddGroups(store::TTreeNodeExt* node, int depth, std::vector<TreeEntry>& entries) {
  entries.push_back(TreeEntry{node, depth, node->Caption()});
  for (size_t index = 0; index < node->ChildCount(); ++index) {
    store::TTreeNodeExt* child = node->Child(index);
    if (child->Kind() == store::kKindGroup) AddGroups(child, depth + 1, entries);
  }
}

}  // namespace

ChannelFormEnabling FormEnabling(const ChannelFormValues& values) {
  ChannelFormEnabling enabling;
  enabling.ok = AddressAccepted(values.address);
  enabling.dateCompare = !values.htmlRss;
  // Link extraction cannot send credentials; a pattern channel can.
  enabling.credentials = !values.htmlRss || !values.regexpr.empty();
  enabling.regexpr = values.htmlRss;
  enabling.refreshTime = values.refresh;
  return enabling;
}

std::string AutoDownloadHint(bool mediaProgramInstalled) {
  return mediaProgramInstalled ? std::string() : text::J("Podhall がインストールされていないため使用できません");
}

bool AddressAccepted(std::string_view address) {
  return !address.empty() && address != kEmptyAddress;
}

std::string ClipboardPrefill(std::string_view clipboard) {
  const std::string text = text::TrimJ(clipboard);
  const std::string lower = fetch::LowerAddress(text);
  for (std::string_view page : {".htm", ".html", ".shtm", ".shtml"}) {
    if (EndsWith(lower, page)) return std::string(kEmptyAddress);
  }
  if (lower.starts_with("http:") && lower.find("http:", 5) == std::string::npos) return text;
  if (lower.starts_with("feed:") && (lower.size() <= 10 || lower.find("http:", 10) == std::string::npos)) {
    return text.substr(5);
  }
  return std::string(kEmptyAddress);
}

store::ChannelOptions OptionsFromForm(const ChannelFormValues& values) {
  store::ChannelOptions options;
  options.itemmax = static_cast<uint16_t>(std::clamp(values.itemMax, 0, kItemMaxLimit));
  options.datemax = static_cast<uint16_t>(std::clamp(values.dateMax, 0, kDateMaxLimit));
  options.refresh = values.refresh ? std::clamp(values.refreshTime, kRefreshTimeMin, kRefreshTimeMax) : 0;
  options.noread = values.noRead;
  options.datecomp = values.dateCompare;
  options.keyword = values.filter;
  if (!values.user.empty() || !values.password.empty()) {
    options.authorize = settings::StoreCredential(settings::Credential{values.user, values.password});
  }
  options.htmlrss = values.htmlRss;
  options.regexpr = values.regexpr;
  options.encflag = values.autoDownload;
  options.entojp = values.enToJp;
  options.linkop = values.linkOpen;
  return options;
}

formats::TDefParamType DefaultsFromForm(const ChannelFormValues& values) {
  formats::TDefParamType defaults;
  defaults.Options() = OptionsFromForm(values);
  defaults.Present = 1;
  return defaults;
}

ChannelFormValues FormValuesOf(const store::ChannelOptions& options, int refreshTime) {
  ChannelFormValues values;
  values.itemMax = options.itemmax;
  values.dateMax = options.datemax;
  values.refresh = options.refresh != 0;
  values.refreshTime = options.refresh != 0 ? options.refresh : refreshTime;
  values.noRead = options.noread != 0;
  values.dateCompare = options.datecomp != 0;
  values.filter = options.keyword;
  const settings::Credential credential = settings::ReadCredential(options.authorize);
  values.user = credential.User;
  values.password = credential.Password;
  values.htmlRss = options.htmlrss != 0;
  values.regexpr = options.regexpr;
  values.autoDownload = options.encflag != 0;
  values.enToJp = options.entojp != 0;
  values.linkOpen = options.linkop != 0;
  return values;
}

std::vector<TreeEntry> TreeEntries(const store::TChannelTree& tree) {
  std::vector<TreeEntry> entries;
  AddGroups(tree.RootNode(), 0, entries);
  return entries;
}

int PreselectedEntry(const std::vector<TreeEntry>& entries, const store::TTreeNodeExt* target) {
  if (target == nullptr) return 0;
  const store::TTreeNodeExt* group = target->Kind() == store::kKindGroup ? target : target->Parent();
  for (size_t index = 0; index < entries.size(); ++index) {
    if (entries[index].node == group) return static_cast<int>(index);
  }
  return 0;
}

FormTexts FormTextsFor(bool bloglinesMode, bool keywordMode) {
  if (bloglinesMode) return {text::J("Bloglines 全チャンネルの追加"), text::J("Bloglinesのチャンネルを全て追加します")};
  if (keywordMode)
    return {text::J("チャンネル クチコミの監視"), text::J("キーワードに一致するクチコミ情報を監視します")};
  return {text::J("チャンネル(Feed/OPML)の追加"),
          text::J("このパネルにブラウザなどからドラッグ＆ドロップでも追加できます")};
}

std::string BloglinesListAddress(bool bloglinesSync) {
  if (!bloglinesSync) return {};
  return std::string(store::kBloglinesServiceBase) + std::string(store::kBloglinesListPath);
}

std::string GmailFeedAddress() {
  return "https://mail.google.com/mail/feed/atom";
}

std::optional<std::string> InternetShortcutAddress(std::string_view fileText) {
  bool inSection = false;
  size_t start = 0;
  while (start < fileText.size()) {
    size_t end = fileText.find('\n', start);
    if (end == std::string_view::npos) end = fileText.size();
    const std::string line = text::TrimJ(fileText.substr(start, end - start));
    start = end + 1;
    if (line.starts_with("[")) {
      inSection = platform::EqualsAsciiNoCase(line, "[InternetShortcut]");
    } else if (inSection && platform::StartsWithAsciiNoCase(line, "URL=")) {
      std::string address = text::TrimJ(std::string_view(line).substr(4));
      if (!address.empty()) return address;
    }
  }
  return std::nullopt;
}

std::optional<std::string> ReadInternetShortcut(const std::string& path) {
  const std::optional<std::string> contents = platform::ReadWholeFile(path);
  if (!contents) return std::nullopt;
  return InternetShortcutAddress(*contents);
}

std::string EnclosureQuestion() {
  return text::J("このFeedには添付ファイルがあります。 次回からPodhallを使用しますか？") + "\r\n" +
         text::J("(後からでもプロパティパネルから設定が可能です)");
}

}  // namespace app
