// SPDX-License-Identifier: MIT
#include "fetch/ChannelRegistration.h"

#include <ctime>
#include <optional>

#include "fetch/FeedLinks.h"
#include "fetch/UpdateTexts.h"
#include "fetch/private/ErrorLog.h"
#include "formats/html/PageLinks.h"
#include "platform/Ascii.h"
#include "platform/HttpTransport.h"
#include "settings/Credentials.h"
#include "store/LocalClock.h"
#include "text/Cut.h"
#include "text/Literal.h"

namespace fetch {
namespace {

// Shortcuts, links and saved mail pages dropped with a feed are no feeds of their own.
bool SkippedExtension(std::string_view address) {
  const size_t dot = address.rfind('.');
  if (dot == std::string_view::npos) return false;
  const std::string extension = LowerAddress(address.substr(dot));
  return extension == ".url" || extension == ".lnk" || extension == ".mht";
}

bool Failed(uint8_t result) {
  return result == formats::kFeedNothingDone || result >= formats::kFeedInternalError;
}

// The defaults of one address: a user name and password written into it become the new
// channel's credentials (scrambled, as the credentials always are), unless the form gave
// some of its own.
formats::TDefParamType WithAddressCredentials(const formats::TDefParamType& defaults,
                                              const formats::AddressCredentials& given) {
  formats::TDefParamType used = defaults;
  if (given.found && used.authorize.empty() && !(given.user.empty() && given.password.empty())) {
    used.authorize = settings::StoreCredential({given.user, given.password});
    used.Present = 1;
  }
  return used;
}

// Credentials belong to the origin of the address they were given with: a feed that a
// page declares on another site is registered without them.
formats::TDefParamType ForDeclaredFeed(formats::TDefParamType used, const std::string& page, const std::string& feed) {
  if (!platform::SameOrigin(page, feed)) used.authorize.clear();
  return used;
}

}  // namespace

std::string ChannelRegistration::DuplicateQuestion(const std::string& address, const std::string& name) {
  return address + "\r\n\r\n" + text::J("既に同じFeedデータ ") + "\"" + name + "\"" +
         text::J(" が存在します 登録しますか？");
}

std::string ChannelRegistration::FileAddressToPath(const std::string& address) {
  // The third "/" of "file:///" starts the absolute path of this system.
  if (!platform::StartsWithAsciiNoCase(address, "file:///")) return address;
  return address.substr(7);
}

double ChannelRegistration::Now() const {
  return services_.Now ? services_.Now() : store::LocalDayNumber(std::time(nullptr));
}

uint8_t ChannelRegistration::AddChannels(const std::vector<std::string>& addresses, store::TTreeNodeExt* target,
                                         bool noQuestion, const formats::TDefParamType& defaults) {
  outcomes_.clear();
  firstChannel_ = nullptr;
  enclosureFound_ = false;
  changed_ = false;
  errorCount_ = 0;
  if (target == nullptr) return formats::kFeedNothingDone;
  RegistrationView& view = services_.View;
  view.SetCursor(RunCursor::kBackgroundBusy);
  if (services_.FtpPreRun != nullptr && !services_.FtpPreRun->PreRun()) {
    view.SetCursor(RunCursor::kNormal);
    return formats::kFeedNothingDone;
  }
  services_.Store.Tree().LockTreePaint(true);
  const formats::FeedMode mode =
      target->Kind() == store::kKindGroup ? formats::kFeedRegisterFirst : formats::kFeedRegisterBefore;
  services_.Totals = formats::UpdateRunTotals{};
  uint8_t result = formats::kFeedNothingDone;
  for (size_t index = 0; index < addresses.size(); ++index) {
    const bool last = index + 1 == addresses.size();
    RegisteredAddress& outcome = outcomes_.emplace_back();
    const formats::AddressCredentials given = formats::SplitAddressCredentials(addresses[index]);
    outcome.entered = given.address;
    outcome.address = FileAddressToPath(given.address);
    if (SkippedExtension(given.address)) {
      outcome.skipped = true;
      continue;
    }
    Step step = AskDuplicate(outcome.address, last, noQuestion);
    if (step != Step::kGo) {
      outcome.skipped = true;
      if (step == Step::kEnd) break;
      continue;
    }
    const formats::TDefParamType used = WithAddressCredentials(defaults, given);
    uint8_t r = Process(target, outcome.address, mode, used, outcome);
    if (r == formats::kFeedBadXml || r == formats::kFeedNotAFeed) {
      // Perhaps an ordinary page: the first feed it declares is tried in its place.
      const std::string page = outcome.address;
      const std::string feed = DeclaredFeed(page, used.authorize);
      if (!feed.empty()) {
        step = AskDuplicate(feed, last, noQuestion);
        if (step != Step::kGo) {
          outcome.skipped = true;
          result = r;
          if (step == Step::kEnd) break;
          continue;
        }
        r = Process(target, feed, mode, ForDeclaredFeed(used, page, feed), outcome);
      }
    }
    result = r;
    Report(outcome, target, noQuestion);
  }
  Finish();
  return result;
}

ChannelRegistration::Step ChannelRegistration::AskDuplicate(const std::string& address, bool last, bool noQuestion) {
  if (noQuestion) return Step::kGo;
  const std::string name = FindChannelByAddress(services_.Store.Tree().RootNode(), LowerAddress(address));
  if (name.empty()) return Step::kGo;
  const std::string question = DuplicateQuestion(address, name);
  // On the last address No has nothing left to skip to, so that question has no Cancel.
  if (last) {
    return services_.Dialogs.AskYesNo(question, platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)
               ? Step::kGo
               : Step::kEnd;
  }
  switch (services_.Dialogs.AskYesNoCancel(question, platform::MessageType::kConfirmation)) {
    case platform::DialogAnswer::kYes:
      return Step::kGo;
    case platform::DialogAnswer::kNo:
      return Step::kSkip;
    case platform::DialogAnswer::kCancel:
      break;
  }
  return Step::kEnd;
}

uint8_t ChannelRegistration::Process(store::TTreeNodeExt* target, const std::string& address, formats::FeedMode mode,
                                     const formats::TDefParamType& defaults, RegisteredAddress& outcome) {
  store::TTreeNodeExt* channel = nullptr;
  const formats::FeedResult r =
      services_.Processor.ProcessFeedDocument(target, channel, std::nullopt, address, mode, false, defaults);
  outcome.address = address;
  outcome.result = r;
  outcome.cause = services_.Processor.FetchErrorCause();
  if (!Failed(r) && channel != nullptr && store::IsChannelKind(channel->Kind())) {
    outcome.channel = channel;
    if (firstChannel_ == nullptr) firstChannel_ = channel;
  }
  return r;
}

std::string ChannelRegistration::DeclaredFeed(const std::string& pageAddress, const std::string& credentials) {
  formats::FetchRequest request;
  request.address = pageAddress;
  if (!credentials.empty()) {
    const settings::Credential plain = settings::ReadCredential(credentials);
    request.authorization = plain.User + ":" + plain.Password;
  }
  const formats::FetchResult page = services_.Pages.FetchDocument(request);
  if (page.status != formats::FetchResult::Status::kDocument) return {};
  const std::string_view bytes = std::string_view(page.bytes).substr(0, formats::kPageLoadLimitBytes);
  const std::vector<std::string> feeds = FindFeedLinks(ReadPageLinkElements(bytes));
  if (feeds.empty()) return {};
  return ResolveFeedHref(pageAddress, text::TrimJ(feeds.front()));
}

void ChannelRegistration::Report(const RegisteredAddress& outcome, store::TTreeNodeExt* target, bool noQuestion) {
  store::TChannelTree& tree = services_.Store.Tree();
  const bool treeOpen = services_.Settings.TreeOpen == 1;
  const uint8_t result = outcome.result;
  if (result >= formats::kFeedChanged && result <= formats::kFeedTreeChanged) {
    changed_ = true;
    if (treeOpen && result != formats::kFeedChanged) tree.ExpandAncestors(target);
  } else if (Failed(result)) {
    if (!noQuestion) {
      platform::Dialogs* box = services_.View.ShowsFailureBoxes() ? &services_.Dialogs : nullptr;
      LogError(tree, result, nullptr, services_.Xml.ParseError, Now(), outcome.entered, box, outcome.cause);
    }
    ++errorCount_;
    if (treeOpen) tree.ExpandAncestors(target);
  }
}

void ChannelRegistration::Finish() {
  RegistrationView& view = services_.View;
  const std::string summary = RunSummaryText(services_.Totals.NewItemCount, 0, errorCount_, false, false);
  if (!summary.empty()) view.ShowBalloon(services_.ProgramTitle, summary);
  enclosureFound_ = services_.Totals.EnclosurePending;
  if (firstChannel_ != nullptr && firstChannel_ != view.SelectedNode()) {
    view.SelectNode(firstChannel_);
  } else if (changed_) {
    view.ReloadItemList();
  }
  if (services_.HandOver != nullptr && services_.Media != nullptr) {
    services_.HandOver->HandOver(*services_.Media, services_.Settings);
  }
  services_.Store.Tree().LockTreePaint(false);
  view.SetCursor(RunCursor::kNormal);
}

}  // namespace fetch
