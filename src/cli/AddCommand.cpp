// SPDX-License-Identifier: MIT
// "plover-cli add": new channels registered the way the registration dialog's OK does.
#include <optional>
#include <string>
#include <vector>

#include "app/ChannelFormRules.h"
#include "app/ChannelRegistrar.h"
#include "app/DataSession.h"
#include "app/NodePath.h"
#include "cli/CommandError.h"
#include "cli/Commands.h"
#include "cli/ForwardingDialogs.h"
#include "cli/OpenedFolder.h"
#include "cli/Output.h"
#include "fetch/ChannelRegistration.h"
#include "fetch/HttpDocumentSource.h"
#include "fetch/UpdateTexts.h"
#include "formats/html/HtmlExceptionList.h"
#include "formats/html/HtmlToFeed.h"
#include "store/TSiteList.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace cli {
namespace {

using store::TTreeNodeExt;

// The command line answers the question about an address registered already: Yes only
// with --allow-duplicates. Every other question goes to the console.
class DuplicateAnswers : public ForwardingDialogs {
 public:
  DuplicateAnswers(platform::Dialogs& console, bool allow) : ForwardingDialogs(console), allow_(allow) {}
  bool AskYesNo(const std::string& text, platform::MessageType type, platform::DefaultAnswer defaultAnswer) override {
    if (IsDuplicateQuestion(text)) return allow_;
    return ForwardingDialogs::AskYesNo(text, type, defaultAnswer);
  }
  platform::DialogAnswer AskYesNoCancel(const std::string& text, platform::MessageType type) override {
    if (IsDuplicateQuestion(text)) return allow_ ? platform::DialogAnswer::kYes : platform::DialogAnswer::kNo;
    return ForwardingDialogs::AskYesNoCancel(text, type);
  }
  static bool IsDuplicateQuestion(const std::string& text) {
    return text.find(text::J("既に同じFeedデータ ")) != std::string::npos;
  }

 private:
  bool allow_;
};

TTreeNodeExt* TargetGroup(app::DataSession& session, const std::optional<std::string>& path) {
  if (!path || path->empty()) return session.Tree().RootNode();
  const std::string captions = text::Utf8ToSjis(*path);
  TTreeNodeExt* node = captions.empty() ? nullptr : app::FindNodeByPath(session.Tree(), captions);
  if (node == nullptr) throw CommandError(text::J("ノードが見つかりません: ") + PathText(*path));
  if (node->Kind() != store::kKindGroup) throw CommandError(text::J("グループではありません: ") + PathText(*path));
  return node;
}

// Each address's outcome is printed below, once: the registration need not also show its
// failures as messages.
class ListedOutcomes : public fetch::RegistrationView {
 public:
  bool ShowsFailureBoxes() const override { return false; }
};

// One line per address: what was registered, or why not; a failure whose cause is known
// says it on an indented second line.
void PrintOutcome(const fetch::RegisteredAddress& outcome) {
  if (outcome.skipped) {
    PrintLine(stdout, text::J("追加しませんでした: ") + outcome.entered);
  } else if (outcome.channel != nullptr) {
    PrintLine(stdout, text::J("追加しました: ") + outcome.channel->Caption() + " (" + outcome.address + ")");
  } else if (outcome.result == formats::kFeedTreeChanged) {
    PrintLine(stdout, text::J("OPMLを取り込みました: ") + outcome.address);
  } else {
    PrintLine(stdout, text::J("登録できませんでした: ") + outcome.entered + " (" +
                          fetch::ErrorMessageText(outcome.result) + ")");
    if (!outcome.cause.empty()) PrintLine(stdout, "  " + outcome.cause);
  }
}

}  // namespace

int RunAdd(const CommandContext& context, const CommandArguments& arguments) {
  if (arguments.operands.empty()) throw CommandError(text::J("アドレスを指定してください。"), kExitUsage);
  OpenedFolder folder(context, app::DataAccess::kReadWrite);
  app::DataSession& session = folder.Session();
  TTreeNodeExt* target = TargetGroup(session, arguments.Value("--group"));
  DuplicateAnswers dialogs(folder.Dialogs(), arguments.Has("--allow-duplicates"));
  settings::Settings& settings = session.Settings();
  fetch::HttpDocumentSource web(fetch::HttpSettings::FromSettings(settings, fetch::AgentKind::kMain));
  formats::HtmlExceptionList exceptions = formats::HtmlExceptionList::Load(session.DataFolder());
  formats::HtmlToFeed html(formats::HtmlToFeedServices{settings, exceptions, session.DataFolder(), {}, {}});
  ListedOutcomes view;
  app::ChannelRegistrar registrar(session, app::RegistrarParts{dialogs, web, view, &html});
  fetch::ChannelRegistration& registration = registrar.Registration();
  std::vector<std::string> addresses;
  for (const std::string& operand : arguments.operands) addresses.push_back(text::Utf8ToSjis(operand));
  const uint8_t result = registration.AddChannels(addresses, target, false, app::DefaultsFromForm({}));
  for (const fetch::RegisteredAddress& outcome : registration.Outcomes()) PrintOutcome(outcome);
  if (registration.Changed() && session.Save(false) != store::SaveResult::kSaved) {
    throw CommandError(text::J("データを保存できませんでした: ") + PathText(session.DataFolder()));
  }
  return result != formats::kFeedNothingDone && result < formats::kFeedInternalError ? kExitOk : kExitFailed;
}

}  // namespace cli
