// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "formats/xml/XmlContext.h"
#include "platform/Dialogs.h"
#include "store/ChannelStore.h"
#include "store/TTreeNodeExt.h"

namespace app {

// What importing an OPML file gave.
struct OpmlFileImport {
  enum class Outcome {
    kImported,      // the outlines are in the tree
    kUnreadable,    // the file could not be read
    kNotXml,        // the file did not load as XML (the XML context tells why)
    kNotOpml,       // the document's root is not "opml"
    kNothingAdded,  // the list holds no outline that makes a node
  };
  Outcome outcome = Outcome::kUnreadable;
  int channelsAdded = 0;
  store::TTreeNodeExt* group = nullptr;  // the group that received the outlines
};

// Imports the OPML file at `path` the way the program takes a subscription list in: the
// document goes through the XML layer (with its repair of control bytes), and its
// outlines become a new group, the first child of `target`, named after the list's title,
// or else its owner, or else "OPMLリスト". Imported channels are stopped until the user
// resumes them; every 200th channel asks through `dialogs` whether to go on. A list that
// adds nothing leaves the tree as it was.
OpmlFileImport ImportOpmlFile(const std::string& path, store::TTreeNodeExt* target, store::ChannelStore& store,
                              formats::XmlContext& xml, platform::Dialogs& dialogs);

}  // namespace app
