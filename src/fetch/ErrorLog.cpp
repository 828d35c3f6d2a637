// SPDX-License-Identifier: MIT
#include "fetch/private/ErrorLog.h"

#include "fetch/UpdateTexts.h"
#include "formats/feeds/DocumentSource.h"
#include "store/TTreeNodeExt.h"
#include "text/Html.h"
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

// Appends the entry to the log, naming the channel it reports on, as new and unread.
store::TSiteRecord* AddEntry(store::TChannelTree& tree, store::TSiteRecord entry, store::TSiteList* channel) {
  store::TTreeNodeExt* log = tree.EnsureErrorLogNode();
  entry.read = store::kStateUnread;
  entry.StatusEntry = 1;
  store::TSiteRecord* added = log->Data()->AddItem(std::move(entry));
  if (added != nullptr) {
    // The entry belongs to the log's list but names the channel it reports on.
    added->Owner = channel;
    tree.AddItemCount(log, 1);
    tree.AddUnreadCount(log, 1);
  }
  return added;
}

}  // namespace

store::TSiteRecord* LogError(store::TChannelTree& tree, int kind, store::TSiteList* channel,
                             const formats::TParseError& parseError, double now, const std::string& detail,
                             platform::Dialogs* dialogs, const std::string& cause) {
  const std::string address = formats::WithoutCredentials(detail);
  store::TSiteRecord entry;
  entry.title = ErrorTitlePrefix(kind) + " - " + ChannelName(channel);
  entry.link = channel != nullptr && !channel->Site.link.empty() ? channel->Site.link : address;
  if (kind == kErrorBadXml) {
    entry.desc = ParseErrorDetail(parseError);
  } else {
    entry.desc = text::HtmlEscape(cause, false);
  }
  entry.modified = now;
  store::TSiteRecord* added = AddEntry(tree, std::move(entry), channel);
  if (dialogs != nullptr) {
    dialogs->ShowMessageBox(ErrorReportText(kind, cause, address), platform::MessageType::kError);
  }
  return added;
}

store::TSiteRecord* LogCredentialsWithheld(store::TChannelTree& tree, store::TSiteList& channel,
                                           const std::string& oldAddress, const std::string& newAddress, double now) {
  store::TSiteRecord entry;
  entry.title = CredentialsWithheldTitle() + " - " + ChannelName(&channel);
  entry.link = formats::WithoutCredentials(newAddress);
  entry.desc = CredentialsWithheldDetail(formats::WithoutCredentials(oldAddress), entry.link);
  entry.modified = now;
  return AddEntry(tree, std::move(entry), &channel);
}

}  // namespace fetch
