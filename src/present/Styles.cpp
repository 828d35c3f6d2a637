// SPDX-License-Identifier: MIT
#include "present/Styles.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "formats/feeds/DocumentSource.h"
#include "platform/Ascii.h"
#include "platform/Dialogs.h"
#include "platform/Files.h"
#include "platform/HtmlDocument.h"
#include "present/private/BuiltInStyles.h"
#include "settings/Settings.h"
#include "text/Convert.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace present {
namespace {

constexpr std::string_view kStylesSubfolder = "system/styles/";

// A marker of a prepared template: its name between two marker characters.
std::string Marker(std::string_view name) {
  std::string marker(1, kPlaceholderMarker);
  marker.append(name).push_back(kPlaceholderMarker);
  return marker;
}

bool IsBlank(const std::string& block) {
  return text::TrimRightJ(block).empty();
}

// Takes the first block between the start and end markers of `kind` out of the template,
// leaving `replacement` in its place, and returns its text. Only when both markers are
// there and the end marker comes after the whole start marker; otherwise the template
// stays as it is and the block is empty.
std::string ExtractBlock(std::string& pageTemplate, std::string_view kind, const std::string& replacement) {
  const std::string start = Marker(std::string(kind) + "_START");
  const std::string end = Marker(std::string(kind) + "_END");
  const size_t startAt = pageTemplate.find(start);
  const size_t endAt = pageTemplate.find(end);
  if (startAt == std::string::npos || endAt == std::string::npos || endAt < startAt + start.size()) return {};
  std::string block = pageTemplate.substr(startAt + start.size(), endAt - startAt - start.size());
  pageTemplate.replace(startAt, endAt + end.size() - startAt, replacement);
  return block;
}

// An empty item block borrows the block and marker of the first of two other kinds that
// has one, or failing that the second's anyway.
void Borrow(std::string& block, std::string& marker, const std::string& firstBlock, const std::string& firstMarker,
            const std::string& secondBlock, const std::string& secondMarker) {
  if (!IsBlank(block)) return;
  block = firstBlock;
  marker = firstMarker;
  if (!IsBlank(block)) return;
  block = secondBlock;
  marker = secondMarker;
}

// Every occurrence of `placeholder`, left to right, replaced by `value`.
void ReplaceAll(std::string& text, std::string_view placeholder, std::string_view value) {
  for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size())) {
    text.replace(at, placeholder.size(), value);
  }
}

// The "file:" address of a native folder; see MakeStylePaths.
std::string FolderAddress(const std::string& folder) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string address = "file://";
  if (folder.empty() || folder.front() != '/') address.push_back('/');
  for (const char c : platform::WithSlash(folder)) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                       std::string_view("-._~/").find(c) != std::string_view::npos;
    if (plain) {
      address.push_back(c);
    } else {
      address.push_back('%');
      address.push_back(kHex[byte >> 4]);
      address.push_back(kHex[byte & 0x0F]);
    }
  }
  return address;
}

// The native file name of a style, or nothing when the name cannot be one: empty, or
// with a path separator in it.
std::optional<std::string> StyleFileName(const std::string& styleName) {
  const std::string name = text::SjisToUtf8(styleName);
  if (name.empty() || name.find('/') != std::string::npos || name.find('\0') != std::string::npos) {
    return std::nullopt;
  }
  return name + kStyleFileExtension;
}

bool IsFixedEntry(std::string_view caption) {
  return platform::EqualsAsciiNoCase(caption, kSimpleStyleName) ||
         platform::EqualsAsciiNoCase(caption, kClassicStyleName);
}

// The order of the style menu: names without regard to ASCII case, then as written.
bool MenuOrder(const std::string& a, const std::string& b) {
  const auto lower = [](std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), platform::AsciiLower);
    return text;
  };
  const std::string lowerA = lower(a);
  const std::string lowerB = lower(b);
  return lowerA != lowerB ? lowerA < lowerB : a < b;
}

// The file name an address of the download folder names: its last path segment, without
// query and fragment; empty when that is no style file with a name.
std::string DownloadFileName(std::string_view address) {
  address = address.substr(0, address.find_first_of("?#"));
  const std::string_view name = address.substr(address.rfind('/') + 1);
  const std::string_view extension = kStyleFileExtension;
  if (name.size() <= extension.size()) return {};
  if (!platform::EqualsAsciiNoCase(name.substr(name.size() - extension.size()), extension)) return {};
  return std::string(name);
}

}  // namespace

