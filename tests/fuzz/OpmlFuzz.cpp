// SPDX-License-Identifier: MIT
// OPML import over arbitrary bytes, once as an ordinary document and once as the Bloglines
// subscription list, into a fresh store whose dialogs answer every question with Cancel;
// then the export of what was built, read back in. It must not crash, hang or grow without
// bound, and the export must bring back every channel it holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "formats/Opml.h"
#include "formats/xml/XmlLoader.h"
#include "platform/SilentDialogs.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "text/Convert.h"

namespace {

// Imports the document below a new group of a fresh store and returns the channel count.
int ImportInto(store::ChannelStore& store, const formats::TXMLList& list, const std::string& source,
               store::TTreeNodeExt*& target) {
  platform::SilentDialogs dialogs;
  target = store.Tree().AddChild(store.Tree().RootNode(), "target", store::kKindGroup);
  formats::OpmlImportContext context;
  context.SourceAddress = source;
  formats::ImportOpml(list, target, 0, context, store, dialogs);
  if (context.ChannelCount < 0 || context.ChannelCount > formats::kOpmlChannelLimit) std::abort();
  return context.ChannelCount;
}

int ChannelsBelow(const store::TTreeNodeExt& node) {
  int count = 0;
  for (size_t i = 0; i < node.ChildCount(); ++i) {
    count += (node.Child(i)->Data() ? 1 : 0) + ChannelsBelow(*node.Child(i));
  }
  return count;
}

void RoundTrip(std::string_view bytes, const std::string& source, bool bloglinesSync) {
  formats::XmlContext xml;
  const std::optional<formats::TXMLList> list = formats::LoadXmlList(xml, bytes);
  if (!list) return;
  settings::Settings settings;
  settings.BloglinesSync = bloglinesSync;
  store::ChannelStore store(settings);
  store::TTreeNodeExt* target = nullptr;
  ImportInto(store, *list, source, target);
  const int channels = ChannelsBelow(*target);

  platform::SilentDialogs dialogs;
  const std::string exported = text::SjisToUtf8(formats::ExportOpml(target, false, dialogs));
  const std::optional<formats::TXMLList> again = formats::LoadXmlList(xml, exported);
  if (!again) std::abort();  // our own export must always load
  store::ChannelStore second(settings);
  store::TTreeNodeExt* secondTarget = nullptr;
  ImportInto(second, *again, source, secondTarget);
  if (ChannelsBelow(*secondTarget) != channels) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  RoundTrip(bytes, "http://example.jp/list.opml", false);
  RoundTrip(bytes, "http://rpc.bloglines.com/listsubs", true);
  return 0;
}
