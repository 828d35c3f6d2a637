// SPDX-License-Identifier: MIT
#include "app/ChannelRegistrar.h"

#include "formats/feeds/FeedDate.h"

namespace app {

ChannelRegistrar::ChannelRegistrar(DataSession& session, RegistrarParts parts)
    : processor_(FeedServicesFor(session, parts)), registration_(RegistrationServicesFor(session, parts)) {}

fetch::RegistrationServices ChannelRegistrar::RegistrationServicesFor(DataSession& session,
                                                                      const RegistrarParts& parts) {
  fetch::RegistrationServices services{session.Store(), session.Settings(), parts.Dialogs, session.Xml(), processor_,
                                       totals_,         parts.Web,          parts.View};
  services.HandOver = parts.HandOver;
  services.Media = parts.Media;
  services.ProgramTitle = session.Settings().ProgramTitle;
  return services;
}

formats::FeedServices ChannelRegistrar::FeedServicesFor(DataSession& session, const RegistrarParts& parts) {
  formats::FeedServices services{session.Store(), session.Settings(), parts.Dialogs, session.Xml()};
  services.Journal = &session.Journal();
  services.Network = &parts.Web;
  services.HtmlBuilder = parts.Html;
  services.Totals = &totals_;
  services.Media.Queue = parts.Media;
  services.Media.PodhallInstalled = parts.HandOver != nullptr && parts.HandOver->PodhallInstalled();
  services.LocalZone = formats::ZoneRules::Machine();
  return services;
}

}  // namespace app
