// SPDX-License-Identifier: MIT
// The commands that read or change the channel data of the data folder.
#include <optional>
#include <string>

#include "app/DataSession.h"
#include "app/NodePath.h"
#include "app/OpmlFileImport.h"
#include "cli/CommandError.h"
#include "cli/Commands.h"
#include "cli/OpenedFolder.h"
#include "cli/Output.h"
#include "formats/Opml.h"
#include "platform/Files.h"
#include "platform/InstanceLock.h"
#include "store/ChannelTree.h"
#include "text/Convert.h"
#include "text/Literal.h"

namespace cli {
namespace {

using store::TTreeNodeExt;

// The node a path given on the command line (UTF-8) names; the whole tree without one.
TTreeNodeExt* NodeAt(app::DataSession& session, const std::optional<std::string>& path) {
  if (!path || path->empty()) return session.Tree().RootNode();
  const std::string captions = text::Utf8ToSjis(*path);
  TTreeNodeExt* node = captions.empty() ? nullptr : app::FindNodeByPath(session.Tree(), captions);
  if (node == nullptr) throw CommandError(text::J("ノードが見つかりません: ") + PathText(*path));
  return node;
}

// The file an import reads must be there before the data folder is locked and loaded.
void RequireFile(const std::string& path) {
  if (platform::FileExists(path)) return;
  const char* problem = platform::FolderExists(path) ? "ファイルではありません: " : "ファイルがありません: ";
  throw CommandError(text::J(problem) + PathText(path));
}

std::string ImportFailure(const app::OpmlFileImport& import, const formats::XmlContext& xml, const std::string& file) {
  using Outcome = app::OpmlFileImport::Outcome;
  const std::string name = PathText(file);
  switch (import.outcome) {
    case Outcome::kNotXml:
      return text::J("XMLとして読み込めませんでした: ") + name + " (" + std::to_string(xml.ParseError.Line) +
             text::J("行目: ") + xml.ParseError.Reason + ")";
    case Outcome::kNotOpml:
      return text::J("OPMLファイルではありません: ") + name;
    case Outcome::kNothingAdded:
      return text::J("追加できるグループやチャンネルがありませんでした: ") + name;
    case Outcome::kUnreadable:
    case Outcome::kImported:
      break;
  }
  return text::J("ファイルを読み込めませんでした: ") + name;
}

}  // namespace

int RunList(const CommandContext& context, const CommandArguments&) {
  OpenedFolder folder(context, app::DataAccess::kReadOnly);
  app::DataSession& session = folder.Session();
  // The journal of a run that ended abnormally holds read states the data file lacks:
  // the list shows the saved data until the next start repairs it. A copy at work on the
  // folder has a journal of its own, which waits for nothing.
  if (session.PreviousRunLeftJournal() && !platform::InstanceLock::HeldElsewhere(session.DataFolder())) {
    PrintLine(stderr, text::J("前回正常に終了しなかったため、復旧用のジャーナルが次回の起動を待っています "
                              "(一覧は保存済みのデータです)。"));
  }
  store::TChannelTree& tree = session.Tree();
  store::TChannelTree::ForEachNode(tree.RootNode(), [&tree](TTreeNodeExt* node) {
    PrintLine(stdout, std::string(static_cast<size_t>(node->Level()) * 2, ' ') + tree.DisplayedCaption(node));
  });
  return kExitOk;
}

int RunExportOpml(const CommandContext& context, const CommandArguments& arguments) {
  OpenedFolder folder(context, app::DataAccess::kReadOnly);
  const std::optional<std::string> path =
      arguments.operands.empty() ? std::nullopt : std::optional<std::string>(arguments.operands[0]);
  const TTreeNodeExt* node = NodeAt(folder.Session(), path);
  const std::string opml = formats::ExportOpml(node, false, folder.Dialogs());
  if (const std::optional<std::string> output = arguments.Value("--output")) {
    if (output->empty() || !formats::WriteOpmlFile(*output, opml)) {
      throw CommandError(text::J("書き込めませんでした: ") + PathText(*output));
    }
    PrintLine(stdout, text::J("OPMLファイルを保存しました: ") + PathText(*output));
    return kExitOk;
  }
  WriteBytes(stdout, text::SjisToUtf8(opml));
  return kExitOk;
}

int RunImportOpml(const CommandContext& context, const CommandArguments& arguments) {
  if (arguments.operands.empty()) throw CommandError(text::J("OPMLファイルを指定してください。"), kExitUsage);
  const std::string& file = arguments.operands[0];
  RequireFile(file);
  OpenedFolder folder(context, app::DataAccess::kReadWrite);
  app::DataSession& session = folder.Session();
  TTreeNodeExt* target = NodeAt(session, arguments.Value("--into"));
  if (target->Kind() != store::kKindGroup) {
    throw CommandError(text::J("グループではありません: ") + PathText(*arguments.Value("--into")));
  }
  const app::OpmlFileImport import =
      app::ImportOpmlFile(file, target, session.Store(), session.Xml(), folder.Dialogs());
  if (import.outcome != app::OpmlFileImport::Outcome::kImported) {
    throw CommandError(ImportFailure(import, session.Xml(), file));
  }
  // The backup a save at the end of the program keeps: an import may change a lot at once.
  if (session.Save(true) != store::SaveResult::kSaved) {
    throw CommandError(text::J("データを保存できませんでした: ") + PathText(session.DataFolder()));
  }
  PrintLine(stdout, std::to_string(import.channelsAdded) + text::J(" 件のチャンネルを追加しました (グループ「") +
                        import.group->Caption() + text::J("」)"));
  return kExitOk;
}

}  // namespace cli
