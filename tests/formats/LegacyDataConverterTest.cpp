// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <variant>
#include <vector>

#include "formats/LegacyDataConverter.h"
#include "platform/CodePage.h"
#include "settings/Settings.h"
#include "store/ChannelStore.h"
#include "store/datafile/DataFileFields.h"
#include "store/datafile/DataGuard.h"
#include "store/datafile/FeedDataFile.h"
#include "store/journal/RecoveryCounter.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace formats {
namespace {

using store::TTreeNodeExt;
using testsupport::FileExists;
using testsupport::ReadFile;
using testsupport::WriteFile;
using text::J;

const std::string kData = PLOVER_TEST_DATA "legacy/";

const std::string kOlderVersion = "古い形式の記録ファイルなので変換します。";
const std::string kNewerVersion =
    "記録ファイルのバージョンがプログラムより新しいものです。\r\n"
    "できる範囲で読み込みますがファイルの内容が一部欠落する可能性があります。";

// 2008-01-03 12:00 local time, close to the dates of the fixtures.
std::time_t FixtureNow() {
  std::tm local{};
  local.tm_year = 108;
  local.tm_mon = 0;
  local.tm_mday = 3;
  local.tm_hour = 12;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

// A small old data file in code page 932 with one channel, and `header` in place of the
// version element.
std::string SmallLegacyFile(const std::string& header) {
  return J("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<data>" + header +
           "<item><flag>1</flag><dispname>チャンネル</dispname><rdfurl>http://example.jp/a.xml</rdfurl>"
           "<item><flag>10</flag><title>記事</title></item></item></data>\n");
}

// A data folder as the program starts on it: the store and the data file with the real
// converter, every bound switched off so that every converted item is saved.
class LegacyConversion : public ::testing::Test {
 protected:
  LegacyConversion() {
    settings.ItemMax = 0;
    settings.DateMax = 0;
    dataFile.SetLegacyConverter(&converter);
    dataFile.SetClock([] { return FixtureNow(); });
  }

  bool Load() { return dataFile.LoadChannelTree(dir.Path(), 0, true); }
  TTreeNodeExt* Root() { return store.Tree().RootNode(); }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const auto& shown : dialogs.shown) texts.push_back(shown.text);
    return texts;
  }

  testsupport::TempDir dir;
  settings::Settings settings;
  store::ChannelStore store{settings};
  store::DataGuard guard;
  testsupport::ScriptedDialogs dialogs;
  store::RecoveryCounter counter{1000};
  store::FeedDataFile dataFile{store, guard, dialogs, counter};
  XmlContext xml;
  LegacyDataConverter converter{xml, dialogs};
};

// Every field element of the old format reaches the new data file; groups, channels and
// search items keep their places, items their channels and the totals their counts.
TEST_F(LegacyConversion, ConvertsEveryFieldIntoTheDataFile) {
  const std::string original = ReadFile(kData + "full.def");
  WriteFile(dir / "plover.def", original);
  dialogs.Answer(true);  // the notice after the conversion

  ASSERT_TRUE(Load());
  EXPECT_EQ(platform::Cp932ToUtf8(ReadFile(dir / "plover.dat")), ReadFile(kData + "full.dat.utf8"));
  // Version 1.00 is the current one: only the notice is shown.
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_EQ(dialogs.shown[0].kind, "yesno");

  // The item straight in the group has no channel and is dropped; the protected item and
  // the read item do not count as unread.
  EXPECT_EQ(Root()->ItemTotal(), 4);
  EXPECT_EQ(Root()->UnreadTotal(), 2);
  TTreeNodeExt* news = Root()->Child(0);
  EXPECT_EQ(news->ItemTotal(), 3);
  EXPECT_EQ(news->UnreadTotal(), 1);
  EXPECT_EQ(news->Child(1)->Kind(), store::kKindStopped);
  EXPECT_EQ(Root()->Child(1)->Kind(), store::kKindSearch);
  EXPECT_EQ(store.Tree().SearchItemCount(), 1);

  // The old file is kept once as plover.def.bak, and the channel list as OPML.
  EXPECT_FALSE(FileExists(dir / "plover.def"));
  EXPECT_EQ(ReadFile(dir / "plover.def.bak"), original);
  const std::string opml = ReadFile(dir / "サイトデータ.opml");
  EXPECT_NE(opml.find("    <outline text=\"ニュース\">\r\n      <outline text=\"技術ブログ\" title=\"技術ブログ\" "
                      "type=\"rss\" version=\"RSS\" htmlUrl=\"http://example.jp/tech/\" "
                      "xmlUrl=\"http://example.jp/tech/rss.xml\"/>"),
            std::string::npos)
      << opml;
  EXPECT_EQ(opml.find("地震"), std::string::npos);
}

