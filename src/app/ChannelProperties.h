// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/ChannelFormRules.h"
#include "formats/feeds/DocumentSource.h"
#include "formats/xml/XmlContext.h"
#include "platform/Dialogs.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"

namespace app {

// The property panel PL_PropertySet of the main window: the registration settings of the
// channel shown, and their application by "適用(&R)". The panel only shows and forwards.
class ChannelProperties {
 public:
  ChannelProperties(const settings::Settings& settings, store::ChannelStore& store, platform::Dialogs& dialogs,
                    formats::XmlContext& xml, formats::DocumentSource& source)
      : settings_(settings), store_(store), dialogs_(dialogs), xml_(xml), source_(source) {}

  // The channel the panel is about: the origin channel of the selected headline (search
  // results and the error log show items of other channels), else the selected tree node
  // when it is a channel of the user's tree; nullptr when there is none.
  store::TSiteList* PanelChannel(const store::TSiteRecord* selectedItem, const store::TTreeNodeExt* selectedNode) const;

  // The panel's values for the selection; none: the panel is disabled.
  std::optional<ChannelFormValues> Fill(const store::TSiteRecord* selectedItem,
                                        const store::TTreeNodeExt* selectedNode) const;
  // The values of a channel. An interval of 0 shows unchecked with TrayRefreshTime.
  ChannelFormValues ValuesOf(const store::TSiteList& channel) const;

  // ApplyChannelProperties: writes the values into the channel. A changed feed address
  // is loaded first; when it does not load the user decides, and No keeps the old address
  // and applies nothing. True when the values were applied.
  bool ApplyChannelProperties(const store::TSiteRecord* selectedItem, const store::TTreeNodeExt* selectedNode,
                              const ChannelFormValues& values);

  // Whether the address gives a document that loads as XML.
  bool LoadsAsXml(const std::string& address);

  // The hint of CB_AutoDownload: empty when the media program is there to take files.
  std::string AutoDownloadHint() const { return app::AutoDownloadHint(mediaProgram_ && mediaProgram_()); }
  void SetMediaProgramCheck(std::function<bool()> installed) { mediaProgram_ = std::move(installed); }

  // Called after values were applied, so the change reaches the disk.
  void SetAppliedHook(std::function<void()> applied) { applied_ = std::move(applied); }

 private:
  const settings::Settings& settings_;
  store::ChannelStore& store_;
  platform::Dialogs& dialogs_;
  formats::XmlContext& xml_;
  formats::DocumentSource& source_;
  std::function<void()> applied_;
  std::function<bool()> mediaProgram_;
};

}  // namespace app
