// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>

#include "formats/Opml.h"
#include "formats/xml/XmlLoader.h"
#include "platform/CodePage.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataGuard.h"
#include "store/datafile/FeedDataFile.h"
#include "store/journal/RecoveryCounter.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace formats {
namespace {

using store::TTreeNodeExt;
using testsupport::ScriptedDialogs;
using text::J;

const std::string kData = PLOVER_TEST_DATA "opml/";
constexpr std::string_view kListAddress = "http://rpc.bloglines.com/listsubs";

std::string Utf8(const std::string& cp932) {
  return platform::Cp932ToUtf8(cp932);
}

// The subtree below `node`, one line per node in UTF-8: indent, caption in brackets, kind,
// and for channels the title, feed address, link and (when set) clone.
void Describe(const TTreeNodeExt& node, int level, std::string& out) {
  for (size_t i = 0; i < node.ChildCount(); ++i) {
    const TTreeNodeExt& child = *node.Child(i);
    out += std::string(static_cast<size_t>(level) * 2, ' ') + "[" + Utf8(child.Caption()) + "] " +
           std::to_string(child.Kind());
    if (const store::TSiteList* channel = child.Data()) {
      out += " " + Utf8(channel->Site.title) + " | " + channel->Site.rdfurl + " | " + channel->Site.link;
      if (!channel->clone.empty()) out += " | " + channel->clone;
    }
    out += "\n";
    Describe(child, level + 1, out);
  }
}

std::string Describe(const TTreeNodeExt& node) {
  std::string out;
  Describe(node, 0, out);
  return out;
}

std::string Question(int count) {
  return "OPMLによる追加の登録件数が " + std::to_string(count) +
         " 件になりました。\r\n一度に多くの追加登録を行うことは推奨できません。\r\n\r\n"
         "継続する場合は[はい] 中止する場合は[キャンセル]を選択してください。";
}

class OpmlTest : public ::testing::Test {
 protected:
  OpmlTest() { target = store.Tree().AddChild(store.Tree().RootNode(), "target", store::kKindGroup); }

  // Loads an OPML document (bytes as a file holds them) and imports it below `target`.
  OpmlImportContext Import(const std::string& document, const std::string& source = "http://example.jp/list.opml") {
    OpmlImportContext context;
    context.SourceAddress = source;
    XmlContext xml;
    std::optional<TXMLList> list = LoadXmlList(xml, document);
    EXPECT_TRUE(list.has_value()) << xml.ParseError.Reason;
    if (list) ImportOpml(*list, target, 0, context, store, dialogs);
    return context;
  }

  TTreeNodeExt* AddChannel(TTreeNodeExt* parent, const std::string& caption, int kind, const std::string& link,
                           const std::string& rdfurl) {
    auto channel = std::make_unique<store::TSiteList>();
    channel->Site.link = link;
    channel->Site.rdfurl = rdfurl;
    return store.Tree().AddChild(parent, caption, kind, std::move(channel));
  }

  // News > channel, Sub > (Japanese channel, emoji channel, Empty), search item, channel.
  TTreeNodeExt* BuildNews() {
    store::TChannelTree& tree = store.Tree();
    TTreeNodeExt* news = tree.AddChild(tree.RootNode(), "News", store::kKindGroup);
    AddChannel(news, "Q&A \"today\"", store::kKindChannel, "http://example.com/?a=1&b=2",
               "http://example.com/rss?x=<1>");
    TTreeNodeExt* sub = tree.AddChild(news, "Sub", store::kKindGroup);
    AddChannel(sub, J("日本語チャンネル"), store::kKindStopped, "http://example.jp/", "http://example.jp/rss.xml");
    AddChannel(sub, J("絵文字") + "&#128512;", store::kKindError, "", "http://example.jp/emoji.xml");
    tree.AddChild(sub, "Empty", store::kKindGroup);
    tree.AddChild(news, J("検索"), store::kKindSearch);
    AddChannel(news, "Last", store::kKindUpdating, "http://example.org/", "http://example.org/feed");
    return news;
  }

