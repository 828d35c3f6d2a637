// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataFileSupport.h"
#include "store/LocalClock.h"
#include "store/datafile/DataFileFormat.h"
#include "store/datafile/DataFileParser.h"
#include "store/datafile/DataFileWriter.h"

namespace store::testing {
namespace {

using namespace store::datafile;

TEST(DataFileValues, EscapingKeepsEveryValueOnItsLine) {
  struct Case {
    std::string value, stored, readBack;
  };
  const std::vector<Case> cases = {
      {"a\r\nb", "a\tb", "a\rb"},   {"a\rb\nc", "a\tb\tc", "a\rb\rc"}, {"a\tb", "ab", "ab"},  // a TAB is lost
      {"a\r\t\nb", "a\tb", "a\rb"},  // TABs go first, so CR TAB LF is one break
      {"\r\n\r\n", "\t\t", "\r\r"}, {"plain", "plain", "plain"},
  };
  for (const Case& c : cases) {
    std::string stored;
    AppendEscaped(stored, c.value);
    EXPECT_EQ(stored, c.stored);
    UnescapeInPlace(stored);
    EXPECT_EQ(stored, c.readBack);
  }
}

TEST(DataFileValues, DayNumbersUseTheShortestFormWithADot) {
  const std::vector<std::pair<double, std::string>> cases = {
      {39449.5, "39449.5"}, {39449.0, "39449"},
      {-1.25, "-1.25"},     {39450.041666666664, "39450.0416666667"},  // 15 significant digits
      {0.1, "0.1"},
  };
  for (const auto& [value, text] : cases) {
    EXPECT_EQ(FormatDayNumber(value), text);
    // Reading the text back and writing it again gives the same text, so a loaded file
    // saves unchanged even where 15 digits do not hold the exact value.
    EXPECT_EQ(FormatDayNumber(ParseDayNumber(text)), text);
  }
  EXPECT_EQ(ParseDayNumber("abc"), 0);
  EXPECT_EQ(ParseDayNumber("nan"), 0);
  EXPECT_EQ(ParseDayNumber("1e999"), 0);
  EXPECT_EQ(ParseDayNumber("39449.5xyz"), 39449.5);
}

TEST(DataFileValues, NumbersAndFlagsAreReadLeniently) {
  EXPECT_EQ(ParseTolerantInt("012"), 12);
  EXPECT_EQ(ParseTolerantInt(" -7x"), -7);
  EXPECT_EQ(ParseTolerantInt("x7"), 0);
  EXPECT_EQ(ParseTolerantInt(""), 0);
  EXPECT_EQ(ParseTolerantInt("99999999999999999999999"), INT64_MAX);
  EXPECT_EQ(HeaderText(3), "[000003]");
  EXPECT_EQ(HeaderText(1234567), "[234567]");  // only the last six digits
  EXPECT_EQ(FlagValue(2, 10), "002010");
  EXPECT_EQ(FlagValue(1001, 3), "001003");
}

TEST(RecoveryNumbers, TheCounterStartsAtThePackedLocalTime) {
  std::tm local{};
  local.tm_year = 108;  // 2008-01-02 12:34:56
  local.tm_mon = 0;
  local.tm_mday = 2;
  local.tm_hour = 12;
  local.tm_min = 34;
  local.tm_sec = 56;
  local.tm_isdst = -1;
  const uint32_t packed = 28u << 25 | 1u << 21 | 2u << 16 | 12u << 11 | 34u << 5 | 28u;
  EXPECT_EQ(PackedFileDateTime(std::mktime(&local)), packed);
  RecoveryCounter counter = RecoveryCounter::FromStartTime(std::mktime(&local));
  EXPECT_EQ(counter.Next(), packed + 1);
  EXPECT_EQ(counter.Next(), packed + 2);
}

class WriterTest : public ::testing::Test {
 protected:
  std::string Save() { return SerializeChannelTree(store.Tree(), settings, 39450.5, counter); }

