// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Dialogs.h"
#include "present/OpenPage.h"
#include "present/PageDisplay.h"
#include "present/PageFill.h"
#include "present/PageRenderer.h"
#include "present/PageState.h"
#include "present/PreparedStyle.h"
#include "settings/Settings.h"
#include "store/ItemStates.h"
#include "store/SearchCountControl.h"

namespace present {

class HeadlineList;

// The character set a summary page declares: code page 932 is what browsers call Shift_JIS.
inline constexpr std::string_view kPageCharset = "Shift_JIS";

// Everything the headline pages work with. The application owns each of them.
struct PageServices {
  settings::Settings& settings;
  StyleSource& styles;
  PageDisplay& display;
  OpenPage& opener;
  store::ItemStateContext& states;
  store::SearchCountControl& searchCount;
  platform::Dialogs& dialogs;
  PageLocations locations;
  std::function<bool()> podhallInstalled;  // whether the media program is installed; empty: it is not
};

// The pages of the browser pane's summary tab: the selected headline, the message of a
// node without one, and the view-mode page of several items with its page control. Each
// is filled from the current style, cleaned of style sheets, meta elements and what the
// list-view settings forbid, and handed to the display as one document.
class SummaryPages : public PageRenderer {
 public:
  explicit SummaryPages(PageServices services);
  SummaryPages(const SummaryPages&) = delete;
  SummaryPages& operator=(const SummaryPages&) = delete;

  // The headline list that asks for the pages; it is made after the pages, since it
  // takes them. Without it, messages count the list as empty and "Show All" does nothing.
  void SetHeadlineList(HeadlineList* list) { list_ = list; }

  // The selected headline's page, or, where the channel or the LinkOpen setting asks for
  // it, the headline's own web page. In view mode the current page of the page list.
  void RenderSummaryPage(store::TSiteRecord& item) override;
  // The message for a node without a selected headline.
  void RenderMessagePage(store::TTreeNodeExt* node) override;
  // The current page of the view-mode page list, or the message when the list is empty.
  // Unread items shown become read.
  void RenderViewPage(PageState& page) override;

  // Paging in view mode, for the page's own links and the arrow keys: true when another
  // page was rendered. Both beep when the pane no longer shows the page of `page`.
  bool PageNext(PageState& page) override;
  bool PagePrevious(PageState& page);

  // "Show All": the selected node's list again without the read-state and date filters.
  void ShowAllPage();

  std::string Translate(const std::string& address, const store::TSiteList* channel) override;

 private:
  bool ViewMode() const { return settings_.FormViewMode == settings::kModeView; }
  size_t PageSize() const;
  bool OpensOwnPage(const store::TSiteRecord& item) const;
  FillContext Context(const PageState* page) const;
  std::string MessageText(const store::TTreeNodeExt* node, bool viewMode) const;
  std::string ViewPageItems(PageState& page, const PreparedStyle& style, const FillContext& context,
                            FillInputs& lastInputs, bool& lastNoCheck);
  void ShowPage(const PreparedStyle& style, const std::string& marker, const std::string& content,
                const FillInputs& lastInputs, bool noCheck, const FillContext& context, int64_t pageId);

  settings::Settings& settings_;
  StyleSource& styles_;
  PageDisplay& display_;
  OpenPage& opener_;
  store::ItemStateContext& states_;
  store::SearchCountControl& searchCount_;
  platform::Dialogs& dialogs_;
  PageLocations locations_;
  std::function<bool()> podhallInstalled_;
  HeadlineList* list_ = nullptr;
  bool showAllMode_ = false;
};

// The whole document of a summary page: the character set named by `charset`, the
// caption as its title, the CSS in a style element and the body.
std::string PageDocument(std::string_view body, std::string_view css, std::string_view charset);

}  // namespace present
