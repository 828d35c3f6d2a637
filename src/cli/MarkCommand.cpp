// SPDX-License-Identifier: MIT
// "plover-cli mark": item states changed the way the headline list's commands change them,
// through the item-state path the window uses (the journal included), then saved.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/DataSession.h"
#include "app/NodePath.h"
#include "cli/CommandError.h"
#include "cli/Commands.h"
#include "cli/HeadlessList.h"
#include "cli/OpenedFolder.h"
#include "cli/Output.h"
#include "present/HeadlineList.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace cli {
namespace {

using store::TTreeNodeExt;

struct MarkAction {
  std::string_view word;
  int action;  // the action of the headline list's commands
};

constexpr std::array kMarkActions{
    MarkAction{"read", store::kActionToRead},
    MarkAction{"unread", store::kActionToUnread},
    MarkAction{"protect", store::kActionProtect},
    MarkAction{"unprotect", store::kActionUnprotect},
};

int ActionOf(const std::string& word) {
  for (const MarkAction& known : kMarkActions) {
    if (known.word == word) return known.action;
  }
  throw CommandError(text::J("状態は read、unread、protect、unprotect のどれかです: ") + PathText(word), kExitUsage);
}

// The channel or saved search a path names: the nodes that list items of their own.
TTreeNodeExt* MarkedNode(app::DataSession& session, const std::string& path) {
  const std::string captions = text::Utf8ToSjis(path);
  TTreeNodeExt* node = captions.empty() ? nullptr : app::FindNodeByPath(session.Tree(), captions);
  if (node == nullptr) throw CommandError(text::J("ノードが見つかりません: ") + PathText(path));
  if (!store::IsChannelKind(node->Kind()) && node->Kind() != store::kKindSearch) {
    throw CommandError(text::J("チャンネルか検索項目ではありません: ") + PathText(path));
  }
  return node;
}

// The list's own settings: the standard list of every item (no read or date filter), no
// automatic selection and no read timer, which could mark other items read. The command
// line is the user's confirmation, so the list asks nothing before changing all items.
settings::Settings ListSettings(const settings::Settings& saved) {
  settings::Settings settings = saved;
  settings.FormViewMode = settings::kModeStandard;
  settings.MidokuOnly = present::kReadFilterAll;
  settings.DateMode = 0;
  settings.NoListSelect = 1;
  settings.KidokuTime = -1;
  settings.DialogQues = false;
  return settings;
}

// The items of the list with the states they have now, to count what the command changed.
std::vector<std::pair<const store::TSiteRecord*, uint8_t>> States(const present::HeadlineList& list) {
  std::vector<std::pair<const store::TSiteRecord*, uint8_t>> states;
  for (size_t row = 0; row < list.RowCount(); ++row) {
    if (const store::TSiteRecord* item = list.Item(row)) states.emplace_back(item, item->read);
  }
  return states;
}

}  // namespace

int RunMark(const CommandContext& context, const CommandArguments& arguments) {
  if (arguments.operands.size() < 2) {
    throw CommandError(text::J("状態とノードのパスを指定してください。"), kExitUsage);
  }
  const int action = ActionOf(arguments.operands[0]);
  const std::optional<size_t> item = ItemNumber(arguments);
  OpenedFolder folder(context, app::DataAccess::kReadWrite);
  app::DataSession& session = folder.Session();
  TTreeNodeExt* node = MarkedNode(session, arguments.operands[1]);

  settings::Settings settings = ListSettings(session.Settings());
  HeadlessList headless(folder, settings, &session.Journal());
  present::HeadlineList& list = headless.Show(node);
  const auto before = States(list);
  if (item) {
    if (*item > list.RowCount()) throw CommandError(text::J("記事がありません: ") + std::to_string(*item));
    list.SelectRow(*item - 1, true);
    list.MarkSelectedRows(action);
  } else {
    list.MarkAllRows(action);
  }
  size_t changed = 0;
  for (const auto& [record, state] : before) changed += record->read != state ? 1 : 0;

  const store::SaveResult saved = session.Save(false);
  if (saved != store::SaveResult::kSaved && saved != store::SaveResult::kNotNeeded) {
    throw CommandError(text::J("データを保存できませんでした: ") + PathText(session.DataFolder()));
  }
  PrintLine(stdout, std::to_string(changed) + text::J(" 件の記事の状態を変更しました"));
  return kExitOk;
}

}  // namespace cli
