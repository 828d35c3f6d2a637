// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "formats/feeds/KeywordFilter.h"
#include "text/Literal.h"

namespace formats {
namespace {

using text::J;

struct KeywordCase {
  const char* name;
  const char* keyword;  // UTF-8
  const char* title;    // UTF-8
  bool passes;
};

class ChannelKeyword : public ::testing::TestWithParam<KeywordCase> {};

TEST_P(ChannelKeyword, Filters) {
  settings::Settings settings = settings::DefaultSettings(0);
  store::TSiteRecord item;
  item.title = J(GetParam().title);
  EXPECT_EQ(KeywordFilter(J(GetParam().keyword)).Passes(item, settings), GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(
    Keyword, ChannelKeyword,
    ::testing::Values(KeywordCase{"PositiveMatchesIgnoringCase", "apple !pie", "Apple tart", true},
                      KeywordCase{"NegativeFails", "apple !pie", "apple pie", false},
                      KeywordCase{"NothingFoundFails", "apple !pie", "banana", false},
                      KeywordCase{"OnlyNegationsKeepOthers", "!pie", "banana", true},
                      KeywordCase{"OnlyNegationsDropMatches", "!pie ! !cake", "cheese cake", false},
                      KeywordCase{"AlternativesAreOr", "red blue", "deep blue sea", true},
                      KeywordCase{"QuotedPhrase", "\"red apple\"", "RED APPLE", true},
                      KeywordCase{"QuotedPhraseFullWidth", "\"red apple\"", "ＲＥＤ　ａｐｐｌｅ", true},
                      KeywordCase{"QuotedPhraseNeedsTheWholePhrase", "\"red apple\"", "red green apple", false},
                      KeywordCase{"WildcardInOrder", "red*apple", "red green apple", true},
                      KeywordCase{"WildcardOutOfOrder", "red*apple", "apple red", false},
                      KeywordCase{"HiraganaMatchesKatakana", "りんご", "リンゴの季節", true},
                      KeywordCase{"FullWidthSpaceSeparates", "梨　りんご", "りんご", true},
                      KeywordCase{"OnlyStarsIsPlainText", "**", "a**b", true},
                      KeywordCase{"EmptyKeywordPassesAll", "   ", "anything", true},
                      KeywordCase{"UnclosedQuoteKeepsSpaces", "\"red app", "red apple", true}),
    [](const ::testing::TestParamInfo<KeywordCase>& info) { return std::string(info.param.name); });

TEST(KeywordGroup, ParsesTermsAsWritten) {
  const std::optional<KeywordGroup> group = ParseKeywordGroup(J("  \"a b\"  !x*y  c  "));
  ASSERT_TRUE(group);
  ASSERT_EQ(group->Terms.size(), 3u);
  EXPECT_EQ(group->Terms[0].Text, "A B");
  EXPECT_FALSE(group->Terms[0].Negated);
  EXPECT_EQ(group->Terms[1].Text, "X*Y");
  EXPECT_TRUE(group->Terms[1].Negated);
  EXPECT_EQ(group->Terms[1].Parts, (std::vector<std::string>{"X", "Y"}));
  EXPECT_EQ(group->Terms[2].Text, "C");
  EXPECT_TRUE(group->HasNegation);
  EXPECT_FALSE(group->OnlyNegations);
  EXPECT_FALSE(ParseKeywordGroup(" ! "));
  EXPECT_FALSE(ParseKeywordGroup(""));
}

TEST(KeywordGroup, SavedSearchRuleNeverMatchesOnlyNegations) {
  const std::optional<KeywordGroup> group = ParseKeywordGroup("!pie");
  ASSERT_TRUE(group);
  EXPECT_FALSE(MatchKeywordGroup(*group, "BANANA"));
  EXPECT_TRUE(MatchChannelKeyword(*group, "BANANA"));
}

TEST(KeywordGroup, NeverMatchesInsideADoubleByteCharacter) {
  // The trail byte of ア (0x83 0x41) is the letter A.
  const std::optional<KeywordGroup> group = ParseKeywordGroup("A");
  ASSERT_TRUE(group);
  EXPECT_FALSE(MatchKeywordGroup(*group, "\x83\x41"));
  EXPECT_TRUE(MatchKeywordGroup(*group,
                                "\x83\x41"
                                "A"));
}

TEST(SearchText, TakesTheChosenFieldsAndTheRichestDescription) {
  settings::Settings settings = settings::DefaultSettings(0);
  settings.SearchDesc = true;
  store::TSiteRecord item;
  item.title = "Title";
  item.category = "cat";
  item.desc = "plain";
  item.de_cd = "<p>rich &amp; <b>bold</b></p>";
  item.en_cd = "  ";
  EXPECT_EQ(BuildSearchText(item, settings), "TITLE   CAT   RICH & BOLD");
  settings.SearchTitle = false;
  settings.SearchDesc = false;
  EXPECT_EQ(BuildSearchText(item, settings), "CAT");
}

}  // namespace
}  // namespace formats
