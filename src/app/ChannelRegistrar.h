// SPDX-License-Identifier: MIT
#pragma once

#include "app/DataSession.h"
#include "fetch/ChannelRegistration.h"
#include "formats/feeds/DocumentSource.h"
#include "formats/feeds/FeedProcessor.h"
#include "formats/html/HtmlFeedBuilder.h"
#include "formats/media/MediaHandOver.h"
#include "formats/media/MediaQueue.h"
#include "platform/Dialogs.h"

namespace app {

// What registering channels needs besides the data session: where documents come from,
// who asks the questions, and the window's part.
struct RegistrarParts {
  platform::Dialogs& Dialogs;
  formats::DocumentSource& Web;
  fetch::RegistrationView& View;
  formats::HtmlFeedBuilder* Html = nullptr;    // none: HTML channels yield no feed
  formats::MediaQueue* Media = nullptr;        // none: enclosures are not queued
  formats::MediaHandOver* HandOver = nullptr;  // none: nothing is handed to Podhall
};

// Channel registration with the feed processing it runs, put together once for the
// window and for plover-cli, so that both register exactly alike.
class ChannelRegistrar {
 public:
  ChannelRegistrar(DataSession& session, RegistrarParts parts);
  ChannelRegistrar(const ChannelRegistrar&) = delete;
  ChannelRegistrar& operator=(const ChannelRegistrar&) = delete;

  fetch::ChannelRegistration& Registration() { return registration_; }

 private:
  formats::FeedServices FeedServicesFor(DataSession& session, const RegistrarParts& parts);
  fetch::RegistrationServices RegistrationServicesFor(DataSession& session, const RegistrarParts& parts);

  formats::UpdateRunTotals totals_;
  formats::FeedProcessor processor_;
  fetch::ChannelRegistration registration_;
};

}  // namespace app
