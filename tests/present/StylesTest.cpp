// SPDX-License-Identifier: MIT
// The styles of the headline pages: the built-in ones, style files, splitting a template
// into its blocks, the style menu, and installing styles from the maker's site (through a
// proxy on the loopback address, so that the real download address is fetched).
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "fetch/HttpDocumentSource.h"
#include "formats/feeds/DocumentSource.h"
#include "platform/Files.h"
#include "present/Styles.h"
#include "present/private/BuiltInStyles.h"
#include "settings/Settings.h"
#include "support/LoopbackServer.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace present {
namespace {

using testsupport::ScriptedDialogs;
using testsupport::TempDir;

constexpr char kProgramFolder[] = "/opt/plover/";

// A text as a prepared template holds it: every "$" the marker character.
std::string M(std::string text) {
  std::replace(text.begin(), text.end(), '$', kPlaceholderMarker);
  return text;
}

std::string Lines(std::initializer_list<const char*> lines) {
  std::string text;
  for (const char* line : lines) text.append(text.empty() ? "" : "\r\n").append(line);
  return text;
}

std::vector<std::string> CssLines(const std::string& css) {
  std::vector<std::string> lines;
  for (size_t start = 0; start <= css.size();) {
    const size_t end = std::min(css.find("\r\n", start), css.size());
    lines.push_back(css.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

class StylesTest : public testing::Test {
 protected:
  std::string StylesFolder() const { return data_ / "system/styles/"; }
  void WriteStyle(const std::string& fileName, const std::string& bytes) {
    testsupport::WriteFile(StylesFolder() + fileName, bytes);
  }
  // A style file whose body is `body` and which has no style sheet.
  void WriteBody(const std::string& name, const std::string& body) {
    WriteStyle(name + ".hrstyle", "<html><head><title>t</title></head><body>" + body + "</body></html>");
  }
  const PreparedStyle& Use(const std::string& name) {
    styles_.ChooseStyle(name);
    return styles_.CurrentStyle();
  }

  TempDir data_;
  settings::Settings settings_;
  ScriptedDialogs dialogs_;
  formats::LocalFileSource localFiles_;
  int renders_ = 0;
  Styles styles_{settings_, dialogs_, localFiles_, kProgramFolder, data_.Path(), [this] { ++renders_; }};
};

TEST_F(StylesTest, TheBuiltInTemplateSplitsIntoItsBlocks) {
  const PreparedStyle& style = styles_.CurrentStyle();
  EXPECT_TRUE(styles_.StylePrepared());
  EXPECT_EQ(style.Name, "Simple");
  EXPECT_EQ(style.PageTemplate, M("$ANCHOR_PAGE_CONTROL$\r\n\r\n\r\n\r\n$ITEM_DEFAULT$\r\n\r\n$ITEM_MULTI$\r\n\r\n"
                                  "$ANCHOR_PAGE_CONTROL$"));
  EXPECT_EQ(style.HeaderBlock,
            M("\r\n" +
              Lines({"<div class=\"header\">", "<table>", "<tr>", "<td width=\"100%\">",
                     "<div class=\"channel_title\">$ANCHOR_CHANNEL_TREE_TITLE$</div>",
                     "<div class=\"channel_desc\">$CHANNEL_DESCRIPTION$</div>", "</td>", "<td valign=\"top\">",
                     "$ANCHOR_IMAGE$", "</td>", "</tr>", "</table>", "</div>"}) +
              "\r\n"));
  EXPECT_EQ(style.DefaultBlock,
            M("\r\n" +
              Lines({"<div class=\"main\">", "<div class=\"title\">$ANCHOR_ITEM_TITLE$ $ANCHOR_ITEM_ENCLOSURE$</div>",
                     "<div class=\"desc\">", "$ITEM_DESCRIPTION$", "<div class=\"right\">",
                     "$ITEM_DATE$ $ITEM_CREATOR$<br>$ANCHOR_CHANNEL_TITLE$ <a href=\"$CHANNEL_FEED$\">[rss]</a>",
                     "<br>$ANCHOR_IMAGE$", "</div>", "</div>", "</div>"}) +
              "\r\n"));
  const std::string multi = M(
      "\r\n" +
      Lines(
          {"<div class=\"items\">",
           "<div class=\"title\">$ANCHOR_ITEM_CHECK$ $ANCHOR_ITEM_TITLE$ $ANCHOR_ITEM_ENCLOSURE$</div>",
           "<div class=\"desc\">", "$ITEM_DESCRIPTION$",
           "<div class=\"right\">$ITEM_DATE$ $ITEM_CREATOR$ $ANCHOR_ITEM_OPTION$<br>$ANCHOR_CHANNEL_TREE_TITLE$</div>",
           "</div>", "</div>"}) +
      "\r\n");
  EXPECT_EQ(style.MultiBlock, multi);
  // Without a single block of their own, single pages use the multi block and marker.
  EXPECT_EQ(style.SingleBlock, multi);
  EXPECT_EQ(style.DefaultMarker, M("$ITEM_DEFAULT$"));
  EXPECT_EQ(style.SingleMarker, M("$ITEM_MULTI$"));
  EXPECT_EQ(style.MultiMarker, M("$ITEM_MULTI$"));
  EXPECT_EQ(style.Css, BuiltInStyleCss(BuiltInStyle::kSimple));
}

TEST_F(StylesTest, TheBuiltInStylesDifferInEightRules) {
  const std::vector<std::string> simple = CssLines(BuiltInStyleCss(BuiltInStyle::kSimple));
  const std::vector<std::string> classic = CssLines(BuiltInStyleCss(BuiltInStyle::kClassic));
  ASSERT_EQ(simple.size(), 21u);
  ASSERT_EQ(classic.size(), 21u);
  EXPECT_EQ(simple[0],
            "body { font-family: verdana; color: black; margin: 0; padding: 12px; background-color: #f0f0f0; "
            "font-size: small }");
  EXPECT_EQ(simple[14], "a.item_option:link, a.item_option:visited { text-decoration: none; color: #44429b }");
  EXPECT_EQ(classic[6],
            "div.title { background-color: #aaaaaa; margin: 0px; font-size: 91%; padding: 0.45em; height: 2.1em; "
            "color: #ffffff; font-weight: bold }");
  std::vector<std::string> differing;
  for (size_t i = 0; i < simple.size(); ++i) {
    EXPECT_EQ(simple[i].substr(0, simple[i].find(" {")), classic[i].substr(0, classic[i].find(" {")));
    if (simple[i] != classic[i]) differing.push_back(simple[i].substr(0, simple[i].find(" {")));
  }
  EXPECT_EQ(differing, (std::vector<std::string>{"div.items", "div.main", "div.title", "div.desc", "div.right",
                                                 "a.anchor_item_title:link", "a.anchor_item_title:visited",
                                                 "a.anchor_item_title:hover"}));
  for (const std::string& line : classic) EXPECT_EQ(line.find_last_not_of(' '), line.size() - 1) << line;
}

TEST_F(StylesTest, NamesWithoutAFileTakeABuiltInStyle) {
  // A name is a file name in the styles folder, never a path leading out of it.
  testsupport::WriteFile(data_ / "escape.hrstyle", "<p>outside</p>");
  struct Case {
    const char* name;
    BuiltInStyle style;
    const char* nameAfter;
  };
  for (const Case& c :
       {Case{"Classic", BuiltInStyle::kClassic, "Classic"}, Case{"cLASSIC", BuiltInStyle::kClassic, "cLASSIC"},
        Case{"Gone", BuiltInStyle::kSimple, "Simple"}, Case{"", BuiltInStyle::kSimple, "Simple"},
        Case{"../../escape", BuiltInStyle::kSimple, "Simple"}}) {
    const PreparedStyle& style = Use(c.name);
    EXPECT_EQ(style.Css, BuiltInStyleCss(c.style)) << c.name;
    EXPECT_EQ(settings_.StyleName, c.nameAfter);
    EXPECT_EQ(style.Name, c.nameAfter);
  }
  EXPECT_EQ(renders_, 5);
}

TEST_F(StylesTest, ADeletedStyleFallsBackToSimpleAndTheMenuChecksSimple) {
  WriteBody("Foo", "<p>foo</p>");
  WriteBody("Bar", "<p>bar</p>");
  EXPECT_EQ(styles_.StyleMenuEntries(), (std::vector<std::string>{"Simple", "Classic", "Bar", "Foo"}));
  EXPECT_EQ(Use("Foo").PageTemplate, "<p>foo</p>");
  EXPECT_EQ(styles_.CheckedStyleEntry(), 3u);

  // The prepared style stays as it is until another choice, even when its file goes.
  ASSERT_TRUE(platform::RemoveFile(StylesFolder() + "Foo.hrstyle"));
  EXPECT_EQ(styles_.CurrentStyle().PageTemplate, "<p>foo</p>");
  const PreparedStyle& style = Use("Foo");
  EXPECT_EQ(style.Css, BuiltInStyleCss(BuiltInStyle::kSimple));
  EXPECT_EQ(settings_.StyleName, "Simple");
  // The menu is looked up again only after an installation.
  EXPECT_EQ(styles_.StyleMenuEntries().size(), 4u);
  EXPECT_EQ(styles_.CheckedStyleEntry(), 0u);
}

TEST_F(StylesTest, TheMenuListsStyleFilesByName) {
  WriteBody("zeta", "z");
  WriteBody("Alpha", "a");
  WriteBody("beta", "b");
  WriteBody("simple", "file named like a built-in style");
  WriteBody("CLASSIC", "file named like a built-in style");
  WriteBody("\xE5\xA4\x9C", "night");  // 夜
  WriteStyle("notes.txt", "x");
  WriteStyle("Upper.HRSTYLE", "x");
  WriteStyle(".hrstyle", "x");
  testsupport::WriteFile(StylesFolder() + "folder.hrstyle/inside.hrstyle", "x");
  EXPECT_EQ(styles_.StyleMenuEntries(),
            (std::vector<std::string>{"Simple", "Classic", "Alpha", "beta", "zeta", text::J("夜")}));

  settings_.StyleName = "ZETA";
  EXPECT_EQ(styles_.CheckedStyleEntry(), 4u);
  settings_.StyleName = text::J("夜");
  EXPECT_EQ(styles_.CheckedStyleEntry(), 5u);
  EXPECT_EQ(styles_.CurrentStyle().PageTemplate, "night");
}

TEST_F(StylesTest, AFileTakesPrecedenceOverTheBuiltInStyleOfItsName) {
  WriteStyle("Simple.hrstyle", "<style>body { color: red }</style><p>mine</p>");
  const PreparedStyle& style = styles_.CurrentStyle();
  EXPECT_EQ(style.PageTemplate, "<p>mine</p>");
  EXPECT_EQ(style.Css, "body { color: red }");
}

TEST_F(StylesTest, AStyleFileGivesItsBodyAndFirstStyleSheet) {
  // Shift_JIS as the file declares it; the CSS refers to pictures beside the styles.
  WriteStyle("Night.hrstyle",
             "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">\r\n"
             "<style type=\"text/css\">\r\nbody { background: url($STYLES_PATH$night.png) }\r\n"
             "div.x { background: url($SYSTEM_PATH$a.png) url('$PROGRAM_PATH$b.png') }\r\n</style>"
             "<style>p { color: red }</style></head>\r\n"
             "<body>\r\n<div class=\"x\">\x96\xE9 $ITEM_TITLE$ &#128512;</div>\r\n"
             "$ITEM_MULTI_START$<a href=\"$ITEM_LINK$\">$ITEM_TITLE$</a>$ITEM_MULTI_END$\r\n \r\n</body></html>\r\n");
  const PreparedStyle& style = Use("Night");
  EXPECT_EQ(style.PageTemplate,
            M("\r\n<div class=\"x\">") + text::J("夜") + M(" $ITEM_TITLE$ &#128512;</div>\r\n$ITEM_MULTI$"));
  EXPECT_EQ(style.MultiBlock, M("<a href=\"$ITEM_LINK$\">$ITEM_TITLE$</a>"));
  EXPECT_EQ(style.DefaultBlock, style.MultiBlock);
  const std::string data = data_.Path();
  // Right-trimmed only: the line break that opens the style sheet stays.
  EXPECT_EQ(style.Css, "\r\nbody { background: url(file://" + data +
                           "system/styles/night.png) }\r\ndiv.x { background: url(file://" + data +
                           "system/a.png) url('file:///opt/plover/b.png') }");

  WriteBody("Plain", "<p>no style sheet</p>\r\n\r\n");
  const PreparedStyle& plain = Use("Plain");
  EXPECT_EQ(plain.Css, "");
  EXPECT_EQ(plain.PageTemplate, "<p>no style sheet</p>");
}

TEST_F(StylesTest, PathPlaceholdersAreFileAddresses) {
  const StylePaths paths = MakeStylePaths("/usr/lib/plover", "/home/u/My Data 'x'/");
  EXPECT_EQ(paths.ProgramPath, "file:///usr/lib/plover/");
  EXPECT_EQ(paths.SystemPath, "file:///home/u/My%20Data%20%27x%27/system/");
  EXPECT_EQ(paths.StylesPath, "file:///home/u/My%20Data%20%27x%27/system/styles/");
  EXPECT_EQ(MakeStylePaths("/opt/\xE5\xA4\x9C/", "/d/").ProgramPath, "file:///opt/%E5%A4%9C/");
}

// A template (the body of a style file, "$" as written) and what preparing it must give.
struct BlockCase {
  const char* name;
  const char* body;
  const char* pageTemplate;
  const char* defaultBlock;
  const char* singleBlock;
  const char* multiBlock;
  const char* defaultMarker;
  const char* singleMarker;
  const char* multiMarker;
};

class StyleBlocks : public StylesTest, public testing::WithParamInterface<BlockCase> {};

TEST_P(StyleBlocks, AreExtractedAndFallBack) {
  const BlockCase& c = GetParam();
  WriteBody("Case", c.body);
  const PreparedStyle& style = Use("Case");
  EXPECT_EQ(style.PageTemplate, M(c.pageTemplate));
  EXPECT_EQ(style.DefaultBlock, M(c.defaultBlock));
  EXPECT_EQ(style.SingleBlock, M(c.singleBlock));
  EXPECT_EQ(style.MultiBlock, M(c.multiBlock));
  EXPECT_EQ(style.DefaultMarker, M(c.defaultMarker));
  EXPECT_EQ(style.SingleMarker, M(c.singleMarker));
  EXPECT_EQ(style.MultiMarker, M(c.multiMarker));
}

constexpr char kD[] = "$ITEM_DEFAULT$";
constexpr char kS[] = "$ITEM_SINGLE$";
constexpr char kMu[] = "$ITEM_MULTI$";

INSTANTIATE_TEST_SUITE_P(
    Styles, StyleBlocks,
    testing::Values(
        BlockCase{"OnlyMulti", "<p>top</p>$ITEM_MULTI_START$<div>m</div>$ITEM_MULTI_END$", "<p>top</p>$ITEM_MULTI$",
                  "<div>m</div>", "<div>m</div>", "<div>m</div>", kMu, kMu, kMu},
        BlockCase{"OnlySingle", "$ITEM_SINGLE_START$s$ITEM_SINGLE_END$", "$ITEM_SINGLE$", "s", "s", "s", kS, kS, kS},
        BlockCase{"OnlyDefault", "$ITEM_DEFAULT_START$d$ITEM_DEFAULT_END$", "$ITEM_DEFAULT$", "d", "d", "d", kD, kD,
                  kD},
        BlockCase{"AllThree",
                  "$CHANNEL_HEADER_START$h$CHANNEL_HEADER_END$$ITEM_MULTI_START$m$ITEM_MULTI_END$"
                  "$ITEM_SINGLE_START$s$ITEM_SINGLE_END$$ITEM_DEFAULT_START$d$ITEM_DEFAULT_END$",
                  "$ITEM_MULTI$$ITEM_SINGLE$$ITEM_DEFAULT$", "d", "s", "m", kD, kS, kMu},
        BlockCase{"BlankBlockCountsAsEmpty",
                  "$ITEM_DEFAULT_START$ \r\n $ITEM_DEFAULT_END$$ITEM_SINGLE_START$s$ITEM_SINGLE_END$",
                  "$ITEM_DEFAULT$$ITEM_SINGLE$", "s", "s", "s", kS, kS, kS},
        BlockCase{"PriceWithDollarSign", "<p>Price: $5, or $ 4</p>", "<p>Price: $5, or $ 4</p>", "", "", "", kMu, kMu,
                  kMu},
        BlockCase{"EndBeforeStart", "$ITEM_DEFAULT_END$<b>x</b>$ITEM_DEFAULT_START$",
                  "$ITEM_DEFAULT_END$<b>x</b>$ITEM_DEFAULT_START$", "", "", "", kMu, kMu, kMu},
        BlockCase{"MarkersSharingADollar", "$ITEM_DEFAULT_START$ITEM_DEFAULT_END$",
                  "$ITEM_DEFAULT_START$ITEM_DEFAULT_END$", "", "", "", kMu, kMu, kMu},
        BlockCase{"NoEndMarker", "$ITEM_SINGLE_START$s", "$ITEM_SINGLE_START$s", "", "", "", kMu, kMu, kMu},
        BlockCase{"FirstMarkersCount", "$ITEM_MULTI_START$a$ITEM_MULTI_END$$ITEM_MULTI_START$b$ITEM_MULTI_END$",
                  "$ITEM_MULTI$$ITEM_MULTI_START$b$ITEM_MULTI_END$", "a", "a", "a", kMu, kMu, kMu},
        BlockCase{"HeaderOnly", "x$CHANNEL_HEADER_START$h$CHANNEL_HEADER_END$y", "xy", "", "", "", kMu, kMu, kMu}),
    [](const testing::TestParamInfo<BlockCase>& info) { return std::string(info.param.name); });

TEST_F(StylesTest, TheDownloadPageRunsWithAddinsAllowed) {
  settings_.ListNoAddin = true;
  settings_.EvwNoAddin = true;
  settings_.NormalNoAddin = false;
  EXPECT_EQ(styles_.OpenStyleDownloadPage(true, true), std::nullopt);
  ASSERT_EQ(dialogs_.shown.size(), 1u);
  EXPECT_EQ(dialogs_.shown[0].text, "ShiftKey+CtrlKeyを使わないでください。");
  EXPECT_EQ(dialogs_.shown[0].type, platform::MessageType::kInformation);
  EXPECT_TRUE(settings_.ListNoAddin);

  const std::optional<StyleDownloadOpening> opening = styles_.OpenStyleDownloadPage(true, false);
  ASSERT_TRUE(opening.has_value());
  EXPECT_EQ(opening->Address, kStyleDownloadPage);
  EXPECT_FALSE(settings_.ListNoAddin || settings_.EvwNoAddin || settings_.NormalNoAddin);
  styles_.EndStyleDownloadPage(*opening);
  EXPECT_TRUE(settings_.ListNoAddin);
  EXPECT_TRUE(settings_.EvwNoAddin);
  EXPECT_FALSE(settings_.NormalNoAddin);
}

// Installs through a named proxy on the loopback address, which serves the files of
// `served_` by the last segment of their address and answers 404 for any other.
class StyleInstall : public StylesTest {
 protected:
  StyleInstall() {
    proxy_.Routes().Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
      const auto file = served_.find(request.target.substr(request.target.rfind('/') + 1));
      if (file == served_.end()) {
        response.status = 404;
        response.set_content("not here", "text/plain");
      } else {
        response.set_content(file->second, "application/octet-stream");
      }
    });
    proxy_.Start();
  }

  static fetch::HttpSettings ViaProxy(int port) {
    fetch::HttpSettings settings;
    settings.Proxy.ProxyMode = 2;
    settings.Proxy.ProxyServer = "127.0.0.1";
    settings.Proxy.ProxyPort = port;
    settings.ConnectTimeoutMs = 5000;
    settings.ReceiveTimeoutMs = 5000;
    return settings;
  }

  std::vector<std::string> Shown() const {
    std::vector<std::string> texts;
    for (const ScriptedDialogs::Shown& shown : dialogs_.shown) texts.push_back(shown.kind + ": " + shown.text);
    return texts;
  }

  std::map<std::string, std::string> served_ = {{"Night.hrstyle", "<p>night</p>"}, {"Dark.HRSTYLE?v=2", "<p>dark</p>"}};
  testsupport::LoopbackServer proxy_;
  fetch::HttpDocumentSource web_{ViaProxy(proxy_.Port())};
  Styles installer_{settings_, dialogs_, web_, kProgramFolder, data_.Path()};
};

constexpr char kAsk[] = "yescancel: 選択したスタイルテンプレートをインストールしますか？";
constexpr char kDone[] = "message: インストールが完了しました [ブラウザ]-[スタイル]で確認できます。";

TEST_F(StyleInstall, ANewStyleIsSavedAndListedButNotChosen) {
  EXPECT_EQ(installer_.StyleMenuEntries().size(), 2u);
  dialogs_.Answer(true);
  EXPECT_TRUE(installer_.InstallStyleFromWeb("http://plover.example.jp/styles/download/Night.hrstyle", false));
  EXPECT_EQ(Shown(), (std::vector<std::string>{kAsk, kDone}));
  EXPECT_EQ(dialogs_.shown[0].type, platform::MessageType::kConfirmation);
  EXPECT_FALSE(dialogs_.shown[0].defaultNo);
  EXPECT_EQ(dialogs_.shown[1].type, platform::MessageType::kInformation);
  EXPECT_EQ(testsupport::ReadFile(StylesFolder() + "Night.hrstyle"), "<p>night</p>");
  EXPECT_EQ(installer_.StyleMenuEntries(), (std::vector<std::string>{"Simple", "Classic", "Night"}));
  EXPECT_EQ(settings_.StyleName, "Simple");
  ASSERT_EQ(proxy_.Requests().size(), 1u);
  EXPECT_EQ(proxy_.Requests()[0].target, "http://plover.example.jp/styles/download/Night.hrstyle");
  EXPECT_EQ(proxy_.Requests()[0].Count("Authorization"), 0u);
}

TEST_F(StyleInstall, AnExistingStyleIsOverwrittenAfterTheNote) {
  WriteStyle("Dark.hrstyle", "<p>old</p>");
  dialogs_.Answer(true);
  // Blanks before the address, any letter case, a query: the file keeps the extension the
  // menu looks for.
  EXPECT_TRUE(installer_.InstallStyleFromWeb(" \tHTTP://PLOVER.EXAMPLE.JP/STYLES/DOWNLOAD/Dark.HRSTYLE?v=2", false));
  EXPECT_EQ(Shown(), (std::vector<std::string>{
                         std::string(kAsk) + "\r\n(同名のテンプレートが既に存在しますので上書きされます)", kDone}));
  EXPECT_EQ(testsupport::ReadFile(StylesFolder() + "Dark.hrstyle"), "<p>dark</p>");
}

TEST_F(StyleInstall, CancelFailedSaveAndFailedDownloadLeaveNoFile) {
  const std::string night = "http://plover.example.jp/styles/download/Night.hrstyle";
  dialogs_.Answer(false);
  EXPECT_TRUE(installer_.InstallStyleFromWeb(night, false));
  EXPECT_EQ(Shown(), std::vector<std::string>{kAsk});
  EXPECT_TRUE(proxy_.Requests().empty());
  EXPECT_FALSE(platform::NameExists(StylesFolder()));

  // The styles folder cannot be made: a file stands in its place.
  testsupport::WriteFile(data_ / "system/styles", "in the way");
  dialogs_.shown.clear();
  dialogs_.Answer(true);
  EXPECT_TRUE(installer_.InstallStyleFromWeb(night, false));
  EXPECT_EQ(Shown(), (std::vector<std::string>{kAsk, "message: テンプレートの保存に失敗しました。"}));
  EXPECT_EQ(testsupport::ReadFile(data_ / "system/styles"), "in the way");

  ASSERT_TRUE(platform::RemoveFile(data_ / "system/styles"));
  dialogs_.shown.clear();
  dialogs_.Answer(true);
  EXPECT_TRUE(installer_.InstallStyleFromWeb("http://plover.example.jp/styles/download/Missing.hrstyle", false));
  EXPECT_EQ(Shown(), (std::vector<std::string>{kAsk, "message: ダウンロードに失敗しました。"}));
  EXPECT_FALSE(testsupport::FileExists(StylesFolder() + "Missing.hrstyle"));
  EXPECT_EQ(proxy_.Requests().size(), 2u);
}

TEST_F(StyleInstall, OtherAddressesAreLeftToTheBrowser) {
  EXPECT_FALSE(installer_.InstallStyleFromWeb("http://plover.example.jp/styles/download/Night.hrstyle", true));
  for (const char* address :
       {"http://plover.example.jp/styles/Night.hrstyle", "http://other.example.jp/styles/download/Night.hrstyle",
        "http://plover.example.jp/styles/download/Night.html",
        "http://plover.example.jp/styles/download/x?Night.hrstyle", "http://plover.example.jp/styles/download/.hrstyle",
        "http://plover.example.jp/styles/download/"}) {
    EXPECT_FALSE(installer_.InstallStyleFromWeb(address, false)) << address;
  }
  EXPECT_TRUE(dialogs_.shown.empty());
  EXPECT_TRUE(proxy_.Requests().empty());
}

}  // namespace
}  // namespace present
