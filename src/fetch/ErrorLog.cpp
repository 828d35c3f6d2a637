// SPDX-License-Identifier: MIT
#include "fetch/ErrorLog.h"

#include "fetch/UpdateTexts.h"
#include "store/TTreeNodeExt.h"
#include "text/Literal.h"

namespace fetch {
namespace {

// The name the entry gives the channel: its feed title, or, for a channel that has not
// been read yet (its title still empty), the caption the user sees in the tree.
std::string ChannelName(const store::TSiteList* channel) {
  if (channel == nullptr) return text::J("不明");
  if (!channel->Site.title.empty()) return channel->Site.title;
  if (channel->Node != nullptr && !channel->Node->Caption().empty()) return channel->Node->Caption();
  return text::J("不明");
}

}  // namespace

store::TSiteRecord* LogError(store::TChannelTree& tree, int kind, store::TSiteList* channel,
                             const formats::TParseError& parseError, double now, const std::string& detail,
                             platform::Dialogs* dialogs) {
  store::TTreeNodeExt* log = tree.EnsureErrorLogNode();
  store::TSiteRecord entry;
  entry.title = ErrorTitlePrefix(kind) + " - " + ChannelName(channel);
  if (channel != nullptr) entry.link = channel->Site.link;
  if (kind == kErrorBadXml) entry.desc = ParseErrorDetail(parseError);
  entry.modified = now;
  entry.read = store::kStateUnread;
  entry.StatusEntry = 1;
  store::TSiteRecord* added = log->Data()->AddItem(std::move(entry));
  if (added != nullptr) {
    // The entry belongs to the log's list but names the channel it reports on.
    added->Owner = channel;
    tree.AddItemCount(log, 1);
    tree.AddUnreadCount(log, 1);
  }
  if (dialogs != nullptr) {
    dialogs->ShowMessageBox(ErrorMessageText(kind) + "\r\n\r\n\"" + detail + "\"", platform::MessageType::kError);
  }
  return added;
}

}  // namespace fetch
