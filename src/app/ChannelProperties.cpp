// SPDX-License-Identifier: MIT
#include "app/ChannelProperties.h"

#include <utility>

#include "formats/xml/XmlLoader.h"
#include "store/TSiteList.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace app {

store::TSiteList* ChannelProperties::PanelChannel(const store::TSiteRecord* selectedItem,
                                                  const store::TTreeNodeExt* selectedNode) const {
  if (selectedItem != nullptr && selectedItem->Owner != nullptr) return selectedItem->Owner;
  const store::TTreeNodeExt* root = store_.Tree().RootNode();
  if (selectedNode == nullptr || !store::IsChannelKind(selectedNode->Kind()) || !selectedNode->IsSameOrBelow(root)) {
    return nullptr;
  }
  return selectedNode->Data();
}

ChannelFormValues ChannelProperties::ValuesOf(const store::TSiteList& channel) const {
  ChannelFormValues values = FormValuesOf(channel.Options(), settings_.TrayRefreshTime);
  values.address = channel.Site.rdfurl;
  return values;
}

std::optional<ChannelFormValues> ChannelProperties::Fill(const store::TSiteRecord* selectedItem,
                                                         const store::TTreeNodeExt* selectedNode) const {
  const store::TSiteList* channel = PanelChannel(selectedItem, selectedNode);
  if (channel == nullptr) return std::nullopt;
  return ValuesOf(*channel);
}

bool ChannelProperties::LoadsAsXml(const std::string& address) {
  formats::FetchRequest request;
  request.address = address;
  const formats::FetchResult result = source_.FetchDocument(request);
  if (result.status != formats::FetchResult::Status::kDocument) return false;
  return static_cast<bool>(formats::LoadXmlDocument(xml_, result.bytes));
}

bool ChannelProperties::ApplyChannelProperties(const store::TSiteRecord* selectedItem,
                                               const store::TTreeNodeExt* selectedNode,
                                               const ChannelFormValues& values) {
  store::TSiteList* channel = PanelChannel(selectedItem, selectedNode);
  if (channel == nullptr) return false;
  store_.SetModified();
  const std::string address = text::TrimJ(values.address);
  if (address != text::TrimJ(channel->Site.rdfurl) && !LoadsAsXml(address) &&
      !dialogs_.AskYesNo(text::J("FeedデータのURLが変更されましたが接続に失敗しました") + "\r\n" +
                             text::J("強行する場合は[はい]をどうぞ"),
                         platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)) {
    return false;
  }
  channel->Site.rdfurl = address;
  store::ChannelOptions options = OptionsFromForm(values);
  options.keyword = text::TrimJ(values.filter);
  // The panel has no field for the Bloglines address: the channel keeps its own.
  options.clone = channel->clone;
  channel->Options() = std::move(options);
  // The panel showed the credentials with the channel's address: applying it confirms them
  // for that address, also when they were held for the site the channel moved away from.
  channel->authsite.clear();
  if (applied_) applied_();
  const std::string name = channel->Node != nullptr ? channel->Node->Caption() : channel->Site.title;
  dialogs_.ShowMessageBox(text::J("変更内容を〝") + name + text::J("〟に適用しました。"),
                          platform::MessageType::kInformation);
  return true;
}

}  // namespace app
