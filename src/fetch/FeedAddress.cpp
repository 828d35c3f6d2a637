// SPDX-License-Identifier: MIT
#include "fetch/FeedAddress.h"

#include "platform/Ascii.h"
#include "text/Cut.h"

namespace fetch {

std::string NormalizeFeedUrl(std::string_view text) {
  std::string address = text::TrimJ(text);
  if (!platform::StartsWithAsciiNoCase(address, "feed:")) return address;
  address = text::TrimJ(std::string_view(address).substr(platform::StartsWithAsciiNoCase(address, "feed://") ? 7 : 5));
  // A host name (its first dot before any ":" or "/") gets the HTTP scheme; a scheme of its
  // own stays; leading path pieces before the host are dropped.
  size_t position = 0;
  while (position < address.size()) {
    const char c = address[position];
    if (c == '.') return "http://" + address;
    if (c == ':') break;
    if (c == '/') {
      address.erase(0, position + 1);
      position = 0;
      continue;
    }
    ++position;
  }
  return address;
}

}  // namespace fetch
