// SPDX-License-Identifier: MIT
// Feeds arbitrary bytes through the whole processing path into the channel of a fresh
// store: XML repair and loading, RSS, Atom and OPML reading, the merge and the header
// write-back. Each input is processed twice, so that the second pass meets the items the
// first one stored. Questions are answered No.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "formats/feeds/FeedProcessor.h"
#include "platform/SilentDialogs.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  settings::Settings settings = settings::DefaultSettings(0);
  // The first byte varies the settings that change which rules run.
  const uint8_t flags = size > 0 ? data[0] : 0;
  settings.SupportTags = flags % 3;
  settings.DupAction = (flags >> 2) % 3;
  settings.SearchDesc = (flags & 0x10) != 0;
  store::ChannelStore store(settings);
  platform::SilentDialogs dialogs;
  formats::XmlContext xml;
  formats::UpdateRunTotals totals;
  formats::MediaQueue media;
  formats::FeedServices services{store, settings, dialogs, xml};
  services.Totals = &totals;
  services.Media = {true, &media};
  services.Now = [] { return 45000.5; };
  formats::FeedProcessor processor(services);

  auto list = std::make_unique<store::TSiteList>();
  list->Site.rdfurl = "http://example.com/feed.xml";
  list->datecomp = (flags & 0x20) != 0;
  list->htmlrss = (flags & 0x40) != 0;
  list->encflag = 1;
  list->keyword = (flags & 0x80) != 0 ? "a !b" : "";
  store::TTreeNodeExt* node =
      store.Tree().AddChild(store.Tree().RootNode(), "feed", store::kKindChannel, std::move(list));
  store.RebuildDupList();
  store::TTreeNodeExt* out = nullptr;
  for (int pass = 0; pass < 2; ++pass) {
    processor.ProcessFeedDocument(node, out, bytes, "", formats::kFeedUpdate, false, {});
  }
  return 0;
}
