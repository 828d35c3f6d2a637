// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "formats/xml/TXMLList.h"
#include "formats/xml/XmlContext.h"
#include "platform/Dialogs.h"
#include "store/ChannelStore.h"
#include "store/datafile/LegacyConverter.h"
#include "store/journal/ItemStateReplay.h"

namespace formats {

// Reads the older XML data file plover.def (and its stand-ins plover.def.bak, plover.sub,
// plover.sub.bak) for the one-time conversion that store::FeedDataFile runs.
//
// The file is an XML document whose root may have any name. Its child "plover" holds the
// format version in "version". Every other element is searched for "item" elements: each
// describes a group, channel, search item or item of a channel, its child elements hold
// the fields, and the "item" elements nested in it are its children or its items. Element
// names are compared ignoring case and surrounding spaces.
class LegacyDataConverter : public store::LegacyConverter {
 public:
  // `dialogs` is what the OPML export is given; the export runs quietly and shows nothing.
  LegacyDataConverter(XmlContext& context, platform::Dialogs& dialogs) : context_(context), dialogs_(dialogs) {}

  std::optional<double> OpenLegacyFile(const std::string& path) override;
  void BuildLegacyTree(store::ChannelStore& store, store::ItemStateReplay* replay) override;
  std::string ExportOpml(const store::TChannelTree& tree) override;

 private:
  XmlContext& context_;
  platform::Dialogs& dialogs_;
  TXMLList document_;  // the records of the document opened last
};

}  // namespace formats
