// SPDX-License-Identifier: MIT
#include "app/private/DefaultListOffer.h"

#include "app/OpmlFileImport.h"
#include "text/Literal.h"

namespace app {

bool OfferDefaultList(DataSession& session) {
  platform::Dialogs& dialogs = session.Dialogs();
  const std::string question =
      text::J("初期値のOPMLファイルを読み込みますか？ Varnholtのサイトから最新のものを確認します。") + "\r\n\r\n" +
      text::J("初めて使用されるの方はOPMLファイルを読み込むことをお薦めします。");
  if (!dialogs.AskYesNo(question, platform::MessageType::kConfirmation, platform::DefaultAnswer::kYes)) return false;
  // The list offered is the one the program carries and writes into system/ at start-up.
  const OpmlFileImport imported = ImportOpmlFile(session.DataFolder() + "system/default.opml",
                                                 session.Tree().RootNode(), session.Store(), session.Xml(), dialogs);
  if (imported.outcome != OpmlFileImport::Outcome::kImported) {
    dialogs.ShowMessageBox(text::J("OPMLファイルの読み込みに失敗しました。"), platform::MessageType::kError);
    return false;
  }
  dialogs.ShowMessageBox(text::J("OPMLファイルの読み込みが完了しました ツールバーの[購読]で購読可能です。"),
                         platform::MessageType::kInformation);
  return true;
}

}  // namespace app
