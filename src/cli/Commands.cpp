// SPDX-License-Identifier: MIT
#include "cli/Commands.h"

#include <array>
#include <filesystem>
#include <system_error>

#include "app/DataFolder.h"
#include "cli/Output.h"
#include "cli/UpdateCommand.h"
#include "text/Literal.h"

namespace cli {
namespace {

constexpr std::array<CommandOption, 0> kNoOptions{};
constexpr std::array kInitOptions{CommandOption{"--update", false}};
constexpr std::array kImportOptions{CommandOption{"--into", true}};
constexpr std::array kExportOptions{CommandOption{"--output", true}};
constexpr std::array kParseOptions{CommandOption{"--url", true}, CommandOption{"--all", false}};
constexpr std::array kRenderOptions{CommandOption{"--item", true}, CommandOption{"--view-mode", false},
                                    CommandOption{"--style", true}};
constexpr std::array kSearchOptions{CommandOption{"--unread", false}};
constexpr std::array kUpdateOptions{CommandOption{"--force", false}, CommandOption{"--sync", false},
                                    CommandOption{"--threads", true}, CommandOption{"--resume", false}};
constexpr std::array kMarkOptions{CommandOption{"--item", true}};
constexpr std::array kAddOptions{CommandOption{"--group", true}, CommandOption{"--allow-duplicates", false}};

const std::array kCommands{
    Command{"data-folder", "デスクトップ版が使うデータフォルダを表示します",
            "使い方: plover-cli data-folder [--data フォルダ]\n"
            "\n"
            "デスクトップ版が使うデータフォルダ (plover.drv の指定、--data があればそのフォルダ) を\n"
            "表示します。",
            kNoOptions, 0, RunDataFolder},
    Command{"init", "組み込みのファイルをデータフォルダに書き出します",
            "使い方: plover-cli init [--update] [--data フォルダ]\n"
            "\n"
            "組み込みのファイルをデータフォルダに書き出します。フォルダがなければ作成します。\n"
            "\n"
            "  --update              既存のファイルも書き直します (plover.ini は除きます)",
            kInitOptions, 0, RunInit},
    Command{"list", "チャンネルツリーを未読数/記事数とともに表示します",
            "使い方: plover-cli list [--data フォルダ]\n"
            "\n"
            "チャンネルツリーを表示します。1段ごとに2文字ずつ字下げし、キャプションの後に\n"
            "(未読数/記事数) を付けます。データは変更しません。\n"
            "前回正常に終了しなかったときの復旧用ジャーナルが残っていれば、そのことを標準エラーに\n"
            "1行表示します。",
            kNoOptions, 0, RunList},
    Command{"import-opml", "OPMLファイルのチャンネルをデータに追加します",
            "使い方: plover-cli import-opml OPMLファイル [--into ノードのパス] [--yes] [--data フォルダ]\n"
            "\n"
            "OPMLファイルのグループとチャンネルを、OPMLのタイトルを名前にした新しいグループに\n"
            "まとめて追加し、データを保存します。追加したチャンネルは停止中になります。\n"
            "200 件ごとに続けるかどうかを尋ねます (--yes で全て続けます)。\n"
            "デスクトップ版か別の plover-cli がデータフォルダを使用中のときは何もしません。\n"
            "\n"
            "  --into ノードのパス   新しいグループを置くグループ (省略時は最上位)\n"
            "\n"
            "ノードのパスはキャプションを \"/\" でつないだものです (例: \"ニュース/技術\")。",
            kImportOptions, 1, RunImportOpml},
    Command{"add", "アドレスのフィードをチャンネルとして登録します",
            "使い方: plover-cli add アドレス... [--group ノードのパス] [--allow-duplicates] [--data フォルダ]\n"
            "\n"
            "「チャンネル(Feed/OPML)の追加」の実行と同じく、アドレスごとにフィードを取得して\n"
            "新しいチャンネルを登録し、データを保存します。フィードでないウェブページは、ページが\n"
            "宣言しているフィード (link rel=\"alternate\") を探して登録します。\n"
            "結果をアドレスごとに1行表示します (登録できなかった理由が分かれば、次の行に字下げして\n"
            "表示します)。最後のアドレスが登録できたとき終了コードは 0 です。\n"
            "アドレスに書いたユーザー名とパスワード (http://ユーザー名:パスワード@ホスト/...) は\n"
            "アドレスから外してチャンネルの認証情報にします。パスワードは表示しません。\n"
            "\n"
            "  --group ノードのパス  登録先のグループ (省略時は最上位)\n"
            "  --allow-duplicates    登録済みのアドレスも登録します (省略時は登録しません)",
            kAddOptions, 1000, RunAdd},
    Command{"export-opml", "チャンネルツリーをOPMLで書き出します",
            "使い方: plover-cli export-opml [ノードのパス] [--output ファイル] [--data フォルダ]\n"
            "\n"
            "ツリー全体、またはノードのパスで指定したグループかチャンネル以下を OPML (UTF-8) で\n"
            "書き出します。検索項目は書き出されません。アドレスのユーザー名とパスワードは\n"
            "書き出しません。データは変更しません。\n"
            "\n"
            "  --output ファイル     標準出力の代わりにこのファイルに書き出します\n"
            "\n"
            "ノードのパスはキャプションを \"/\" でつないだものです (例: \"ニュース/技術\")。",
            kExportOptions, 1, RunExportOpml},
    Command{"parse", "フィードの文書を読み込んだ結果をJSONで表示します",
            "使い方: plover-cli parse ファイル [--url アドレス] [--all]\n"
            "\n"
            "フィードの文書 (RSS/Atom) を、既定の設定の新しいチャンネルの更新として読み込み、\n"
            "結果をJSON (UTF-8) で標準出力に書き出します:\n"
            "  {\"result\": 結果コード, \"channel\": {...}, \"items\": [{...}, ...]}\n"
            "キーはデータファイルのキーと同じです。データフォルダは使いません。\n"
            "既定の設定 (保存件数 100、保存日数 60) で読み込むため、日付が60日より古い項目と\n"
            "101件目以降の項目は含まれません。--all を付けると件数と日数の制限なしで読み込みます。\n"
            "結果コードが 1, 3, 4 のとき終了コードは 0、それ以外は 1 で、その意味を標準エラーに\n"
            "表示します。ファイルは 64 MiB までの通常のファイルだけを読み込みます。文書を\n"
            "読み込めないときは、その理由を次の行に表示します。\n"
            "\n"
            "  --url アドレス        文書を取得したアドレス (相対リンクの基準とチャンネルのアドレス)\n"
            "  --all                 保存件数と保存日数の制限なしで、文書のすべての項目を読み込みます",
            kParseOptions, 1, RunParse},
    Command{"render", "ノードのヘッドラインページをHTMLで表示します",
            "使い方: plover-cli render ノードのパス [--item 番号] [--view-mode] [--style 名前] [--data フォルダ]\n"
            "\n"
            "ノードを選んだときにデスクトップ版の概要タブが表示するページを、スタイルのCSSを\n"
            "含むひとつのHTML文書 (UTF-8) として標準出力に書き出します。標準モードでは自動で\n"
            "選ばれる記事 (なければメッセージ) のページ、--view-mode ではビューモードの最初の\n"
            "ページです。データは変更しません (表示で既読になる記事も保存されません)。\n"
            "\n"
            "  --item 番号           一覧の何番目 (1から) の記事を表示するか。ビューモードでは\n"
            "                        その記事を含むページ\n"
            "  --view-mode           ビューモードのページを表示します\n"
            "  --style 名前          設定のスタイルの代わりにこのスタイルを使います\n"
            "\n"
            "ノードのパスはキャプションを \"/\" でつないだものです (例: \"ニュース/技術\")。",
            kRenderOptions, 1, RunRender},
    Command{"search", "検索項目と同じように記事を検索して一覧にします",
            "使い方: plover-cli search 検索語句 [--unread] [--data フォルダ]\n"
            "\n"
            "検索語句をキャプションにした検索項目を選んだときにヘッドラインリストに並ぶ記事を、\n"
            "リストの既定の並び順で1行に1件ずつ表示します: タイトル、チャンネル、日付、アドレスを\n"
            "タブで区切ります。語句はスペースで区切ると「または」、\"*\" でつなぐとその順に全て、\n"
            "先頭の \"!\" は除外、\"\" で囲むとスペースを含む語句です。大文字と小文字、全角と半角、\n"
            "ひらがなとカタカナは区別しません。検索の範囲と対象の項目は設定に従います。\n"
            "データは変更しません。\n"
            "\n"
            "  --unread              未読の記事だけを表示します",
            kSearchOptions, 1, RunSearch},
    Command{"update", "全てのチャンネルを更新してデータを保存します",
            "使い方: plover-cli update [--force] [--sync] [--threads 数] [--data フォルダ]\n"
            "       plover-cli update --resume [--data フォルダ]\n"
            "\n"
            "ツールバーの「更新」と同じく、停止中でない全てのチャンネルを取得し、新着を取り込みます。\n"
            "進行状況を標準エラーに、結果の要約とエラーログを標準出力に表示し、最後にデータを\n"
            "保存します (更新終了時の保存: バックアップは作りません)。\n"
            "デスクトップ版か別の plover-cli がデータフォルダを使用中のときは何もしません。\n"
            "データを読み込んで保存できたとき終了コードは 0 です。\n"
            "\n"
            "  --force               前回の Last-Modified を送らずに取得します (Shift+更新)\n"
            "  --sync                1チャンネルずつ順に取得します (Ctrl+更新)\n"
            "  --threads 数          同時に取得する数 (今回だけ HttpThreadMax の代わりに使います)\n"
            "  --resume              停止中の全てのチャンネルを取得し、成功したものの購読を再開します",
            kUpdateOptions, 0, RunUpdate},
    Command{"mark", "チャンネルか検索項目の記事を既読・未読・保護にします",
            "使い方: plover-cli mark read|unread|protect|unprotect ノードのパス [--item 番号] [--data フォルダ]\n"
            "\n"
            "ノードのパスで指定したチャンネルか検索項目の記事の状態を、ヘッドラインリストのコマンドと\n"
            "同じく変更し、データを保存します。状態を変えた記事の数を表示します。\n"
            "--item がなければリストの全ての記事が対象です。このときは「全て既読にする」などと同じく、\n"
            "既読にするのは未読の記事、未読にするのは既読の記事で、保護中の記事は保護のままです。\n"
            "デスクトップ版か別の plover-cli がデータフォルダを使用中のときは何もしません。\n"
            "\n"
            "  read                  既読にします\n"
            "  unread                未読にします\n"
            "  protect               保護します\n"
            "  unprotect             保護を解除します (既読になります)\n"
            "  --item 番号           一覧の何番目 (1から) の記事だけを変更するか。一覧は未読や日付で\n"
            "                        絞り込まずに全ての記事をリストの並び順で並べたものです\n"
            "\n"
            "ノードのパスはキャプションを \"/\" でつないだものです (例: \"ニュース/技術\")。",
            kMarkOptions, 2, RunMark},
};

}  // namespace

std::span<const Command> Commands() {
  return kCommands;
}

const Command* FindCommand(std::string_view name) {
  for (const Command& command : kCommands) {
    if (command.name == name) return &command;
  }
  return nullptr;
}

void PrintGeneralUsage(std::FILE* stream) {
  PrintLine(stream, text::J("使い方: plover-cli [--data フォルダ] コマンド [引数]"));
  PrintLine(stream, "");
  PrintLine(stream, text::J("コマンド:"));
  for (const Command& command : kCommands) {
    std::string line = "  " + std::string(command.name);
    line.resize(18, ' ');
    PrintLine(stream, line + text::J(command.summary));
  }
  PrintLine(stream, "");
  PrintLine(stream, text::J("オプション:"));
  PrintLine(stream, text::J("  --data フォルダ   plover.drv の代わりにこのフォルダをデータフォルダにします"));
  PrintLine(stream, text::J("  --yes             確認の質問に全て「はい」で答えます"));
  PrintLine(stream, text::J("  --help            この説明を表示します"));
  PrintLine(stream, "");
  PrintLine(stream, text::J("確認の質問には端末から答えます。端末がなければ標準入力から1行に1つ答えを読みます"));
  PrintLine(stream, text::J("(y/yes/はい、n/no/いいえ。空行は既定のボタン、入力の終わりは「いいえ」)。"));
  PrintLine(stream, "");
  PrintLine(stream, text::J("各コマンドの説明: plover-cli コマンド --help"));
}

void PrintCommandUsage(std::FILE* stream, const Command& command) {
  PrintLine(stream, text::J(command.usage));
}

ConsoleAnswers AnswersFor(const CommandContext& context) {
  return context.invocation.yes ? ConsoleAnswers::kAllYes : ConsoleAnswers::kTyped;
}

std::string DataFolderFor(const CommandContext& context) {
  if (const std::optional<std::string>& chosen = context.invocation.dataFolder) {
    std::error_code ignored;
    const std::filesystem::path folder = std::filesystem::absolute(*chosen, ignored);
    return app::WithTrailingSlash(folder.lexically_normal().string());
  }
  return app::ResolveDataFolder(context.programFolder, 1, app::AppDataFolder(app::ProcessEnvironment())).DataFolder;
}

}  // namespace cli
