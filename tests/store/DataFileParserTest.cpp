// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DataFileSupport.h"
#include "store/datafile/DataFileParser.h"
#include "store/datafile/DataFileWriter.h"

namespace store::testing {
namespace {

using text::J;

// Joins lines with CR LF, the way the file holds them.
std::string Lines(const std::vector<std::string>& lines) {
  std::string out;
  for (const std::string& line : lines) out += line + "\r\n";
  return out;
}

class ParserTest : public ::testing::Test {
 protected:
  ParseOutcome Parse(const std::string& image) { return ParseChannelData(image, store, nullptr); }
  TTreeNodeExt* Root() { return store.Tree().RootNode(); }

  settings::Settings settings;
  ChannelStore store{settings};
};

TEST_F(ParserTest, HeaderCountDecidesWhetherTheImageIsAccepted) {
  const std::string records = Lines({"flag:001000", "dispname:A", "*", "flag:001003", "dispname:B", "*"});
  ParseOutcome matching = Parse("[000002]\r\n" + records);
  EXPECT_TRUE(matching.Accepted());
  store.ClearUserTree();
  ParseOutcome tooFew = Parse("[000005]\r\n" + records);
  EXPECT_FALSE(tooFew.Accepted());
  EXPECT_EQ(tooFew.createdNodes, 2);
  store.ClearUserTree();
  ParseOutcome headerless = Parse(records);  // no header: no count check
  EXPECT_FALSE(headerless.hasHeader);
  EXPECT_TRUE(headerless.Accepted());
  EXPECT_EQ(Root()->ChildCount(), 2u);
}

TEST_F(ParserTest, DamageTheCountCannotSeeIsRefused) {
  EXPECT_FALSE(Parse("").Accepted());
  EXPECT_FALSE(Parse(std::string(4096, '\0')).Accepted());
  EXPECT_TRUE(Parse("[000000]\r\n").Accepted());  // the empty tree as the program writes it
  store.ClearUserTree();
  // Cut inside the last record: the count still matches, the end mark is missing.
  ParseOutcome cut = Parse("[000001]\r\nflag:001001\r\ndispname:A\r\n*\r\nflag:001010\r\ntitle:B");
  EXPECT_TRUE(cut.unterminated);
  EXPECT_FALSE(cut.Accepted());
  EXPECT_EQ(Root()->ChildCount(), 1u);
}

TEST_F(ParserTest, AMissingParentDepthGetsPlaceholderGroups) {
  ParseOutcome outcome = Parse(Lines({"[000002]", "flag:001000", "dispname:Top", "*", "flag:003001", "dispname:Deep",
                                      "*", "flag:003010", "title:kept", "*"}));
  EXPECT_EQ(outcome.createdNodes, 3);
  EXPECT_FALSE(outcome.Accepted());  // the placeholder is one node more than announced
  TTreeNodeExt* placeholder = Root()->Child(0)->Child(0);
  ASSERT_NE(placeholder, nullptr);
  EXPECT_EQ(placeholder->Caption(), J("(問題のあるフォルダ)"));
  ASSERT_EQ(placeholder->ChildCount(), 1u);
  EXPECT_EQ(placeholder->Child(0)->Caption(), "Deep");
  EXPECT_EQ(placeholder->Child(0)->Data()->Count(), 1u);
  EXPECT_EQ(Root()->ItemTotal(), 1);
}

TEST_F(ParserTest, RecordsThatCannotBePlacedAreDroppedQuietly) {
  ParseOutcome outcome = Parse(Lines({
      "[000003]",
      "flag:001010",
      "title:before any channel",
      "*",  // depth 1 holds nothing yet
      "flag:001000",
      "dispname:G",
      "*",
      "flag:001010",
      "title:under a group",
      "*",  // depth 1 holds a group
      "flag:001005",
      "dispname:favourite",
      "*",  // a kind of another tree
      "flag:001011",
      "dispname:unknown",
      "*",
      "flag:001003",
      "dispname:S",
      "title:ignored",
      "flag:001000",
      "*",  // a second flag is a field
      "no colon here",
      "flag:001001",
      "dispname:F",
      "*",
      "flag:001010",
      "title:ok",
      "*",
  }));
  EXPECT_TRUE(outcome.Accepted());
  EXPECT_EQ(outcome.itemCount, 1);
  ASSERT_EQ(Root()->ChildCount(), 3u);
  EXPECT_EQ(Root()->Child(1)->Caption(), "S");
  EXPECT_EQ(Root()->Child(1)->Kind(), kKindSearch);
  EXPECT_EQ(Root()->Child(2)->Data()->ItemAt(0)->title, "ok");
}

TEST_F(ParserTest, DepthsOutsideOneTo200EndTheParse) {
  for (const std::string depth : {"000", "201", "-01", "abc"}) {
    store.ClearUserTree();
    ParseOutcome outcome = Parse(
        Lines({"flag:001000", "dispname:A", "*", "flag:" + depth + "000", "*", "flag:001000", "dispname:never", "*"}));
    EXPECT_TRUE(outcome.fatal) << depth;
    EXPECT_FALSE(outcome.Accepted()) << depth;
    EXPECT_EQ(Root()->ChildCount(), 1u) << depth;  // the part before the damage stays
  }
  store.ClearUserTree();
  EXPECT_TRUE(Parse(Lines({"[000200]", "flag:200000", "*"})).Accepted());  // 199 placeholders + 1
}

TEST_F(ParserTest, KeysIgnoreCaseAndLineEndsAreLenient) {
  // Lone LFs, lone CRs and blank lines all just end lines; upper-case keys still count.
  const std::string image = "[000001]\nFLAG:001001\r\r\n\nDispName:Feed\rTITLE:Site\n*\nflag:001010\ntitle:x\n*";
  EXPECT_TRUE(Parse(image).Accepted());
  TTreeNodeExt* feed = Root()->Child(0);
  EXPECT_EQ(feed->Caption(), "Feed");
  EXPECT_EQ(feed->Data()->Site.title, "Site");
  EXPECT_EQ(feed->Data()->Count(), 1u);
}

TEST_F(ParserTest, ExpansionIsRestoredUnlessGroupsFollowTheFocus) {
  const std::string image = Lines({"flag:001000", "dispname:G", "expand:", "*", "flag:002000", "dispname:H", "*",
                                   "flag:001000", "dispname:Empty", "expand:1", "*"});
  settings.TreeOpen = 2;
  Parse(image);
  EXPECT_FALSE(Root()->Child(0)->Expanded());
  store.ClearUserTree();
  settings.TreeOpen = 1;
  Parse(image);
  EXPECT_TRUE(Root()->Child(0)->Expanded());   // any value marks it; expanded with its first child
  EXPECT_FALSE(Root()->Child(1)->Expanded());  // marked, but no child ever came
  EXPECT_EQ(Root()->Child(1)->StateIndex(), 0);
}

// Item counts are summed per channel; the totals must equal those of adding items one by
// one, also when a later record goes back to an earlier channel through the level array.
TEST_F(ParserTest, SummedCountsMatchItemByItemCounting) {
  const std::string image =
      Lines({"flag:001000", "dispname:G", "*", "flag:002001", "dispname:A", "*", "flag:002010", "*", "flag:002010",
             "read:1", "*", "flag:001001", "dispname:B", "*", "flag:001010", "*", "flag:002010", "*"});
  Parse(image);
  TTreeNodeExt* group = Root()->Child(0);
  TTreeNodeExt* a = group->Child(0);
  TTreeNodeExt* b = Root()->Child(1);
  EXPECT_EQ(a->Data()->Count(), 3u);  // the last item goes to depth 2's node: A
  EXPECT_EQ(b->Data()->Count(), 1u);
  EXPECT_EQ(a->ItemTotal(), 3);
  EXPECT_EQ(a->UnreadTotal(), 2);
  EXPECT_EQ(group->ItemTotal(), 3);
  EXPECT_EQ(Root()->ItemTotal(), 4);
  EXPECT_EQ(Root()->UnreadTotal(), 3);
}

// A replay that changes a state marks the data modified, and the counts follow the new
// state.
TEST_F(ParserTest, ItemsAreOfferedToTheReplayWithTheirChannel) {
  struct MarkRead : ItemStateReplay {
    bool ReplayItemState(TSiteRecord& item) override {
      owners.push_back(item.Owner);
      if (item.title != "changed") return false;
      item.read = kStateRead;
      return true;
    }
    std::vector<TSiteList*> owners;
  } replay;
  ParseChannelData(Lines({"flag:001001", "dispname:F", "recovery:3", "*", "flag:001010", "title:same", "*",
                          "flag:001010", "title:changed", "*"}),
                   store, &replay);
  ASSERT_EQ(replay.owners.size(), 2u);
  EXPECT_EQ(replay.owners[0], Root()->Child(0)->Data());
  EXPECT_EQ(Root()->UnreadTotal(), 1);
  EXPECT_TRUE(store.DataModified());
}

// The tree as text: every node with its depth, caption, kind and the titles of its items.
std::string Describe(const TTreeNodeExt* node, int depth = 0) {
  std::string out;
  for (size_t i = 0; i < node->ChildCount(); ++i) {
    const TTreeNodeExt* child = node->Child(i);
    out += std::to_string(depth) + " " + child->Caption() + " " + std::to_string(child->Kind());
    if (const TSiteList* list = child->Data()) {
      for (const auto& item : list->Items()) out += " [" + item->title + "]";
    }
    out += "\n" + Describe(child, depth + 1);
  }
  return out;
}

// A reader meets records of kinds it does not know (a later version's, another tree's):
// wherever one stands, it is skipped whole, and the file reads as without it. The item
// total is such a record to a reader that does not know it, and one that stands anywhere
// but first is one to this reader too.
TEST_F(ParserTest, RecordsOfUnknownKindsAreSkippedWhereverTheyStand) {
  const std::vector<std::vector<std::string>> records = {
      {"flag:001000", "dispname:G", "*"}, {"flag:002001", "dispname:A", "title:Site", "*"},
      {"flag:002010", "title:a1", "*"},   {"flag:002010", "title:a2", "read:1", "*"},
      {"flag:001003", "dispname:S", "*"}, {"flag:001001", "dispname:B", "*"},
      {"flag:001010", "title:b1", "*"},
  };
  const std::vector<std::vector<std::string>> unknown = {
      {"flag:001004", "dispname:favourite", "title:t", "*"},
      {"flag:002099", "dispname:later", "itemtotal:1", "*"},
      {"flag:001020", "itemtotal:99", "*"},
      {"flag:003011", "*"},  // no node at depth 2 is needed for it
  };
  std::vector<std::string> plain = {"[000004]"};
  for (const auto& record : records) plain.insert(plain.end(), record.begin(), record.end());
  ASSERT_TRUE(Parse(Lines(plain)).Accepted());
  const std::string expected = Describe(Root());
  const int32_t unread = Root()->UnreadTotal();
  for (const auto& extra : unknown) {
    // First of all, the item total is the item total; anywhere else it is unknown.
    for (size_t at = extra[0] == "flag:001020" ? 1 : 0; at <= records.size(); ++at) {
      std::vector<std::string> lines = {"[000004]"};
      for (size_t i = 0; i < records.size(); ++i) {
        if (i == at) lines.insert(lines.end(), extra.begin(), extra.end());
        lines.insert(lines.end(), records[i].begin(), records[i].end());
      }
      if (at == records.size()) lines.insert(lines.end(), extra.begin(), extra.end());
      store.ClearUserTree();
      const ParseOutcome outcome = Parse(Lines(lines));
      EXPECT_TRUE(outcome.Accepted()) << extra[0] << " before record " << at;
      EXPECT_FALSE(outcome.hasItemTotal) << extra[0] << " before record " << at;
      EXPECT_EQ(Describe(Root()), expected) << extra[0] << " before record " << at;
      EXPECT_EQ(Root()->UnreadTotal(), unread) << extra[0] << " before record " << at;
    }
  }
}

struct ItemTotalCase {
  const char* name;
  std::vector<std::string> totalRecord;  // the first record; none for a file without it
  bool accepted;
};

class ItemTotalTest : public ParserTest, public ::testing::WithParamInterface<ItemTotalCase> {};

// A file that announces its item total must hold exactly that many items: a file cut at
// the end of an item record has every node and every record whole, and only the total
// tells it from a complete file.
TEST_P(ItemTotalTest, DecidesTogetherWithTheNodeCount) {
  std::vector<std::string> lines = {"[000002]"};
  lines.insert(lines.end(), GetParam().totalRecord.begin(), GetParam().totalRecord.end());
  for (const char* line : {"flag:001001", "dispname:A", "*", "flag:001010", "title:a1", "*", "flag:001001",
                           "dispname:B", "*", "flag:001010", "title:b1", "*", "flag:001010", "title:b2", "*"}) {
    lines.push_back(line);
  }
  const ParseOutcome outcome = Parse(Lines(lines));
  EXPECT_EQ(outcome.Accepted(), GetParam().accepted);
  EXPECT_EQ(outcome.itemCount, 3);
  EXPECT_EQ(Root()->ItemTotal(), 3);  // what was read stays, as for any damage
}

INSTANTIATE_TEST_SUITE_P(
    Files, ItemTotalTest,
    ::testing::Values(ItemTotalCase{"Matching", {"flag:001020", "itemtotal:3", "*"}, true},
                      ItemTotalCase{"ItemsCutOff", {"flag:001020", "itemtotal:4", "*"}, false},
                      ItemTotalCase{"ItemsAdded", {"flag:001020", "ITEMTOTAL:2", "*"}, false},
                      ItemTotalCase{"WithoutNumber", {"flag:001020", "*"}, false},
                      ItemTotalCase{"OtherKeysIgnored", {"flag:001020", "dispname:x", "itemtotal:3", "*"}, true},
                      ItemTotalCase{"WithoutTheRecord", {}, true}),
    [](const ::testing::TestParamInfo<ItemTotalCase>& info) { return std::string(info.param.name); });

TEST_F(ParserTest, ARoundTripKeepsAWrittenTree) {
  TTreeNodeExt* group = store.Tree().AddChild(Root(), J("グループ"), kKindGroup);
  AddChannel(store, group, "A", 3, 11);
  TTreeNodeExt* b = AddChannel(store, Root(), "B", 2, 12);
  b->Data()->authorize = "0A1B";
  b->Data()->authsite = "http://old.example/";  // credentials held for the site it left
  RecoveryCounter counter(1);
  const std::string first = SerializeChannelTree(store.Tree(), settings, 39450.5, counter);
  EXPECT_NE(first.find("authsite:http://old.example/\r\n"), std::string::npos);
  settings::Settings otherSettings;
  ChannelStore other(otherSettings);
  EXPECT_TRUE(ParseChannelData(first, other, nullptr).Accepted());
  EXPECT_EQ(SerializeChannelTree(other.Tree(), otherSettings, 39450.5, counter), first);
  EXPECT_EQ(other.Tree().RootNode()->ItemTotal(), 5);
  EXPECT_EQ(other.Tree().RootNode()->Child(1)->Data()->authsite, "http://old.example/");
}

}  // namespace
}  // namespace store::testing