  settings::Settings settings;
  store::ChannelStore store{settings};
  ScriptedDialogs dialogs;
  TTreeNodeExt* target = nullptr;
};

TEST_F(OpmlTest, ExportOfGroupMatchesGoldenFileByteForByte) {
  TTreeNodeExt* news = BuildNews();
  testsupport::TempDir dir;
  ASSERT_TRUE(WriteOpmlFile(dir / "out.opml", ExportOpml(news, true, dialogs)));
  EXPECT_EQ(testsupport::ReadFile(dir / "out.opml"), testsupport::ReadFile(kData + "export-golden.opml"));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(OpmlTest, ChannelExportedAloneStandsAtTwoSpaces) {
  TTreeNodeExt* channel = AddChannel(store.Tree().RootNode(), "A<B>", store::kKindChannel, "", "http://e.jp/r");
  const std::string opml = ExportOpml(channel, false, dialogs);
  EXPECT_NE(opml.find("  <body>\r\n"
                      "  <outline text=\"A&lt;B&gt;\" title=\"A&lt;B&gt;\" type=\"rss\" version=\"RSS\" htmlUrl=\"\" "
                      "xmlUrl=\"http://e.jp/r\"/>\r\n"
                      "  </body>\r\n</opml>"),
            std::string::npos)
      << opml;
  EXPECT_TRUE(opml.ends_with("</opml>"));
}

TEST_F(OpmlTest, SearchItemsAreSkippedAndReportedOnce) {
  TTreeNodeExt* news = BuildNews();
  store.Tree().AddChild(news->Child(1), J("もう一つの検索"), store::kKindSearch);
  const std::string opml = ExportOpml(news, false, dialogs);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "message");
  EXPECT_EQ(dialogs.shown[0].text, "検索項目は保存されません。(OKで継続します)");
  EXPECT_EQ(opml.find(J("検索")), std::string::npos);

  // Quiet exports tell nothing, and a part of the tree without search items never does.
  dialogs.shown.clear();
  EXPECT_EQ(ExportOpml(news, true, dialogs), opml);
  ExportOpml(news->Child(1)->Child(2), false, dialogs);
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(OpmlTest, ImportBuildsGroupsAndStoppedChannels) {
  const OpmlImportContext context = Import(testsupport::ReadFile(kData + "nested.opml"));
  // Nameless outlines, outlines without attributes (with what they hold) and other
  // elements are skipped; an outline with children is a group even with an xmlUrl.
  EXPECT_EQ(Describe(*target),
            "[ニュース] 0\n"
            "  [ 朝日 ] 2 朝日 | http://example.jp/rss.xml | http://example.jp/\n"
            "  [タイトルだけ] 2 タイトルだけ | http://example.jp/title-only.xml | \n"
            "  [後からtext] 2 後からtext | http://example.jp/order.xml | \n"
            "  [技術] 0\n"
            "    [深い] 2 深い | http://example.jp/deep.xml | \n"
            "[xmlUrl付きグループ] 0\n"
            "  [中身] 2 中身 | http://example.jp/inner.xml | \n"
            "[空白アドレス] 0\n"
            "[空グループ] 0\n"
            "[大文字] 2 大文字 | http://example.jp/upper.xml | \n");
  EXPECT_EQ(Utf8(context.Title), "テスト購読リスト");
  EXPECT_EQ(context.OwnerName, "taro");
  EXPECT_EQ(context.ChannelCount, 6);
  EXPECT_TRUE(context.Changed);
  EXPECT_TRUE(store.DataModified());
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(OpmlTest, DocumentsThatAreNotOpmlImportNothing) {
  for (const char* document :
       {"<rss version=\"2.0\"><channel><outline text=\"a\" xmlUrl=\"http://x/\"/></channel></rss>",
        "<opml><body><outline/><folder text=\"f\"/></body></opml>", "<opml><head><title>t</title></head></opml>"}) {
    const OpmlImportContext context = Import(document);
    EXPECT_FALSE(context.Changed) << document;
    EXPECT_EQ(context.ChannelCount, 0);
  }
  EXPECT_FALSE(target->HasChildren());
  EXPECT_FALSE(store.DataModified());
}

struct BloglinesCase {
  const char* name;
  bool bloglinesSync;
  std::string_view source;
  const char* tree;
};

void PrintTo(const BloglinesCase& value, std::ostream* out) {
  *out << value.name;
}

class OpmlBloglines : public OpmlTest, public ::testing::WithParamInterface<BloglinesCase> {};

TEST_P(OpmlBloglines, WrapperAndSubscriptionIds) {
  settings.BloglinesSync = GetParam().bloglinesSync;
  Import(testsupport::ReadFile(kData + "bloglines-listsubs.opml"), std::string(GetParam().source));
  EXPECT_EQ(Describe(*target), GetParam().tree);
}

constexpr const char* kUnwrapped =
    "[Tech] 0\n"
    "  [Slashdot] 2 Slashdot | http://rpc.bloglines.com/getitems?s=101 | http://slashdot.org/ | "
    "http://rss.slashdot.org/Slashdot/slashdot\n"
    "[ほげ日記] 2 ほげ日記 | http://rpc.bloglines.com/getitems?s=202 | http://hoge.example.jp/ | "
    "http://hoge.example.jp/index.rdf\n";
constexpr const char* kWrapped =
    "[Subscriptions] 0\n"
    "  [Tech] 0\n"
    "    [Slashdot] 2 Slashdot | http://rpc.bloglines.com/getitems?s=101 | http://slashdot.org/ | "
    "http://rss.slashdot.org/Slashdot/slashdot\n"
    "  [ほげ日記] 2 ほげ日記 | http://rpc.bloglines.com/getitems?s=202 | http://hoge.example.jp/ | "
    "http://hoge.example.jp/index.rdf\n";

INSTANTIATE_TEST_SUITE_P(Opml, OpmlBloglines,
                         ::testing::Values(BloglinesCase{"FromListAddress", true, kListAddress, kUnwrapped},
                                           BloglinesCase{"FromOtherAddress", true, "http://example.jp/subs.opml",
                                                         kWrapped},
                                           BloglinesCase{"SyncOff", false, kListAddress, kWrapped}),
                         [](const ::testing::TestParamInfo<BloglinesCase>& info) { return info.param.name; });

TEST_F(OpmlTest, WrapperRuleNeedsASingleOutlineWithoutFeed) {
  settings.BloglinesSync = true;
  Import(
      "<opml><body><outline title=\"A\"><outline text=\"x\" xmlUrl=\"http://x/\"/></outline>"
      "<outline title=\"B\"/></body></opml>",
      std::string(kListAddress));
  Import(
      "<opml><body><outline title=\"C\" xmlUrl=\"\"><outline text=\"y\" xmlUrl=\"http://y/\"/></outline></body></opml>",
      std::string(kListAddress));
  EXPECT_EQ(Describe(*target),
            "[A] 0\n"
            "  [x] 2 x | http://x/ | \n"
            "[B] 0\n"
            "[C] 0\n"
            "  [y] 2 y | http://y/ | \n");
}

// A body of `groups` groups holding `perGroup` channels each.
std::string ManyChannels(int groups, int perGroup) {
  std::string document = "<opml><body>";
  for (int g = 0; g < groups; ++g) {
    document += "<outline text=\"g" + std::to_string(g) + "\">";
    for (int c = 0; c < perGroup; ++c) {
      document += "<outline text=\"c\" xmlUrl=\"http://example.jp/" + std::to_string(g * perGroup + c) + "\"/>";
    }
    document += "</outline>";
  }
  return document + "</body></opml>";
}

size_t ChannelsBelow(const TTreeNodeExt& node) {
  size_t count = 0;
  for (size_t i = 0; i < node.ChildCount(); ++i) {
    count += (node.Child(i)->Data() ? 1 : 0) + ChannelsBelow(*node.Child(i));
  }
  return count;
}

TEST_F(OpmlTest, EveryTwoHundredthChannelAsksToGoOn) {
  dialogs.Answer(true);
  dialogs.Answer(true);
  const OpmlImportContext context = Import(ManyChannels(3, 150));
  EXPECT_EQ(context.ChannelCount, 450);
  EXPECT_EQ(ChannelsBelow(*target), 450u);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[0].kind, "yescancel");
  EXPECT_EQ(dialogs.shown[0].type, platform::MessageType::kConfirmation);
  EXPECT_EQ(dialogs.shown[0].text, Question(200));
  EXPECT_EQ(dialogs.shown[1].text, Question(400));
}

TEST_F(OpmlTest, CancelStopsTheWholeImportAndKeepsWhatWasAdded) {
  dialogs.Answer(false);
  const OpmlImportContext context = Import(ManyChannels(3, 150));
  EXPECT_EQ(context.ChannelCount, kOpmlChannelLimit);
  EXPECT_EQ(ChannelsBelow(*target), 200u);
  EXPECT_EQ(target->ChildCount(), 2u);  // the third group is never reached
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(OpmlTest, BloglinesDocumentsNeverAskButStopAtTheLimit) {
  settings.BloglinesSync = true;
  EXPECT_EQ(Import(ManyChannels(1, 450), std::string(kListAddress)).ChannelCount, 450);
  EXPECT_TRUE(dialogs.shown.empty());

  // A run that has counted almost to the limit adds only what fits below it.
  OpmlImportContext context;
  context.SourceAddress = kListAddress;
  context.ChannelCount = kOpmlChannelLimit - 2;
  XmlContext xml;
  const std::optional<TXMLList> list = LoadXmlList(xml, ManyChannels(1, 5));
  ASSERT_TRUE(list);
  TTreeNodeExt* second = store.Tree().AddChild(store.Tree().RootNode(), "second", store::kKindGroup);
  ImportOpml(*list, second, 0, context, store, dialogs);
  EXPECT_EQ(ChannelsBelow(*second), 2u);
  EXPECT_EQ(context.ChannelCount, kOpmlChannelLimit);
}

// A channel count that reaches the limit while outlines remain: the user learns that the
// rest was not read. A document that ends right at the limit says nothing.
TEST_F(OpmlTest, TheUserIsToldWhenTheLimitLeavesOutlinesUnread) {
  settings.BloglinesSync = true;  // no questions on the way
  Import(ManyChannels(2, kOpmlChannelLimit / 2), std::string(kListAddress));
  EXPECT_EQ(ChannelsBelow(*target), static_cast<size_t>(kOpmlChannelLimit));
  EXPECT_TRUE(dialogs.shown.empty());

  store.ClearUserTree();
  target = store.Tree().AddChild(store.Tree().RootNode(), "target", store::kKindGroup);
  const OpmlImportContext context = Import(ManyChannels(3, kOpmlChannelLimit / 2), std::string(kListAddress));
  EXPECT_EQ(context.ChannelCount, kOpmlChannelLimit);
  EXPECT_EQ(ChannelsBelow(*target), static_cast<size_t>(kOpmlChannelLimit));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "message");
  EXPECT_EQ(dialogs.shown[0].type, platform::MessageType::kInformation);
  EXPECT_EQ(dialogs.shown[0].text,
            "OPMLから一度に登録できるのは 10000 件までのため、それより後の項目は登録しませんでした。");
}

// Groups nested `levels` deep, named after their level, each holding a channel before its
// subgroup.
std::string NestedGroups(int levels) {
  std::string document = "<opml><body>";
  for (int level = 1; level <= levels; ++level) {
    const std::string n = std::to_string(level);
    document += "<outline text=\"L" + n + "\"><outline text=\"c" + n + "\" xmlUrl=\"http://example.jp/" + n + "\"/>";
  }
  for (int level = 1; level <= levels; ++level) document += "</outline>";
  return document + "</body></opml>";
}

// The groups below `node` down its first group child, and the captions of the channels
// of the deepest one.
std::pair<int, std::string> DeepestGroup(const TTreeNodeExt* node) {
  int level = node->Level();
  for (;;) {
    const TTreeNodeExt* next = nullptr;
    for (size_t i = 0; i < node->ChildCount() && next == nullptr; ++i) {
      if (node->Child(i)->Kind() == store::kKindGroup) next = node->Child(i);
    }
    if (next == nullptr) break;
    node = next;
    level = node->Level();
  }
  std::string channels;
  for (size_t i = 0; i < node->ChildCount(); ++i) channels += node->Child(i)->Caption() + " ";
  return {level, channels};
}

// Nothing the program writes may fail its own loader: a list nested deeper than the data
// file holds keeps its groups down to the deepest level that may hold channels, puts the
// content of the deeper ones there, and the saved data loads again.
TEST_F(OpmlTest, ADeepListIsImportedSavedAndLoadedAgain) {
  const OpmlImportContext context = Import(NestedGroups(199));
  EXPECT_EQ(context.ChannelCount, 199);
  EXPECT_EQ(ChannelsBelow(*target), 199u);
  // The target stands at level 1, its groups from level 2: L198 is the group at 199.
  EXPECT_EQ(DeepestGroup(target), (std::pair<int, std::string>{199, "c198 c199 "}));
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].type, platform::MessageType::kInformation);
  EXPECT_EQ(dialogs.shown[0].text,
            "OPMLのフォルダの入れ子が深すぎるため、199 階層目より深いフォルダは作らずに、その中身を 199 "
            "階層目のフォルダに登録しました。");

