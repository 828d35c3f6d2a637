// SPDX-License-Identifier: MIT
#include "shell/HeadlinePageCommands.h"

#include <charconv>

#include "fetch/FeedAddress.h"
#include "platform/Ascii.h"
#include "present/PageFill.h"
#include "store/TSiteList.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace shell {
namespace {

constexpr std::string_view kCommandScheme = "varnholt:";
constexpr std::string_view kCheckCommand = "hrfeed_check#";
constexpr std::string_view kOptionCommand = "hrfeed_option#";
constexpr std::string_view kEnclosureScheme = "enclosure:";

bool Starts(std::string_view text, std::string_view prefix) {
  return platform::StartsWithAsciiNoCase(text, prefix);
}

}  // namespace

HeadlinePageCommands::HeadlinePageCommands(PageCommandServices services) : services_(std::move(services)) {}

bool HeadlinePageCommands::HandleInternalLink(const std::string& address, ViewId view) {
  const std::string trimmed = text::TrimLeftJ(address);
  PageCommandsHost& host = services_.host;
  if (services_.installStyle && services_.installStyle(address, host.ShiftHeld())) return true;
  if (Starts(trimmed, kCommandScheme)) {
    InternalCommand(std::string_view(trimmed).substr(kCommandScheme.size()));
    return true;
  }
  if (Starts(trimmed, "feed:")) {
    host.OpenAddChannel(fetch::NormalizeFeedUrl(trimmed));
    return true;
  }
  if (Starts(trimmed, kEnclosureScheme)) {
    Enclosure(std::string_view(trimmed).substr(kEnclosureScheme.size()));
    return true;
  }
  if (host.AltHeld() && host.CtrlHeld() && MediaKeys(address)) return true;
  if (!host.ShiftHeld() && services_.settings.AutoPopup) {
    for (const std::string& feed : host.DiscoveredFeeds(view)) {
      if (platform::EqualsAsciiNoCase(feed, address)) {
        host.OpenAddChannel(feed);
        return true;
      }
    }
  }
  return false;
}

void HeadlinePageCommands::InternalCommand(std::string_view command) {
  if (platform::EqualsAsciiNoCase(command, "hrfeed_showall")) {
    services_.pages.ShowAllPage();
  } else if (platform::EqualsAsciiNoCase(command, "hrfeed_previous")) {
    services_.pages.PagePrevious(services_.list.Page());
  } else if (platform::EqualsAsciiNoCase(command, "hrfeed_next")) {
    services_.list.SeekNextUnread(true);
  } else if (Starts(command, kCheckCommand)) {
    ToggleProtection(command.substr(kCheckCommand.size()));
  } else if (Starts(command, kOptionCommand)) {
    OpenOption(command.substr(kOptionCommand.size()));
  }
  // Any other command of the scheme is swallowed.
}

store::TSiteRecord* HeadlinePageCommands::PageItem(std::string_view index) const {
  size_t value = 0;
  const auto [end, error] = std::from_chars(index.data(), index.data() + index.size(), value);
  if (error != std::errc() || end != index.data() + index.size() || index.empty()) return nullptr;
  const std::vector<store::TSiteRecord*>& list = services_.list.Page().PageList;
  return value < list.size() ? list[value] : nullptr;
}

std::string HeadlinePageCommands::FlagImage(const store::TSiteRecord& item) const {
  return services_.systemUrl + present::ReadStateImage(item);
}

void HeadlinePageCommands::ToggleProtection(std::string_view index) {
  if (!services_.display.ShowsPage(services_.list.Page().PageId)) {
    services_.dialogs.Beep();
    return;
  }
  store::TSiteRecord* item = PageItem(index);
  if (item == nullptr) return;
  // Protected becomes read, anything else protected; through the one state change, so the
  // journal keeps the choice too.
  const uint8_t state = item->read == store::kStateProtected ? store::kStateRead : store::kStateProtected;
  store::SetItemState(services_.states, item, state, store::Protection::kOverride);
  services_.states.store.SetModified();
  if (services_.host.ActiveViewShowsSummary()) {
    services_.host.SetPageImage("rec" + std::string(index), "", FlagImage(*item));
  }
  services_.list.RepaintItem(item);
}

void HeadlinePageCommands::OpenOption(std::string_view index) {
  store::TSiteRecord* item = PageItem(index);
  if (item == nullptr) return;
  optionItem_ = item;
  services_.host.OpenOptionMenu(*item);
}

void HeadlinePageCommands::Enclosure(std::string_view address) {
  std::string entry(address);
  const int row = services_.list.FocusedRow();
  const store::TSiteRecord* selected = row >= 0 ? services_.list.Item(static_cast<size_t>(row)) : nullptr;
  if (selected != nullptr && selected->Owner != nullptr) entry += "\t" + selected->Owner->Site.title;
  services_.media.QueueMedia(std::move(entry));
  services_.handOver.HandOver(services_.media, services_.settings);
}

bool HeadlinePageCommands::MediaKeys(const std::string& address) {
  if (!services_.handOver.PodhallInstalled()) return false;
  if (formats::IsMediaAddress(address)) {
    services_.media.QueueMedia(address);
    services_.handOver.HandOver(services_.media, services_.settings);
  } else {
    services_.dialogs.ShowMessageBox(text::J("この拡張子はPodhallで未指定です。"), platform::MessageType::kInformation);
  }
  return true;
}

void HeadlinePageCommands::LinkOpened(const std::string& address) {
  if (!services_.host.ActiveViewShowsSummary()) return;
  present::HeadlineList& list = services_.list;
  if (services_.settings.FormViewMode == settings::kModeView) {
    const present::PageState& page = list.Page();
    if (page.PageList.empty() || !services_.display.ShowsPage(page.PageId)) return;
    const size_t seekMax = static_cast<size_t>(std::max(services_.settings.EvwSeekMax, 0));
    const size_t last = std::min(page.PageStart + seekMax + 1, page.PageList.size() - 1);
    for (size_t index = page.PageStart; index <= last; ++index) {
      const store::TSiteRecord* item = page.PageList[index];
      if (item == nullptr || !platform::EqualsAsciiNoCase(item->link, address)) continue;
      services_.host.SetPageImage("rec" + std::to_string(index), "flag_u.gif", services_.systemUrl + "flag_r.gif");
    }
    return;
  }
  const int row = list.FocusedRow();
  store::TSiteRecord* item = row >= 0 ? list.Item(static_cast<size_t>(row)) : nullptr;
  if (item == nullptr || item->read != store::kStateUnread) return;
  if (!platform::EqualsAsciiNoCase(item->link, address) &&
      !platform::EqualsAsciiNoCase(present::HeadlineList::ItemAddress(*item), address)) {
    return;
  }
  list.SetRowState(static_cast<size_t>(row), store::kStateRead, store::Protection::kOverride);
  list.StatusText();
}

}  // namespace shell
