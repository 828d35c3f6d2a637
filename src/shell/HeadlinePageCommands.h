// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "formats/media/MediaHandOver.h"
#include "formats/media/MediaQueue.h"
#include "platform/Dialogs.h"
#include "present/HeadlineList.h"
#include "present/PageDisplay.h"
#include "present/SummaryPages.h"
#include "settings/Settings.h"
#include "shell/PageCommands.h"
#include "store/ItemStates.h"

namespace shell {

// What the page commands need from the main window.
class PageCommandsHost {
 public:
  virtual ~PageCommandsHost() = default;

  virtual bool ShiftHeld() const = 0;
  virtual bool CtrlHeld() const = 0;
  virtual bool AltHeld() const = 0;
  // Whether the active view shows the summary page.
  virtual bool ActiveViewShowsSummary() const = 0;
  // In the page of the active view, gives every image named `name` whose source contains
  // `only` (every one when `only` is empty) the source `source`, without reloading.
  virtual void SetPageImage(const std::string& name, const std::string& only, const std::string& source) = 0;
  // The option menu of a headline of the page, at the mouse.
  virtual void OpenOptionMenu(store::TSiteRecord& item) = 0;
  // The add-channel dialog, given a feed address.
  virtual void OpenAddChannel(const std::string& address) = 0;
  // The feed addresses found on the page the view shows.
  virtual std::vector<std::string> DiscoveredFeeds(ViewId view) const = 0;
};

// Everything the page commands work with. The application owns each of them.
struct PageCommandServices {
  settings::Settings& settings;
  platform::Dialogs& dialogs;
  store::ItemStateContext& states;
  present::HeadlineList& list;
  present::SummaryPages& pages;
  present::PageDisplay& display;
  formats::MediaQueue& media;
  formats::MediaHandOver& handOver;
  PageCommandsHost& host;
  // Installs a style when the address is the maker's style download: true when it was one.
  std::function<bool(const std::string& address, bool shiftHeld)> installStyle;
  std::string systemUrl;  // the address of the data folder's system/ folder, ending with "/"
};

// The links of the headline pages that are commands ("varnholt:"), "feed:" and
// "enclosure:" addresses, the media keys, the feeds a page announced, and the rule that
// marks a headline read when its link is followed from its page.
class HeadlinePageCommands : public PageCommands {
 public:
  explicit HeadlinePageCommands(PageCommandServices services);

  bool HandleInternalLink(const std::string& address, ViewId view) override;
  void LinkOpened(const std::string& address) override;

  // The headline the option menu was opened for last.
  store::TSiteRecord* OptionItem() const { return optionItem_; }

 private:
  void InternalCommand(std::string_view command);
  void ToggleProtection(std::string_view index);
  void OpenOption(std::string_view index);
  void Enclosure(std::string_view address);
  bool MediaKeys(const std::string& address);
  store::TSiteRecord* PageItem(std::string_view index) const;
  std::string FlagImage(const store::TSiteRecord& item) const;

  PageCommandServices services_;
  store::TSiteRecord* optionItem_ = nullptr;
};

}  // namespace shell
