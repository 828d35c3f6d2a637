// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "TreeFixture.h"
#include "store/TSortList.h"
#include "store/private/DuplicateKey.h"

namespace store::testing {
namespace {

int CompareTitles(const TSiteRecord& item, const TSiteRecord& key) {
  return item.title.compare(key.title);
}

// Items that outlive the lists referring to them.
class SortListTest : public ::testing::Test {
 protected:
  TSiteRecord* Make(const std::string& title) {
    TSiteRecord record;
    record.title = title;
    return &records_.emplace_back(record);
  }
  TSiteRecord Key(const std::string& title) {
    TSiteRecord record;
    record.title = title;
    return record;
  }
  std::vector<std::string> Titles(const TSortList& list) {
    std::vector<std::string> titles;
    for (size_t i = 0; i < list.Count(); ++i) titles.push_back(list.At(i)->title);
    return titles;
  }

 private:
  std::deque<TSiteRecord> records_;
};

TEST_F(SortListTest, FindsTheFirstOfEqualEntriesAndInsertionPositions) {
  TSortList list(CompareTitles);
  for (const char* title : {"c", "b", "a", "b", "b"}) list.Add(Make(title));
  list.Sort();
  ASSERT_EQ(Titles(list), (std::vector<std::string>{"a", "b", "b", "b", "c"}));

  size_t index = 99;
  EXPECT_TRUE(list.Find(Key("b"), index, true));
  EXPECT_EQ(index, 1u);
  EXPECT_TRUE(list.Find(Key("b"), index, false));
  EXPECT_EQ(list.At(index)->title, "b");

  const std::pair<const char*, size_t> missing[] = {{"0", 0}, {"aa", 1}, {"bb", 4}, {"d", 5}};
  for (const auto& [title, position] : missing) {
    EXPECT_FALSE(list.Find(Key(title), index, true)) << title;
    EXPECT_EQ(index, position) << title;
  }

  TSortList empty(CompareTitles);
  EXPECT_FALSE(empty.Find(Key("a"), index, true));
  EXPECT_EQ(index, 0u);

  TSortList unordered;
  unordered.Add(Make("z"));
  unordered.Add(Make("a"));
  unordered.Sort();
  EXPECT_EQ(Titles(unordered), (std::vector<std::string>{"z", "a"}));  // no compare: left alone
  index = 7;
  EXPECT_FALSE(unordered.Find(Key("a"), index, true));
  EXPECT_EQ(index, 0u);
}

TEST_F(SortListTest, AddUniqueKeepsTheOrderAndRefusesEqualEntries) {
  TSortList list(CompareTitles);
  for (const char* title : {"m", "c", "x", "a"}) EXPECT_TRUE(list.AddUnique(Make(title)));
  EXPECT_EQ(Titles(list), (std::vector<std::string>{"a", "c", "m", "x"}));
  EXPECT_FALSE(list.AddUnique(Make("c")));
  EXPECT_EQ(list.Count(), 4u);

  TSiteRecord* gone = list.At(1);
  EXPECT_TRUE(list.Remove(gone));
  EXPECT_FALSE(list.Remove(gone));
  EXPECT_EQ(Titles(list), (std::vector<std::string>{"a", "m", "x"}));
}

TEST(DuplicateKeyTest, FollowsDupActionAndIgnoresCase) {
  auto item = [](const char* title, const char* link) {
    TSiteRecord record;
    record.title = title;
    record.link = link;
    return record;
  };
  struct Case {
    TSiteRecord a;
    TSiteRecord b;
    int dupAction;
    bool duplicate;
  };
  const Case cases[] = {
      {item("Title", "http://A/1"), item("TITLE", "http://a/1"), 1, true},
      {item("One", "http://a/1"), item("Two", "http://a/1"), 1, false},
      {item("One", "http://a/1"), item("Two", "http://a/1"), 2, true},
      {item("Same", "http://a/1"), item("Same", "http://a/2"), 2, false},
      {item("Same", "http://a/1"), item("Same", "http://a/2"), 1, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompareDuplicateKeys(c.a, c.b, c.dupAction) == 0, c.duplicate) << c.a.title << c.dupAction;
  }
  EXPECT_EQ(DuplicateKey(item("T", "L"), 1), "TL");
  EXPECT_EQ(DuplicateKey(item("T", "L"), 2), "L");
}

using DupListTest = TreeFixture;

TEST_F(DupListTest, FindsDuplicatesAcrossChannelsUntilDiscarded) {
  settings.DupAction = 2;
  TTreeNodeExt* second = Tree().AddChild(outer, "Second", kKindChannel, std::make_unique<TSiteList>());
  store.AddItemToChannel(*feed->Data(), Item("one"));
  store.AddItemToChannel(*feed->Data(), Item("two"));

  store.RebuildDupList();
  ASSERT_NE(store.DupList(), nullptr);
  EXPECT_EQ(store.DupList()->Count(), 2u);

  TSiteRecord again = Item("renamed");
  again.link = "HTTP://EXAMPLE.COM/ONE";
  EXPECT_TRUE(store.CheckDuplicate(store.AddItemToChannel(*second->Data(), again)));
  TSiteRecord* fresh = store.AddItemToChannel(*second->Data(), Item("three"));
  EXPECT_FALSE(store.CheckDuplicate(fresh));
  EXPECT_EQ(store.DupList()->Count(), 3u);  // the fresh item joined the list
  EXPECT_TRUE(store.CheckDuplicate(store.AddItemToChannel(*feed->Data(), Item("three"))));

  const TSortList* before = store.DupList();
  store.RebuildDupList();
  EXPECT_EQ(store.DupList(), before);  // an existing list is kept

  // The list never holds a destroyed item: deleting one item takes it out of the list,
  // deleting nodes or the whole tree discards the list.
  const TSiteRecord* deleted = feed->Data()->ItemAt(0);
  store.DeleteItemFromChannel(*feed->Data(), 0);
  ASSERT_NE(store.DupList(), nullptr);
  for (size_t i = 0; i < store.DupList()->Count(); ++i) EXPECT_NE(store.DupList()->At(i), deleted);
  store.DeleteNode(second);
  EXPECT_EQ(store.DupList(), nullptr);
  store.RebuildDupList();
  store.ClearUserTree();
  EXPECT_EQ(store.DupList(), nullptr);

  settings.DupAction = 0;
  store.RebuildDupList();
  EXPECT_EQ(store.DupList(), nullptr);
  EXPECT_FALSE(store.CheckDuplicate(fresh));
}

TEST_F(DupListTest, TitleAndLinkKeyWithDupActionOne) {
  settings.DupAction = 1;
  TSiteRecord stored = Item("Headline");
  store.AddItemToChannel(*feed->Data(), stored);
  store.RebuildDupList();

  TSiteRecord sameLinkOtherTitle = stored;
  sameLinkOtherTitle.title = "Other";
  EXPECT_FALSE(store.CheckDuplicate(store.AddItemToChannel(*feed->Data(), sameLinkOtherTitle)));
  TSiteRecord caseOnly = stored;
  caseOnly.title = "HEADLINE";
  EXPECT_TRUE(store.CheckDuplicate(store.AddItemToChannel(*feed->Data(), caseOnly)));
}

}  // namespace
}  // namespace store::testing