struct VersionCase {
  const char* name;
  std::string header;
  std::string message;  // UTF-8; empty when none is shown
};

class LegacyVersion : public LegacyConversion, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(LegacyVersion, AnnouncesVersionsOtherThanTheCurrentOne) {
  WriteFile(dir / "plover.def", SmallLegacyFile(GetParam().header));
  dialogs.Answer(true);
  ASSERT_TRUE(Load());
  std::vector<std::string> expected;
  if (!GetParam().message.empty()) expected.push_back(GetParam().message);
  const std::vector<std::string> texts = Texts();
  ASSERT_EQ(texts.size(), expected.size() + 1);  // and the notice
  EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.end() - 1), expected);
  ASSERT_EQ(Root()->ChildCount(), 1u);
  EXPECT_EQ(Root()->Child(0)->Caption(), J("チャンネル"));
  EXPECT_TRUE(FileExists(dir / "plover.dat"));
}

INSTANTIATE_TEST_SUITE_P(
    Versions, LegacyVersion,
    ::testing::Values(VersionCase{"Current", "<plover><version>1.00</version></plover>", ""},
                      VersionCase{"Older", "<plover><version>0.90</version></plover>", kOlderVersion},
                      VersionCase{"Newer", "<plover><version> 1.5 </version></plover>", kNewerVersion},
                      VersionCase{"Missing", "", kOlderVersion}),
    [](const auto& info) { return std::string(info.param.name); });

// A damaged plover.def leads to plover.def.bak and then to plover.sub, each with the
// user's consent, and the damaged files are kept in the error folder.
TEST_F(LegacyConversion, ADamagedFileFallsBackToTheBackupAndTheSubscriptions) {
  const std::string broken = ReadFile(kData + "broken.def");
  const std::string subscriptions = ReadFile(kData + "subscriptions.sub");
  WriteFile(dir / "plover.def", broken);
  WriteFile(dir / "plover.def.bak", broken);
  WriteFile(dir / "plover.sub", subscriptions);
  dialogs.Answer(true);  // try plover.def.bak
  dialogs.Answer(true);  // try plover.sub
  dialogs.Answer(true);  // the notice

  ASSERT_TRUE(Load());
  const std::vector<std::string> texts = Texts();
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0],
            "前回に更新したFeedデータに問題が発見されました。(errorフォルダにデータバックアップしました)\r\n"
            "１つ前のバックアップファイルを使用して再起動を試みる場合は[はい]を選択してください");
  EXPECT_EQ(texts[1],
            "バックアップデータでも修復できませんでした。\r\n"
            "登録サイトの情報だけを残して再起動を試みる場合は[はい]を選択してください");
  ASSERT_EQ(Root()->ChildCount(), 1u);
  EXPECT_EQ(Root()->Child(0)->Caption(), J("登録サイト"));
  EXPECT_EQ(Root()->Child(0)->Data()->Site.rdfurl, "http://example.jp/sub.xml");
  EXPECT_EQ(ReadFile(dir / "error/plover.def"), broken);
  EXPECT_EQ(ReadFile(dir / "error/plover.sub"), subscriptions);
  EXPECT_FALSE(guard.XmlParserMissing());
  EXPECT_TRUE(FileExists(dir / "plover.dat"));
}

// Gives one item a recorded state, as the journal does after a crash.
class OneRecordedState : public store::ItemStateReplay {
 public:
  bool ReplayItemState(store::TSiteRecord& item) override {
    if (item.title != J("二番目の記事") || item.Owner == nullptr) return false;
    item.read = store::kStateRead;
    return true;
  }
};

TEST_F(LegacyConversion, ItemsTakeTheirRecordedStates) {
  ASSERT_EQ(converter.OpenLegacyFile(kData + "full.def"), 1.0);
  OneRecordedState replay;
  converter.BuildLegacyTree(store, &replay);
  EXPECT_EQ(Root()->ItemTotal(), 4);
  EXPECT_EQ(Root()->UnreadTotal(), 1);
  EXPECT_TRUE(store.DataModified());
}

