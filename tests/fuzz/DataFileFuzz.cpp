// SPDX-License-Identifier: MIT
// The data file parser over arbitrary bytes: builds a tree in a fresh store, writes it
// back and parses the result again. It must not crash, hang or grow without bound, and a
// tree it built must survive its own writer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataFileParser.h"
#include "store/datafile/DataFileWriter.h"
#include "store/journal/RecoveryCounter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view image(reinterpret_cast<const char*>(data), size);
  settings::Settings settings;
  settings.TreeOpen = size > 0 && data[0] % 2 == 0 ? 3 : 1;
  settings.ItemMax = 0;
  settings.DateMax = 0;
  store::ChannelStore store(settings);
  const store::ParseOutcome outcome = store::ParseChannelData(image, store, nullptr);
  if (outcome.createdNodes < 0 || outcome.itemCount < 0) std::abort();

  // What was built writes and reads back to the same totals.
  store::RecoveryCounter counter(1);
  const std::string written = store::SerializeChannelTree(store.Tree(), settings, 40000, counter);
  store::ChannelStore again(settings);
  const store::ParseOutcome reread = store::ParseChannelData(written, again, nullptr);
  if (!reread.hasHeader || reread.fatal) std::abort();
  if (again.Tree().RootNode()->ItemTotal() > store.Tree().RootNode()->ItemTotal()) std::abort();
  return 0;
}
