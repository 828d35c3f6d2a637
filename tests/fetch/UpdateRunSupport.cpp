// SPDX-License-Identifier: MIT
#include "UpdateRunSupport.h"

namespace fetch {

std::string RssDocument(const std::string& title, int count, const std::string& prefix) {
  std::string document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>" + title +
                         "</title><link>http://example.jp/</link>";
  for (int i = 1; i <= count; ++i) {
    const std::string name = prefix + std::to_string(i);
    document += "<item><title>" + name + "</title><link>http://example.jp/" + name + "</link></item>";
  }
  return document + "</channel></rss>";
}

std::vector<std::string> ErrorLogTitles(const store::TChannelTree& tree) {
  std::vector<std::string> titles;
  if (tree.ErrorLogNode() == nullptr) return titles;
  for (const auto& entry : tree.ErrorLogNode()->Data()->Items()) titles.push_back(entry->title);
  return titles;
}

}  // namespace fetch
