// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "present/PreparedStyle.h"

namespace formats {
class DocumentSource;
}
namespace platform {
class Dialogs;
}
namespace settings {
struct Settings;
}

namespace present {

// The maker's style download page, and the folder on the same site that its style files
// are downloaded from: a click on a link into that folder installs the style.
inline constexpr char kStyleDownloadPage[] = "http://plover.example.jp/styles/";
inline constexpr char kStyleDownloadFolder[] = "http://plover.example.jp/styles/download/";

// The extension of style files in system/styles of the data folder.
inline constexpr char kStyleFileExtension[] = ".hrstyle";

// The values of the path placeholders that styles may use in their CSS and their page
// template: "file:///" addresses of the program folder, the data folder's "system/" and
// its "system/styles/" (code page 932, each ending with "/").
struct StylePaths {
  std::string ProgramPath;
  std::string SystemPath;
  std::string StylesPath;
};

// The path placeholders' values for the given native folders. The addresses are written
// as a browser reads them: "file://" and the absolute path, with every byte but letters,
// digits, "-", ".", "_", "~" and "/" escaped as %XX, so that a blank or a quote in a folder
// name cannot end the address inside the CSS or the page.
StylePaths MakeStylePaths(const std::string& programFolder, const std::string& dataFolder);

// The add-in switches as they were before the style download page was opened.
struct StyleDownloadOpening {
  std::string Address;  // the page to open in the browser pane
  bool ListNoAddin = false;
  bool EvwNoAddin = false;
  bool NormalNoAddin = false;
};

// The current style of the headline pages: which one is chosen (StyleName of the
// settings), loading it from its file or taking a built-in one, splitting it into the
// blocks the pages are filled from, the style menu, and installing styles from the
// maker's site.
//
// A style file is read from the disk and parsed as it is, so loading is finished when
// LoadStyle returns: there is never a load to wait for before the style is split.
class Styles : public StyleSource {
 public:
  // `programFolder` and `dataFolder` are native paths. `web` fetches the style files to
  // install. `renderAgain` shows the summary page again after another style was chosen
  // (the current page in view mode, otherwise the selected headline).
  Styles(settings::Settings& settings, platform::Dialogs& dialogs, formats::DocumentSource& web,
         std::string programFolder, std::string dataFolder, std::function<void()> renderAgain = {});

  // The style prepared for filling: loaded and split on first use after a choice.
  const PreparedStyle& CurrentStyle() override;

  // Takes the page template and CSS of the style named by StyleName, unless the current
  // style is prepared already: from data folder + "system/styles/" + name + ".hrstyle"
  // when that file exists (so such a file takes precedence over a built-in style of the
  // same name), otherwise the built-in "Classic" for that name (ASCII case ignored) and
  // the built-in "Simple" for any other, StyleName then becoming "Simple". A file that
  // cannot be read leaves both texts empty.
  void LoadStyle();

  // Splits the loaded style into its blocks, unless it is prepared already: every "$"
  // of the template becomes the marker character, the channel header block is removed
  // and each item block replaced by its kind's marker, an empty item block borrows
  // another kind's block and marker, and the CSS gets its path placeholders filled.
  void PrepareStyle();

  bool StylePrepared() const { return stylePrepared_; }

  // The handler of every entry of the style menu: chooses the style of that caption and
  // shows the summary page again with it.
  void ChooseStyle(const std::string& name);

  // The captions of the style menu's entries in order, the separator left out (it always
  // follows the first two, "Simple" and "Classic"): then one for each style file, in name
  // order. The files are looked up when the menu is opened for the first time and again
  // after an installation.
  std::vector<std::string> StyleMenuEntries();

  // Which of those entries is checked: the first whose caption is StyleName (ASCII case
  // ignored), or the first entry when none is.
  size_t CheckedStyleEntry();

  // Looks at an address the browser pane is about to open. A style file in the maker's
  // download folder (address led by kStyleDownloadFolder, ASCII case ignored, name ending
  // in ".hrstyle") is installed into system/styles after the user agreed, instead of being
  // opened; true then ("handled": the navigation is cancelled). With Shift held the
  // address is left to the browser. The installed style is not chosen.
  bool InstallStyleFromWeb(const std::string& address, bool shiftHeld);

  // The command that opens the style download page. With Shift and Ctrl both held it
  // shows a message and gives nothing. Otherwise it switches the add-in switches
  // ListNoAddin, EvwNoAddin and NormalNoAddin off and returns the page to open with their
  // former values: the caller opens the page in the browser pane, lets it load (300 ms,
  // then in 100 ms steps while the browser is busy) and then calls
  // EndStyleDownloadPage.
  std::optional<StyleDownloadOpening> OpenStyleDownloadPage(bool shiftHeld, bool ctrlHeld);

  // Puts the add-in switches back as they were before OpenStyleDownloadPage.
  void EndStyleDownloadPage(const StyleDownloadOpening& opening);

  const StylePaths& Paths() const { return paths_; }
  // Where the pages reach the folders when they are not shown from files: the desktop
  // serves them under its own scheme. The style is prepared again with them.
  void SetPaths(StylePaths paths) {
    paths_ = std::move(paths);
    stylePrepared_ = false;
  }

 private:
  std::string StylesFolder() const;
  void ReadStyleFile(const std::string& path);
  void ExtractBlocks();
  void BuildMenu();
  void ShowMessage(const char* utf8);

  settings::Settings& settings_;
  platform::Dialogs& dialogs_;
  formats::DocumentSource& web_;
  std::string dataFolder_;
  StylePaths paths_;
  std::function<void()> renderAgain_;
  PreparedStyle style_;
  bool stylePrepared_ = false;
  std::vector<std::string> menuEntries_;
  bool menuStale_ = true;
};

}  // namespace present
