// SPDX-License-Identifier: MIT
#include "present/SummaryPages.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include "platform/HtmlCleaner.h"
#include "present/HeadlineColumns.h"
#include "present/HeadlineList.h"
#include "store/TTreeNodeExt.h"
#include "text/Literal.h"

namespace present {
namespace {

// The address that stands for "nowhere" in a message page; the page commands swallow it.
constexpr char kBlankAddress[] = "varnholt:blank";

void EraseAll(std::string& text, const std::string& what) {
  if (what.empty()) return;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) text.erase(at, what.size());
}

void ReplaceAll(std::string& text, const std::string& what, const std::string& with) {
  if (what.empty()) return;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + with.size())) {
    text.replace(at, what.size(), with);
  }
}

// The nodes that show a message when no headline is selected.
bool ShowsMessage(int kind) {
  return kind == store::kKindGroup || kind == store::kKindChannel || kind == store::kKindStopped ||
         kind == store::kKindSearch || kind == store::kKindUpdating || kind == store::kKindError;
}

FillInputs InputsOf(const store::TSiteRecord& item) {
  FillInputs inputs;
  inputs.item = &item;
  if (const store::TSiteList* channel = item.Owner) {
    inputs.channel = &channel->Site;
    inputs.translate = channel->entojp != 0;
    if (channel->Node != nullptr) inputs.treeCaption = channel->Node->Caption();
  }
  return inputs;
}

// The elements a summary page never keeps, and those the list-view settings forbid.
std::vector<std::string_view> RemovedElements(const settings::Settings& settings) {
  std::vector<std::string_view> removed = {"style", "link", "meta"};
  if (settings.ListNoFrame) removed.push_back("iframe");
  if (settings.ListNoScript) removed.push_back("script");
  if (settings.ListNoScript && settings.ListNoVideo && settings.ListNoSound) {
    removed.push_back("object");
    removed.push_back("embed");
  }
  return removed;
}

}  // namespace

SummaryPages::SummaryPages(PageServices services)
    : settings_(services.settings),
      styles_(services.styles),
      display_(services.display),
      opener_(services.opener),
      states_(services.states),
      searchCount_(services.searchCount),
      dialogs_(services.dialogs),
      locations_(std::move(services.locations)),
      podhallInstalled_(std::move(services.podhallInstalled)) {}

size_t SummaryPages::PageSize() const {
  return static_cast<size_t>(std::clamp(settings_.EvwSeekMax, 1, 50));
}

FillContext SummaryPages::Context(const PageState* page) const {
  FillContext context;
  context.locations = &locations_;
  context.secureMode = settings_.SecureMode;
  context.maxDescription = settings_.MaxDescription;
  context.podhallInstalled = podhallInstalled_ && podhallInstalled_();
  context.control.pageSize = PageSize();
  context.control.showAllMode = showAllMode_;
  const int readFilter = ViewMode() ? settings_.EvwMidokuOnly : settings_.MidokuOnly;
  context.control.unreadOnly = readFilter == kReadFilterUnread;
  if (page != nullptr) {
    context.control.listCount = page->PageList.size();
    context.control.pageFirst = page->PageFirst;
    context.control.pageStart = page->PageStart;
  }
  return context;
}

bool SummaryPages::OpensOwnPage(const store::TSiteRecord& item) const {
  const int mode = settings_.FormViewMode;
  if (mode == settings::kModeList || mode == settings::kModeView) return false;
  if (mode == settings::kModeStandard && settings_.NormalNoAddin) return false;
  if (item.Owner != nullptr && item.Owner->linkop != 0) return true;
  if (settings_.LinkOpen == 2) return true;
  return settings_.LinkOpen == 1 && item.desc.empty() && item.de_cd.empty() && item.encoded.empty() &&
         item.en_cd.empty();
}

void SummaryPages::RenderSummaryPage(store::TSiteRecord& item) {
  if (ViewMode()) {
    if (list_ != nullptr) RenderViewPage(list_->Page());
    return;
  }
  if (OpensOwnPage(item)) {
    const store::TSiteList* channel = item.Owner;
    const std::string address = PageItemAddress(channel != nullptr ? channel->Site.link : std::string(), item.link);
    opener_.Open(Translate(address, channel));
    return;
  }
  const PreparedStyle& style = styles_.CurrentStyle();
  const FillContext context = Context(nullptr);
  const FillInputs inputs = InputsOf(item);
  const bool noCheck = item.StatusEntry != 0;
  std::string content = style.DefaultBlock;
  FillPlaceholders(content, kIndexNone, noCheck, inputs, context);
  ShowPage(style, style.DefaultMarker, content, inputs, noCheck, context, 0);
}

