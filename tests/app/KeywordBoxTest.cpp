// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "app/KeywordBox.h"
#include "present/HeadlineColumns.h"
#include "present/HeadlineFixture.h"
#include "text/Literal.h"

namespace app {
namespace {

using text::J;

class KeywordBoxTest : public present::testing::HeadlineFixture {
 protected:
  KeywordBoxTest() {
    settings.MidokuOnly = present::kReadFilterUnread;
    Add(chanA, "Apple pie");
    Add(chanA, "Banana", store::kStateRead);
    Add(chanB, "apple tart", store::kStateRead);
    list.SelectNode(group);
    box.SetChanged([this] { ++changes; });
  }

  KeywordBox box{settings, list};
  int changes = 0;
};

TEST_F(KeywordBoxTest, EnterAppliesTheFilterAndKeepsOneHistoryEntryPerSpelling) {
  ASSERT_EQ(list.RowCount(), 1u);  // the read-state filter hides the read items
  box.TextEdited("apple");
  box.EnterPressed(true, false);
  box.EnterPressed(false, true);
  EXPECT_FALSE(box.FilterOn());
  EXPECT_TRUE(box.History().empty());
  box.EnterPressed(false, false);
  EXPECT_TRUE(box.FilterOn());
  // A keyword shows every match whatever its read state.
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Apple pie", "apple tart"}));
  box.TextEdited("pie");
  box.EnterPressed(false, false);
  box.TextEdited("APPLE");
  box.EnterPressed(false, false);
  EXPECT_EQ(box.History(), (std::vector<std::string>{"APPLE", "pie"}));
  EXPECT_GT(changes, 0);
}

TEST_F(KeywordBoxTest, DoubleByteCharactersAreNotFoldedAsLetters) {
  // Two characters whose trail bytes are "A" and "a".
  EXPECT_FALSE(SameKeyword("\x89\x41", "\x89\x61"));
  EXPECT_TRUE(SameKeyword(J("ニュースRss"), J("ニュースrSS")));
  box.TextEdited("\x89\x41");
  box.Apply();
  box.TextEdited("\x89\x61");
  box.Apply();
  EXPECT_EQ(box.History().size(), 2u);
}

TEST_F(KeywordBoxTest, HistoryHoldsTheNewestTwenty) {
  for (int i = 0; i < 25; ++i) {
    box.TextEdited("word" + std::to_string(i));
    box.Apply();
  }
  ASSERT_EQ(box.History().size(), 20u);
  EXPECT_EQ(box.History().front(), "word24");
  EXPECT_EQ(box.History().back(), "word5");
  // An empty box changes no history.
  box.TextEdited("");
  box.Apply();
  EXPECT_EQ(box.History().size(), 20u);
}

TEST_F(KeywordBoxTest, PickingAnEntryAndTogglingRedisplay) {
  settings.Keyword[0] = "tart";
  settings.Keyword[1] = "pie";
  settings.Keyword[2] = "stale";
  settings.KeywordMax = 2;
  box.LoadHistory();
  ASSERT_EQ(box.History(), (std::vector<std::string>{"tart", "pie"}));
  box.HistoryPicked(1);
  EXPECT_EQ(box.Text(), "pie");
  EXPECT_TRUE(box.FilterOn());
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Apple pie"}));
  EXPECT_EQ(box.History().front(), "pie");
  box.Toggle();
  EXPECT_FALSE(box.FilterOn());
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Apple pie"}));  // unread only again
  box.TextEdited("tart");
  box.Toggle();
  EXPECT_EQ(Titles(), (std::vector<std::string>{"apple tart"}));
}

TEST_F(KeywordBoxTest, ResetEmptiesEveryHistoryOnYesOnly) {
  box.TextEdited("pie");
  box.Apply();
  settings.Keyword[0] = "pie";
  settings.KeywordMax = 1;
  int addressCleared = 0;
  int webCleared = 0;
  auto clearAddress = [&] { ++addressCleared; };
  auto clearWeb = [&] { ++webCleared; };
  dialogs.Answer(false);
  EXPECT_FALSE(box.ResetHistories(dialogs, clearAddress, clearWeb));
  EXPECT_EQ(box.History().size(), 1u);
  EXPECT_EQ(settings.AddressMax, 3);
  dialogs.Answer(true);
  EXPECT_TRUE(box.ResetHistories(dialogs, clearAddress, clearWeb));
  EXPECT_TRUE(box.History().empty());
  EXPECT_EQ(settings.KeywordMax, 0);
  EXPECT_EQ(settings.AddressMax, 0);
  EXPECT_TRUE(settings.Address[0].empty());
  EXPECT_EQ(addressCleared, 1);
  EXPECT_EQ(webCleared, 1);
  ASSERT_EQ(dialogs.shown.size(), 2u);
  EXPECT_EQ(dialogs.shown[1].kind, "yescancel");
  EXPECT_EQ(dialogs.shown[1].text, "アドレス/検索バーの履歴をリセットしますか？");
  EXPECT_EQ(dialogs.shown[1].type, platform::MessageType::kConfirmation);
}

}  // namespace
}  // namespace app