TEST_F(LegacyConversion, ControlBytesAreRepairedAndUnreadableFilesRefused) {
  std::string file = SmallLegacyFile("");
  file.replace(file.find(J("チャンネル")), 2, "\x01\x02");
  WriteFile(dir / "control.def", file);
  ASSERT_EQ(converter.OpenLegacyFile(dir / "control.def"), 0.0);
  converter.BuildLegacyTree(store, nullptr);
  ASSERT_EQ(Root()->ChildCount(), 1u);
  EXPECT_EQ(Root()->Child(0)->Caption(), "  " + J("ャンネル"));

  EXPECT_FALSE(converter.OpenLegacyFile(kData + "broken.def").has_value());
  EXPECT_NE(xml.ParseError.ErrorCode, 0);
  EXPECT_FALSE(converter.OpenLegacyFile(dir / "missing.def").has_value());
}

// Groups nested deeper than the data file can hold are kept at its deepest level, so the
// converted file loads again.
TEST_F(LegacyConversion, TooDeepNestingStaysLoadable) {
  constexpr int kDepth = 205;
  std::string body;
  for (int i = 0; i < kDepth; ++i) body += "<item><flag>0</flag><dispname>g" + std::to_string(i + 1) + "</dispname>";
  body += "<item><flag>1</flag><dispname>deep</dispname><item><flag>10</flag><title>t</title></item></item>";
  for (int i = 0; i < kDepth; ++i) body += "</item>";
  WriteFile(dir / "plover.def",
            "<?xml version=\"1.0\"?><data><plover><version>1</version></plover>" + body + "</data>");
  dialogs.Answer(true);
  ASSERT_TRUE(Load());

  store::ChannelStore reloaded{settings};
  store::FeedDataFile reloadFile{reloaded, guard, dialogs, counter};
  ASSERT_TRUE(reloadFile.LoadChannelTree(dir.Path(), 0, false));
  EXPECT_FALSE(guard.XmlParserMissing());
  EXPECT_EQ(reloaded.Tree().RootNode()->ItemTotal(), 1);
  int deepest = 0;
  store::TChannelTree::ForEachNode(reloaded.Tree().RootNode(), [&](TTreeNodeExt* node) {
    deepest = std::max(deepest, node->Level());
    if (node->Caption() == "deep") {
      EXPECT_EQ(node->Data()->Count(), 1u);
    }
  });
  EXPECT_EQ(deepest, 200);
}

// Each channel field of the old format on its own, its element name in capitals and a
// number with the spaces and line ends an element may hold around it: the value reaches
// its field of the channel, and no other field changes.
class LegacyChannelField : public LegacyConversion,
                           public ::testing::WithParamInterface<store::datafile::ChannelField> {};

TEST_P(LegacyChannelField, FillsItsOwnFieldOnly) {
  namespace df = store::datafile;
  const df::ChannelField& field = GetParam();
  std::string element(field.legacyElement);
  for (char& c : element) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  store::TSiteList expected;
  const std::string value = std::visit(df::Overloaded{
                                           [&](df::TextMember form) {
                                             expected.*form.member = J("値 と文");
                                             return expected.*form.member;
                                           },
                                           [&](df::DayMember form) {
                                             expected.*form.member = 39449.75;
                                             return std::string("\n 39449.75 \n");
                                           },
                                           [&](auto form) {
                                             expected.*form.member = 42;
                                             return std::string("\n 42 \n");
                                           },
                                       },
                                       field.member);
  WriteFile(dir / "field.def", J("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\n<data><plover><version>1.00</version>"
                                 "</plover><item><flag>1</flag><dispname>c</dispname>") +
                                   "<" + element + ">" + value + "</" + element + "></item></data>\n");
  ASSERT_EQ(converter.OpenLegacyFile(dir / "field.def"), 1.0);
  converter.BuildLegacyTree(store, nullptr);
  ASSERT_EQ(Root()->ChildCount(), 1u);
  const store::TSiteList& channel = *Root()->Child(0)->Data();
  for (const df::ChannelField& each : df::kChannelFields) {
    std::visit([&](auto form) { EXPECT_EQ(channel.*form.member, expected.*form.member) << each.key; }, each.member);
  }
}

std::vector<store::datafile::ChannelField> FieldsOfTheOldFormat() {
  std::vector<store::datafile::ChannelField> fields;
  for (const auto& field : store::datafile::kChannelFields) {
    if (!field.legacyElement.empty()) fields.push_back(field);
  }
  return fields;
}

INSTANTIATE_TEST_SUITE_P(EveryOldField, LegacyChannelField, ::testing::ValuesIn(FieldsOfTheOldFormat()),
                         [](const auto& info) { return std::string(info.param.legacyElement); });

}  // namespace
}  // namespace formats