std::string SummaryPages::MessageText(const store::TTreeNodeExt* node, bool viewMode) const {
  std::string message;
  if (viewMode) {
    if (node == states_.store.Tree().RootNode()) {
      message = text::J("チャンネルを選択してください");
    } else if (settings_.EvwMidokuOnly == kReadFilterUnread) {
      message = text::J("未読の記事はありません");
    } else {
      message = text::J("表示できる記事はありません");
    }
  } else {
    const bool rows = list_ != nullptr && list_->RowCount() > 0;
    message = text::J(rows ? "記事を選択してください" : "表示できる記事はありません");
  }
  if (node->Kind() == store::kKindStopped) message += text::J(" （購読は中止されています）");
  return message;
}

void SummaryPages::RenderMessagePage(store::TTreeNodeExt* node) {
  if (node == nullptr || !ShowsMessage(node->Kind())) return;
  const bool viewMode = ViewMode();
  store::TSiteRecord item;
  item.title = MessageText(node, viewMode);
  item.link = kBlankAddress;
  // A group or search item has no header of its own: its caption stands in for a title.
  store::TSiteRecord caption;
  caption.title = node->Caption();
  caption.link = kBlankAddress;
  caption.rdfurl = kBlankAddress;
  FillInputs inputs;
  inputs.item = &item;
  inputs.channel = node->Data() != nullptr ? &node->Data()->Site : &caption;
  inputs.translate = node->Data() != nullptr && node->Data()->entojp != 0;
  inputs.treeCaption = node->Caption();
  const PreparedStyle& style = styles_.CurrentStyle();
  const PageState* page = viewMode && list_ != nullptr ? &list_->Page() : nullptr;
  const FillContext context = Context(page);
  std::string content = viewMode ? style.SingleBlock : style.DefaultBlock;
  FillPlaceholders(content, viewMode ? kIndexSingle : kIndexNone, false, inputs, context);
  ShowPage(style, viewMode ? style.SingleMarker : style.DefaultMarker, content, inputs, false, context,
           page != nullptr ? page->PageId : 0);
}

std::string SummaryPages::ViewPageItems(PageState& page, const PreparedStyle& style, const FillContext& context,
                                        FillInputs& lastInputs, bool& lastNoCheck) {
  const size_t lastIndex = page.PageList.size() - 1;
  const size_t end = std::min(page.PageStart + PageSize() - 1, lastIndex);
  const bool single = page.PageList.size() == 1;
  const std::string& block = single ? style.SingleBlock : style.MultiBlock;
  const bool headers =
      !style.HeaderBlock.empty() && (ViewMode() ? settings_.EvwSortNum : settings_.SortNum) == kColumnChannel;
  std::string items;
  const store::TSiteRecord* previous = nullptr;
  size_t becameRead = 0;
  for (size_t index = page.PageStart; index <= end; ++index) {
    store::TSiteRecord* item = page.PageList[index];
    if (item == nullptr) continue;
    const FillInputs inputs = InputsOf(*item);
    const bool noCheck = item->StatusEntry != 0;
    const int fillIndex = static_cast<int>(index);
    // One item that cannot be filled (memory running out on a huge description) is left
    // out; the rest of the page is still shown.
    try {
      std::string part;
      if (headers && (previous == nullptr || previous->Owner != item->Owner)) {
        part = style.HeaderBlock;
        FillPlaceholders(part, fillIndex, noCheck, inputs, context);
      }
      std::string filled = block;
      FillPlaceholders(filled, fillIndex, noCheck, inputs, context);
      items += part;
      items += filled;
    } catch (const std::exception&) {
      continue;
    }
    previous = item;
    lastInputs = inputs;
    lastNoCheck = noCheck;
    if (!noCheck && item->read == store::kStateUnread &&
        store::SetItemState(states_, item, store::kStateRead, store::Protection::kOverride)) {
      ++becameRead;
    }
  }
  if (becameRead > 0) {
    searchCount_.Restart();
    if (list_ != nullptr) list_->StatusText();
  }
  return items;
}