  testsupport::TempDir dir;
  store::DataGuard guard;
  store::RecoveryCounter counter{1};
  store::FeedDataFile dataFile(store, guard, dialogs, counter);
  ASSERT_EQ(dataFile.SaveChannelTree(dir.Path(), false), store::SaveResult::kSaved);

  settings::Settings loadedSettings = settings::DefaultSettings(0);
  store::ChannelStore loaded{loadedSettings};
  store::DataGuard loadedGuard;
  store::FeedDataFile loadedFile(loaded, loadedGuard, dialogs, counter);
  ASSERT_TRUE(loadedFile.LoadChannelTree(dir.Path(), 0, false));
  EXPECT_EQ(Describe(*loaded.Tree().RootNode()), Describe(*store.Tree().RootNode()));
  EXPECT_EQ(dialogs.shown.size(), 1u) << "neither the save nor the load had anything to say";
}

// What an export keeps of a subtree: captions, groups and channels with their addresses.
// Search items are never exported, and channels of every state come back alike.
void Shape(const TTreeNodeExt& node, int level, std::string& out) {
  for (size_t i = 0; i < node.ChildCount(); ++i) {
    const TTreeNodeExt& child = *node.Child(i);
    if (child.IsSearchItem()) continue;
    out += std::string(static_cast<size_t>(level) * 2, ' ') + Utf8(child.Caption());
    if (const store::TSiteList* channel = child.Data()) out += " " + channel->Site.rdfurl + " " + channel->Site.link;
    out += "\n";
    Shape(child, level + 1, out);
  }
}