StylePaths MakeStylePaths(const std::string& programFolder, const std::string& dataFolder) {
  const std::string data = platform::WithSlash(dataFolder);
  return {FolderAddress(programFolder), FolderAddress(data + "system/"), FolderAddress(data + "system/styles/")};
}

Styles::Styles(settings::Settings& settings, platform::Dialogs& dialogs, formats::DocumentSource& web,
               std::string programFolder, std::string dataFolder, std::function<void()> renderAgain)
    : settings_(settings),
      dialogs_(dialogs),
      web_(web),
      dataFolder_(platform::WithSlash(std::move(dataFolder))),
      paths_(MakeStylePaths(programFolder, dataFolder_)),
      renderAgain_(std::move(renderAgain)) {}

const PreparedStyle& Styles::CurrentStyle() {
  LoadStyle();
  PrepareStyle();
  return style_;
}

std::string Styles::StylesFolder() const {
  return dataFolder_ + std::string(kStylesSubfolder);
}

void Styles::LoadStyle() {
  if (stylePrepared_) return;
  style_ = PreparedStyle{};
  const std::optional<std::string> fileName = StyleFileName(settings_.StyleName);
  if (fileName && platform::FileExists(StylesFolder() + *fileName)) {
    ReadStyleFile(StylesFolder() + *fileName);
  } else {
    const bool classic = platform::EqualsAsciiNoCase(settings_.StyleName, kClassicStyleName);
    if (!classic) settings_.StyleName = kSimpleStyleName;
    style_.PageTemplate = text::TrimRightJ(BuiltInPageTemplate());
    style_.Css = text::TrimRightJ(BuiltInStyleCss(classic ? BuiltInStyle::kClassic : BuiltInStyle::kSimple));
  }
  style_.Name = settings_.StyleName;
}

// The template is the markup inside the file's body and the CSS its first style sheet,
// both right-trimmed; a file that cannot be read leaves both empty.
void Styles::ReadStyleFile(const std::string& path) {
  const std::optional<std::string> bytes = platform::ReadWholeFile(path);
  if (!bytes) return;
  const platform::HtmlDocument document = platform::HtmlDocument::ParseDeclared(*bytes);
  style_.PageTemplate = text::TrimRightJ(text::Utf8ToSjis(document.BodyMarkup()));
  style_.Css = text::TrimRightJ(text::Utf8ToSjis(document.FirstStyleSheet()));
}

void Styles::PrepareStyle() {
  if (stylePrepared_) return;
  // Every dollar sign is a marker character from here on, also one that starts no
  // placeholder: a price written with "$" shows the marker. No byte of a double-byte
  // character is "$", so the replacement never splits one.
  std::replace(style_.PageTemplate.begin(), style_.PageTemplate.end(), '$', kPlaceholderMarker);
  ExtractBlocks();
  ReplaceAll(style_.Css, "$PROGRAM_PATH$", paths_.ProgramPath);
  ReplaceAll(style_.Css, "$SYSTEM_PATH$", paths_.SystemPath);
  ReplaceAll(style_.Css, "$STYLES_PATH$", paths_.StylesPath);
  stylePrepared_ = true;
}

void Styles::ExtractBlocks() {
  PreparedStyle& s = style_;
  s.DefaultMarker = Marker("ITEM_DEFAULT");
  s.SingleMarker = Marker("ITEM_SINGLE");
  s.MultiMarker = Marker("ITEM_MULTI");
  s.HeaderBlock = ExtractBlock(s.PageTemplate, "CHANNEL_HEADER", "");
  s.DefaultBlock = ExtractBlock(s.PageTemplate, "ITEM_DEFAULT", s.DefaultMarker);
  s.SingleBlock = ExtractBlock(s.PageTemplate, "ITEM_SINGLE", s.SingleMarker);
  s.MultiBlock = ExtractBlock(s.PageTemplate, "ITEM_MULTI", s.MultiMarker);
  // Each kind borrows from the kinds after it first; the later ones borrow from blocks
  // completed already, so no kind stays empty while another has a block.
  Borrow(s.DefaultBlock, s.DefaultMarker, s.SingleBlock, s.SingleMarker, s.MultiBlock, s.MultiMarker);
  Borrow(s.SingleBlock, s.SingleMarker, s.MultiBlock, s.MultiMarker, s.DefaultBlock, s.DefaultMarker);
  Borrow(s.MultiBlock, s.MultiMarker, s.SingleBlock, s.SingleMarker, s.DefaultBlock, s.DefaultMarker);
}

