// SPDX-License-Identifier: MIT
// Loads arbitrary bytes as an XML document (with the control-byte repair the feed loader
// uses) and builds the record tree from it, without and with a raw-markup test that asks
// for every element's markup.
#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/xml/XmlListBuilder.h"
#include "formats/xml/XmlLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string buffer(reinterpret_cast<const char*>(data), size);
  formats::XmlContext context;
  const formats::XmlLoad load = formats::LoadXmlDocumentRepaired(context, buffer);
  if (!load) return 0;
  const formats::TXMLList walked = formats::BuildXmlList(*load.Document);
  const formats::TXMLList captured =
      formats::BuildXmlList(*load.Document, [](const formats::TXMLItemType&) { return true; });
  (void)formats::ReadChildText(walked, "rss/channel/title");
  (void)formats::ReadChildText(captured, "feed/title");
  return 0;
}
