// SPDX-License-Identifier: MIT
#include "app/OpmlFileImport.h"

#include "formats/Opml.h"
#include "formats/feeds/DocumentSource.h"
#include "formats/xml/XmlListBuilder.h"
#include "formats/xml/XmlLoader.h"
#include "platform/Files.h"
#include "text/Compare.h"
#include "text/Literal.h"

namespace app {
namespace {

int CountChannels(store::TTreeNodeExt* node) {
  int count = 0;
  store::TChannelTree::ForEachNode(node, [&count](store::TTreeNodeExt* each) {
    if (store::IsChannelKind(each->Kind())) ++count;
  });
  return count;
}

}  // namespace

OpmlFileImport ImportOpmlFile(const std::string& path, store::TTreeNodeExt* target, store::ChannelStore& store,
                              formats::XmlContext& xml, platform::Dialogs& dialogs) {
  OpmlFileImport result;
  // A list is a local document like any other: a regular file within the same limit, so
  // a device or a pipe named as the list cannot hold the program.
  std::string bytes;
  if (target == nullptr ||
      platform::ReadRegularFile(path, formats::kMaxLocalDocumentBytes, bytes) != platform::DocumentRead::kOk) {
    return result;
  }
  formats::XmlLoad load = formats::LoadXmlDocumentRepaired(xml, bytes);
  if (!load) {
    result.outcome = OpmlFileImport::Outcome::kNotXml;
    return result;
  }
  const formats::TXMLList list = formats::BuildXmlList(*load.Document);
  load.Document.reset();
  if (list.empty() || !text::SameTextTrimmed(list.front()->Name, "opml")) {
    result.outcome = OpmlFileImport::Outcome::kNotOpml;
    return result;
  }

  store::TChannelTree& tree = store.Tree();
  const bool wasModified = store.DataModified();
  store::TTreeNodeExt* group = tree.AddChildFirst(target, text::J("OPMLリスト"), store::kKindGroup);
  if (group == nullptr) return result;
  formats::OpmlImportContext context;
  context.SourceAddress = path;
  formats::ImportOpml(list, group, 0, context, store, dialogs);
  if (!context.Changed) {
    store.DeleteNode(group);
    // The empty group came and went: the data is as it was.
    if (!wasModified) store.ClearModified();
    result.outcome = OpmlFileImport::Outcome::kNothingAdded;
    return result;
  }
  std::string caption = context.Title;
  if (caption.empty()) caption = context.OwnerName;
  if (!caption.empty()) tree.SetCaption(group, caption);
  store.SetModified();
  result.outcome = OpmlFileImport::Outcome::kImported;
  result.channelsAdded = CountChannels(group);
  result.group = group;
  return result;
}

}  // namespace app