  settings::Settings settings;
  ChannelStore store{settings};
  RecoveryCounter counter{41};
};

TEST_F(WriterTest, AChannelWithNothingSetIsItsFlagCaptionAndEnd) {
  TTreeNodeExt* feed =
      store.Tree().AddChild(store.Tree().RootNode(), "Feed", kKindChannel, std::make_unique<TSiteList>());
  feed->Data()->recovery = 5;
  EXPECT_EQ(Save(), "[000001]\r\nflag:001020\r\n*\r\nflag:001001\r\ndispname:Feed\r\nrecovery:5\r\n*\r\n");
}

TEST_F(WriterTest, PassingKindsAreSavedAsChannelsAndNumbersAreHandedOut) {
  TTreeNodeExt* root = store.Tree().RootNode();
  TTreeNodeExt* updating = AddChannel(store, root, "A", 0);
  TTreeNodeExt* failed = AddChannel(store, root, "B", 0, 9);
  TTreeNodeExt* stopped = AddChannel(store, root, "C", 0);
  store.Tree().SetNodeKind(updating, kKindUpdating);
  store.Tree().SetNodeKind(failed, kKindError);
  store.Tree().SetNodeKind(stopped, kKindStopped);
  const std::string bytes = Save();
  EXPECT_NE(bytes.find("flag:001001\r\ndispname:A\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("flag:001001\r\ndispname:B\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("flag:001002\r\ndispname:C\r\n"), std::string::npos);
  // Channels without a number get the counter's next values, in tree order.
  EXPECT_EQ(updating->Data()->recovery, 42);
  EXPECT_EQ(failed->Data()->recovery, 9);
  EXPECT_EQ(stopped->Data()->recovery, 43);
  EXPECT_EQ(RecoveryCounter(UINT32_MAX).Next(), 1u);  // 0 means "none yet" and is skipped
}

TEST_F(WriterTest, OnlyTheItemsTheBoundsKeepAreWritten) {
  settings.ItemMax = 2;
  settings.DateMax = 0;
  TTreeNodeExt* feed = AddChannel(store, store.Tree().RootNode(), "F", 4, 1);
  feed->Data()->ItemAt(0)->read = kStateProtected;
  const std::string bytes = Save();
  EXPECT_NE(bytes.find("title:F-0\r\n"), std::string::npos);  // protected
  EXPECT_EQ(bytes.find("title:F-1\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("title:F-2\r\n"), std::string::npos);
  EXPECT_NE(bytes.find("title:F-3\r\n"), std::string::npos);
  EXPECT_EQ(bytes.rfind("[000001]", 0), 0u);  // items are not counted in the header
}

TEST_F(WriterTest, TheItemTotalFollowsTheHeaderAndCountsTheItemsWritten) {
  settings.ItemMax = 2;
  settings.DateMax = 0;
  TTreeNodeExt* group = store.Tree().AddChild(store.Tree().RootNode(), "G", kKindGroup);
  TTreeNodeExt* feed = AddChannel(store, group, "F", 4, 1);
  feed->Data()->ItemAt(0)->read = kStateProtected;
  AddChannel(store, store.Tree().RootNode(), "E", 1, 2);
  const std::string bytes = Save();
  // F-0 (protected), F-2 and F-3 of the first channel, E-0 of the second.
  EXPECT_EQ(bytes.rfind("[000003]\r\nflag:001020\r\nitemtotal:4\r\n*\r\nflag:001000\r\ndispname:G\r\n", 0), 0u);

  // The record is no node: a reader finds the header's count of nodes and the items the
  // total announced.
  ChannelStore loaded{settings};
  const ParseOutcome outcome = ParseChannelData(bytes, loaded, nullptr);
  EXPECT_TRUE(outcome.Accepted());
  EXPECT_TRUE(outcome.hasItemTotal);
  EXPECT_EQ(outcome.expectedItems, 4);
  EXPECT_EQ(outcome.itemCount, 4);
  EXPECT_EQ(outcome.createdNodes, 3);

  // An empty tree announces no items; the total is left out like any zero.
  store.ClearUserTree();
  EXPECT_EQ(Save(), "[000000]\r\nflag:001020\r\n*\r\n");
}

TEST_F(WriterTest, GroupsRecordExpansionUnlessGroupsFollowTheFocus) {
  TTreeNodeExt* group = store.Tree().AddChild(store.Tree().RootNode(), "G", kKindGroup);
  store.Tree().AddChild(group, "Q", kKindSearch);
  store.Tree().SetExpanded(group, true);
  const std::string expanded =
      "[000002]\r\nflag:001020\r\n*\r\nflag:001000\r\ndispname:G\r\nexpand:1\r\n*\r\nflag:002003\r\ndispname:Q\r\n*"
      "\r\n";
  for (int treeOpen : {0, 1, 3}) {
    settings.TreeOpen = treeOpen;
    EXPECT_EQ(Save(), expanded) << treeOpen;
  }
  settings.TreeOpen = 2;
  EXPECT_EQ(Save(),
            "[000002]\r\nflag:001020\r\n*\r\nflag:001000\r\ndispname:G\r\n*\r\nflag:002003\r\ndispname:Q\r\n*\r\n");
  settings.TreeOpen = 1;
  store.Tree().SetExpanded(group, false);
  EXPECT_EQ(Save(),
            "[000002]\r\nflag:001020\r\n*\r\nflag:001000\r\ndispname:G\r\n*\r\nflag:002003\r\ndispname:Q\r\n*\r\n");
}

}  // namespace
}  // namespace store::testing
