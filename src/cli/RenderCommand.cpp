// SPDX-License-Identifier: MIT
// "plover-cli render": the headline page the desktop window would show for a node of the
// tree, printed as one HTML document, so that styles and pages can be looked at without
// a display. The data folder is only read: nothing the page does (items it shows becoming
// read) is saved.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <utility>

#include "app/DataSession.h"
#include "app/NodePath.h"
#include "cli/CommandError.h"
#include "cli/Commands.h"
#include "cli/NeverLocked.h"
#include "cli/OpenedFolder.h"
#include "cli/Output.h"
#include "cli/QuietHeadlineView.h"
#include "formats/feeds/DocumentSource.h"
#include "platform/CodePage.h"
#include "present/HeadlineList.h"
#include "present/KeywordListQuery.h"
#include "present/Styles.h"
#include "present/SummaryPages.h"
#include "store/LocalClock.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace cli {
namespace {

// The window without a window: the list draws nothing, and the browser pane is the page
// the command catches.
class PageCatcher : public QuietHeadlineView, public present::PageDisplay, public present::OpenPage {
 public:
  bool BrowserShowsSummary() const override { return page.has_value(); }
  bool BrowserShowsPage(int64_t pageId) const override { return ShowsPage(pageId); }

  void ShowSummaryPage(const present::SummaryPage& shown) override { page = shown; }
  bool ShowsPage(int64_t pageId) const override { return page.has_value() && page->PageId == pageId; }

  bool Open(const std::string& address) override {
    opened = address;
    return true;
  }

  std::optional<present::SummaryPage> page;
  std::string opened;  // the item's own page, when the window would show that instead
};

// "--item N": the N-th row of the list, or in view mode the page that holds the node's N-th
// entry.
void ShowItem(present::HeadlineList& list, present::SummaryPages& pages, const settings::Settings& settings,
              size_t number) {
  present::PageState& page = list.Page();
  const bool viewMode = settings.FormViewMode == settings::kModeView;
  const size_t count = viewMode ? page.PageList.size() - page.PageFirst : list.RowCount();
  if (number > count) throw CommandError(text::J("記事がありません: ") + std::to_string(number));
  if (!viewMode) {
    list.SelectRow(number - 1, true);
    return;
  }
  const size_t pageSize = static_cast<size_t>(std::clamp(settings.EvwSeekMax, 1, 50));
  const size_t start = page.PageFirst + (number - 1) / pageSize * pageSize;
  // The first page is shown already, as it was before it marked its items read.
  if (start == page.PageStart) return;
  page.PageStart = start;
  pages.RenderViewPage(page);
}

// The page as a browser reads it from a file: UTF-8, saying so.
std::string Utf8Document(const std::string& page) {
  std::string utf8 = platform::Cp932ToUtf8(page, platform::CharRefs::kKeep);
  const std::string declared = "<meta charset=\"" + std::string(present::kPageCharset) + "\">";
  const size_t at = utf8.find(declared);
  if (at != std::string::npos) utf8.replace(at, declared.size(), "<meta charset=\"UTF-8\">");
  return utf8;
}

}  // namespace

int RunRender(const CommandContext& context, const CommandArguments& arguments) {
  if (arguments.operands.empty()) throw CommandError(text::J("ノードのパスを指定してください。"), kExitUsage);
  const std::string& path = arguments.operands[0];
  const std::optional<size_t> item = ItemNumber(arguments);
  OpenedFolder folder(context, app::DataAccess::kReadOnly);
  app::DataSession& session = folder.Session();
  const std::string captions = text::Utf8ToSjis(path);
  store::TTreeNodeExt* node = path.empty() ? session.Tree().RootNode() : app::FindNodeByPath(session.Tree(), captions);
  if (node == nullptr) throw CommandError(text::J("ノードが見つかりません: ") + PathText(path));

  // The command's own copy of the settings: the view mode and style it was asked for.
  settings::Settings settings = session.Settings();
  settings.FormViewMode = arguments.Has("--view-mode") ? settings::kModeView : settings::kModeStandard;
  if (const std::optional<std::string> style = arguments.Value("--style"))
    settings.StyleName = text::Utf8ToSjis(*style);
  if (item) settings.NoListSelect = 1;

  store::ItemStateContext states(session.Store());
  store::SearchCountControl searchCount;
  store::TreeEditHost editHost;
  NeverLocked unlocked;
  store::TreeEditor editor(states, folder.Dialogs(), searchCount, editHost, unlocked);
  PageCatcher window;
  formats::LocalFileSource files;
  present::Styles styles(settings, folder.Dialogs(), files, context.programFolder, session.DataFolder());
  present::PageLocations locations = present::FileLocations(context.programFolder, session.DataFolder());
  present::SummaryPages pages(present::PageServices{
      settings, styles, window, window, states, searchCount, folder.Dialogs(), std::move(locations), {}});
  present::KeywordListQuery query(settings);
  present::HeadlineList list(present::HeadlineServices{states, editor, settings, folder.Loop(), folder.Dialogs(),
                                                       searchCount, window, pages, window, query, unlocked,
                                                       [] { return store::LocalDayNumber(std::time(nullptr)); }});
  pages.SetHeadlineList(&list);
  list.SetWindowReady(true);
  list.SetStartupFinished(true);
  list.SetStoreLoaded(true);
  list.SelectNode(node);
  if (item) ShowItem(list, pages, settings, *item);
  if (!window.page && !window.opened.empty()) {
    PrintLine(stderr, text::J("この記事は概要ではなく記事のページを開きます: ") + window.opened);
    return kExitOk;
  }
  if (!window.page) throw CommandError(text::J("表示するページがありません: ") + PathText(path));
  WriteBytes(stdout, Utf8Document(window.page->Html));
  return kExitOk;
}

}  // namespace cli