std::string Shape(const TTreeNodeExt& node) {
  std::string out;
  Shape(node, 0, out);
  return out;
}

TEST_F(OpmlTest, ExportThenImportGivesTheSameTree) {
  TTreeNodeExt* news = BuildNews();
  testsupport::TempDir dir;
  ASSERT_TRUE(WriteOpmlFile(dir / "round.opml", ExportOpml(news, true, dialogs)));
  const OpmlImportContext context = Import(testsupport::ReadFile(dir / "round.opml"));
  EXPECT_EQ(Utf8(context.Title), "Plover OPMLリスト");
  EXPECT_EQ(context.OwnerName, "varnholt");
  EXPECT_EQ(context.ChannelCount, 4);
  EXPECT_EQ(Shape(*target), Shape(*news));
  store::TChannelTree::ForEachNode(target, [](TTreeNodeExt* node) {
    if (node->Data()) {
      EXPECT_EQ(node->Kind(), store::kKindStopped) << Utf8(node->Caption());
    }
  });
}

TEST_F(OpmlTest, BuiltInDefaultListImports) {
  const std::string path = kData + "../../../../data/default.opml";
  if (!testsupport::FileExists(path)) GTEST_SKIP() << "no built-in default list";
  const OpmlImportContext context = Import(testsupport::ReadFile(path));
  EXPECT_EQ(target->ChildCount(), 13u);
  EXPECT_EQ(ChannelsBelow(*target), 59u);
  EXPECT_EQ(context.ChannelCount, 59);
  EXPECT_EQ(Utf8(context.Title), "Plover OPMLリスト");
}

TEST_F(OpmlTest, NothingIsWrittenWhenTheConversionYieldsNothing) {
  testsupport::TempDir dir;
  EXPECT_FALSE(WriteOpmlFile(dir / "empty.opml", ""));
  EXPECT_FALSE(testsupport::FileExists(dir / "empty.opml"));
  EXPECT_EQ(ExportOpml(nullptr, false, dialogs), "");
}

}  // namespace
}  // namespace formats