void SummaryPages::RenderViewPage(PageState& page) {
  if (page.PageList.empty()) {
    RenderMessagePage(list_ != nullptr ? list_->SelectedNode() : nullptr);
    return;
  }
  page.PageStart = std::min(page.PageStart, page.PageList.size() - 1);
  const PreparedStyle& style = styles_.CurrentStyle();
  const FillContext context = Context(&page);
  FillInputs lastInputs;
  bool lastNoCheck = false;
  const std::string items = ViewPageItems(page, style, context, lastInputs, lastNoCheck);
  const std::string& marker = page.PageList.size() == 1 ? style.SingleMarker : style.MultiMarker;
  ShowPage(style, marker, items, lastInputs, lastNoCheck, context, page.PageId);
}

void SummaryPages::ShowPage(const PreparedStyle& style, const std::string& marker, const std::string& content,
                            const FillInputs& lastInputs, bool noCheck, const FillContext& context, int64_t pageId) {
  std::string page = style.PageTemplate;
  for (const std::string* other : {&style.DefaultMarker, &style.SingleMarker, &style.MultiMarker}) {
    if (*other != marker) EraseAll(page, *other);
  }
  // The page around the items shows the page's state and the last item. It is filled
  // before the items go in, so that no text of an item is read as a placeholder.
  const int pageIndex = ViewMode() && !content.empty() ? 0 : kIndexNone;
  FillPlaceholders(page, pageIndex, noCheck, lastInputs, context);
  ReplaceAll(page, marker, content);
  const std::vector<std::string_view> removed = RemovedElements(settings_);
  const std::optional<std::string> body = platform::CleanHtmlBody(page, removed);
  // A page that could not be read leaves the previous one on screen.
  if (!body) return;
  SummaryPage shown;
  shown.Html = PageDocument(*body, style.Css, kPageCharset);
  shown.Caption = text::J("概要");
  shown.PageId = pageId;
  display_.ShowSummaryPage(shown);
}

bool SummaryPages::PageNext(PageState& page) {
  if (!display_.ShowsPage(page.PageId)) {
    dialogs_.Beep();
    return false;
  }
  if (page.PageList.empty() || page.PageStart + PageSize() - 1 >= page.PageList.size() - 1) return false;
  page.PageStart += PageSize();
  RenderViewPage(page);
  return true;
}

bool SummaryPages::PagePrevious(PageState& page) {
  if (!display_.ShowsPage(page.PageId)) {
    dialogs_.Beep();
    return false;
  }
  if (page.PageStart < 1 || page.PageList.empty()) return false;
  page.PageStart = page.PageStart > PageSize() ? page.PageStart - PageSize() : 0;
  RenderViewPage(page);
  return true;
}

void SummaryPages::ShowAllPage() {
  if (list_ == nullptr) return;
  // The flags go off again however the rebuild ends.
  struct ShowAllScope {
    SummaryPages& pages;
    HeadlineList& list;
    ShowAllScope(SummaryPages& p, HeadlineList& l) : pages(p), list(l) {
      pages.showAllMode_ = true;
      list.SetShowAllMode(true);
    }
    ~ShowAllScope() {
      pages.showAllMode_ = false;
      list.SetShowAllMode(false);
    }
  } scope(*this, *list_);
  list_->ShowNode(list_->SelectedNode(), true);
}

std::string SummaryPages::Translate(const std::string& address, const store::TSiteList* channel) {
  return TranslateAddress(address, channel != nullptr && channel->entojp != 0);
}

std::string PageDocument(std::string_view body, std::string_view css, std::string_view charset) {
  // A style sheet cannot end its own element early: "</" never appears in CSS outside
  // strings and comments, where "<\/" reads the same.
  std::string sheet(css);
  for (size_t at = sheet.find("</"); at != std::string::npos; at = sheet.find("</", at + 3)) sheet.insert(at + 1, "\\");
  // No document type: the styles were made for a browser that reads such pages in quirks
  // mode (heights in percent, tables of full width), and they look right only there. That
  // browser's quirks mode also counted padding and border inside a box's width and height;
  // without that, every box of full width or height overflows and a short page scrolls.
  std::string page = "<html>\r\n<head>\r\n<meta charset=\"";
  page.append(charset).append("\">\r\n<title>").append(text::J("概要")).append("</title>\r\n<style>\r\n");
  page.append("*, *::before, *::after { box-sizing: border-box }\r\n");
  page.append(sheet).append("\r\n</style>\r\n</head>\r\n<body>\r\n").append(body).append("\r\n</body>\r\n</html>\r\n");
  return page;
}

}  // namespace present