void Styles::ChooseStyle(const std::string& name) {
  stylePrepared_ = false;
  settings_.StyleName = name;
  if (renderAgain_) renderAgain_();
}

void Styles::BuildMenu() {
  std::vector<std::string> files = platform::ListFiles(StylesFolder());
  std::sort(files.begin(), files.end(), MenuOrder);
  menuEntries_ = {kSimpleStyleName, kClassicStyleName};
  const std::string_view extension = kStyleFileExtension;
  for (const std::string& file : files) {
    if (file.size() <= extension.size() || !file.ends_with(extension)) continue;
    // A name that is no valid UTF-8 cannot be shown, nor chosen by its caption.
    const std::string caption = text::Utf8ToSjis(file.substr(0, file.size() - extension.size()));
    if (caption.empty() || IsFixedEntry(caption)) continue;
    menuEntries_.push_back(caption);
  }
  menuStale_ = false;
}

std::vector<std::string> Styles::StyleMenuEntries() {
  if (menuStale_) BuildMenu();
  return menuEntries_;
}

size_t Styles::CheckedStyleEntry() {
  if (menuStale_) BuildMenu();
  for (size_t i = 0; i < menuEntries_.size(); ++i) {
    if (platform::EqualsAsciiNoCase(menuEntries_[i], settings_.StyleName)) return i;
  }
  return 0;
}

void Styles::ShowMessage(const char* utf8) {
  dialogs_.ShowMessageBox(text::J(utf8), platform::MessageType::kInformation);
}

bool Styles::InstallStyleFromWeb(const std::string& address, bool shiftHeld) {
  if (shiftHeld) return false;
  const std::string trimmed = text::TrimLeftJ(address);
  if (!platform::StartsWithAsciiNoCase(trimmed, kStyleDownloadFolder)) return false;
  const std::string fileName = DownloadFileName(trimmed);
  if (fileName.empty()) return false;

  // Saved with the extension the style menu looks for, whatever its case in the address.
  const std::string stem =
      text::SjisToUtf8(fileName.substr(0, fileName.size() - std::string_view(kStyleFileExtension).size()));
  const std::string target = StylesFolder() + stem + kStyleFileExtension;
  std::string question = text::J("選択したスタイルテンプレートをインストールしますか？");
  if (platform::FileExists(target)) question += text::J("\r\n(同名のテンプレートが既に存在しますので上書きされます)");
  if (!dialogs_.AskYesCancel(question, platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)) {
    return true;
  }

  platform::CreateFolders(StylesFolder());
  const formats::FetchResult result = web_.FetchDocument(formats::FetchRequest{trimmed, {}, {}});
  if (result.status != formats::FetchResult::Status::kDocument || result.httpStatus != 200) {
    ShowMessage("ダウンロードに失敗しました。");
    return true;
  }
  if (!platform::WriteFileDurably(target, result.bytes)) {
    ShowMessage("テンプレートの保存に失敗しました。");
    return true;
  }
  menuStale_ = true;
  ShowMessage("インストールが完了しました [ブラウザ]-[スタイル]で確認できます。");
  return true;
}

std::optional<StyleDownloadOpening> Styles::OpenStyleDownloadPage(bool shiftHeld, bool ctrlHeld) {
  if (shiftHeld && ctrlHeld) {
    ShowMessage("ShiftKey+CtrlKeyを使わないでください。");
    return std::nullopt;
  }
  StyleDownloadOpening opening{kStyleDownloadPage, settings_.ListNoAddin, settings_.EvwNoAddin,
                               settings_.NormalNoAddin};
  settings_.ListNoAddin = false;
  settings_.EvwNoAddin = false;
  settings_.NormalNoAddin = false;
  return opening;
}

void Styles::EndStyleDownloadPage(const StyleDownloadOpening& opening) {
  settings_.ListNoAddin = opening.ListNoAddin;
  settings_.EvwNoAddin = opening.EvwNoAddin;
  settings_.NormalNoAddin = opening.NormalNoAddin;
}

}  // namespace present
