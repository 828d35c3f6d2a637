// SPDX-License-Identifier: MIT
#include "cli/UpdateCommand.h"

#include <unistd.h>

#include <charconv>
#include <optional>
#include <string>
#include <utility>

#include "app/UpdateAssembly.h"
#include "cli/CommandError.h"
#include "cli/ConsoleUpdateView.h"
#include "cli/ForwardingDialogs.h"
#include "cli/NeverLocked.h"
#include "cli/OpenedFolder.h"
#include "cli/Output.h"
#include "fetch/UpdateRun.h"
#include "fetch/UpdateTexts.h"
#include "platform/InterruptWatch.h"
#include "platform/PlainEventLoop.h"
#include "settings/SettingsStore.h"
#include "text/Literal.h"

namespace cli {
namespace {

constexpr int64_t kInterruptCheckMs = 100;

// The options stand for the keys held on the update button: --force for Shift (no
// stored Last-Modified dates), --sync for Ctrl (one channel after another).
class OptionKeys : public fetch::ModifierKeys {
 public:
  OptionKeys(bool force, bool sync) : force_(force), sync_(sync) {}
  bool ShiftHeld() const override { return force_; }
  bool CtrlHeld() const override { return sync_; }

 private:
  bool force_;
  bool sync_;
};

// The command line is the user's confirmation: resuming every subscription under the root
// is what "update --resume" asks for, so that question is answered Yes. Every other
// question goes to the console.
class ResumeConfirmed : public ForwardingDialogs {
 public:
  explicit ResumeConfirmed(platform::Dialogs& console) : ForwardingDialogs(console) {}
  bool AskYesNo(const std::string& text, platform::MessageType type, platform::DefaultAnswer defaultAnswer) override {
    if (text == fetch::GroupSubscriptionQuestion(false)) return true;
    return ForwardingDialogs::AskYesNo(text, type, defaultAnswer);
  }
};

int ThreadLimit(const CommandArguments& arguments) {
  const std::optional<std::string> value = arguments.Value("--threads");
  if (!value) return 0;
  int threads = 0;
  const char* end = value->data() + value->size();
  const auto [stop, error] = std::from_chars(value->data(), end, threads);
  if (error != std::errc() || stop != end || threads < 1 || threads > 64) {
    throw CommandError(text::J("--threads には 1 から 64 までの数を指定してください: ") + PathText(*value), kExitUsage);
  }
  return threads;
}

// The balloon's CR LF line ends as the terminal's.
std::string TerminalLines(std::string text) {
  for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
  return text;
}

// The entries of the error log, oldest first: title, then the description when there is one.
void PrintErrorLog(const store::TChannelTree& tree) {
  const store::TTreeNodeExt* log = tree.ErrorLogNode();
  if (log == nullptr || log->Data() == nullptr) return;
  for (const auto& entry : log->Data()->Items()) {
    PrintLine(stdout, entry->title);
    if (!entry->link.empty()) PrintLine(stdout, "  " + entry->link);
    if (!entry->desc.empty()) PrintLine(stdout, "  " + entry->desc);
  }
}

// The stopped channels below `node`: a full run passes them by.
size_t StoppedChannels(const store::TTreeNodeExt* node) {
  size_t count = node->Kind() == store::kKindStopped ? 1 : 0;
  for (size_t index = 0; index < node->ChildCount(); ++index) count += StoppedChannels(node->Child(index));
  return count;
}

}  // namespace

int RunUpdate(const CommandContext& context, const CommandArguments& arguments) {
  const int threads = ThreadLimit(arguments);
  const bool resume = arguments.Has("--resume");
  OpenedFolder folder(context, app::DataAccess::kReadWrite);
  app::DataSession& session = folder.Session();
  settings::Settings& settings = session.Settings();
  const double lastRunBefore = settings.RefreshTime;

  platform::PlainEventLoop& loop = folder.Loop();
  ConsoleUpdateView view(stderr, ::isatty(STDERR_FILENO) != 0);
  OptionKeys keys(arguments.Has("--force"), arguments.Has("--sync"));
  ResumeConfirmed dialogs(folder.Dialogs());
  NeverLocked unlocked;
  fetch::UpdateRunHooks hooks;
  hooks.RunEnded = [&loop] { loop.Quit(); };
  app::UpdateAssembly update(loop, session,
                             app::UpdateFrontEnd{view, keys, dialogs, unlocked, std::move(hooks), threads});
  update.LoadExceptionList();
  fetch::UpdateRun& run = update.Run();

  // Ctrl+C stops the run as a second click on the button does: the fetches are given up,
  // and what was fetched until then is saved below. A second Ctrl+C ends at once.
  platform::InterruptWatch interrupts;
  bool stopping = false;
  platform::Timer interruptCheck(loop, kInterruptCheckMs, platform::TimerKind::kRepeating, [&] {
    if (stopping || !interrupts.Interrupted()) return;
    stopping = true;
    view.EndProgressLine();
    PrintLine(stderr, text::J("更新を中止しています…"));
    run.Cancel();
  });
  interruptCheck.Start();
  if (resume) {
    run.UpdateSelection(fetch::SelectionMode::kResume, session.Tree().RootNode());
  } else {
    run.SB_NewClick(fetch::RunSender::kUpdateButton);
  }
  if (run.Running()) loop.Run();
  interruptCheck.Stop();
  view.EndProgressLine();

  if (!run.LastSummary().empty()) PrintLine(stdout, TerminalLines(run.LastSummary()));
  PrintErrorLog(session.Tree());
  // Channels taken from an OPML list start out stopped; say how to start them.
  const size_t stopped = resume ? 0 : StoppedChannels(session.Tree().RootNode());
  if (stopped > 0) {
    PrintLine(stderr, text::J("購読を停止中のチャンネルが ") + std::to_string(stopped) +
                          text::J(" 件あります (plover-cli update --resume で購読を再開します)"));
  }

  // The save at the end of a run: the channel data without a backup, and the settings
  // when the run changed the time of the last run.
  const store::SaveResult saved = session.Save(false);
  if (saved != store::SaveResult::kSaved && saved != store::SaveResult::kNotNeeded) {
    throw CommandError(text::J("データを保存できませんでした: ") + PathText(session.DataFolder()));
  }
  if (settings.RefreshTime != lastRunBefore) {
    if (!settings::SaveSettings(session.IniFileName(), settings, session.SettingsState())) {
      throw CommandError(text::J("設定ファイルを保存できませんでした: ") + PathText(session.IniFileName()));
    }
  }
  return kExitOk;
}

}  // namespace cli
