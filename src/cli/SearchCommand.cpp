// SPDX-License-Identifier: MIT
// "plover-cli search": the items a saved search with the given query would list, in the
// headline list's own order, one line each. The data folder is only read.
#include <string>

#include "cli/CommandError.h"
#include "cli/Commands.h"
#include "cli/HeadlessList.h"
#include "cli/OpenedFolder.h"
#include "cli/Output.h"
#include "present/HeadlineColumns.h"
#include "present/HeadlineList.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace cli {
namespace {

std::string Cell(const present::HeadlineList& list, size_t row, int column) {
  std::string text;
  list.CellText(row, column, text);
  return text;
}

}  // namespace

int RunSearch(const CommandContext& context, const CommandArguments& arguments) {
  if (arguments.operands.empty()) throw CommandError(text::J("検索する語句を指定してください。"), kExitUsage);
  OpenedFolder folder(context, app::DataAccess::kReadOnly);
  app::DataSession& session = folder.Session();

  // The command's own settings: the standard list, no date filter, every item or only the
  // unread ones, and no automatic selection (which could mark an item read).
  settings::Settings settings = session.Settings();
  settings.FormViewMode = settings::kModeStandard;
  settings.MidokuOnly = arguments.Has("--unread") ? present::kReadFilterUnread : present::kReadFilterAll;
  settings.DateMode = 0;
  settings.NoListSelect = 1;
  settings.KidokuTime = -1;

  // A search item at the top of the tree, as the window would show it once made there. The
  // folder was opened read-only, so it is never saved.
  store::TChannelTree& tree = session.Tree();
  store::TTreeNodeExt* searchItem =
      tree.AddChild(tree.RootNode(), text::Utf8ToSjis(arguments.operands[0]), store::kKindSearch);

  HeadlessList headless(folder, settings, nullptr);
  present::HeadlineList& list = headless.Show(searchItem);
  for (size_t row = 0; row < list.RowCount(); ++row) {
    PrintLine(stdout, Cell(list, row, present::kColumnTitle) + "\t" + Cell(list, row, present::kColumnChannel) + "\t" +
                          Cell(list, row, present::kColumnModified) + "\t" +
                          present::HeadlineList::ItemAddress(*list.Item(row)));
  }
  return kExitOk;
}

}  // namespace cli
