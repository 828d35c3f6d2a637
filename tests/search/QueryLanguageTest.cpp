// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "formats/feeds/KeywordFilter.h"
#include "search/QuerySet.h"
#include "text/Literal.h"

namespace search {
namespace {

using text::J;

// One query against one item title: whether a saved search (or the keyword box) lists the
// item, and whether a channel keyword of the same text keeps it.
struct QueryCase {
  const char* name;
  const char* query;  // UTF-8
  const char* title;  // UTF-8
  bool listed;
  bool kept;
};

class QueryLanguage : public ::testing::TestWithParam<QueryCase> {};

TEST_P(QueryLanguage, ListsAndKeeps) {
  settings::Settings settings = settings::DefaultSettings(0);
  store::TSiteRecord item;
  item.title = J(GetParam().title);
  item.desc = J("description words");
  const std::string searchText = formats::BuildSearchText(item, settings);
  QuerySet queries;
  queries.ParseQuery(J(GetParam().query));
  // A query without terms adds no group, and the list then shows everything.
  const bool listed = queries.Empty() || queries.MatchQuerySet(searchText, nullptr);
  EXPECT_EQ(listed, GetParam().listed);
  EXPECT_EQ(formats::KeywordFilter(J(GetParam().query)).PassesText(searchText), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(
    Queries, QueryLanguage,
    ::testing::Values(QueryCase{"KanaAndLongMarkFold", "ニュース", "にゅーす速報", true, true},
                      QueryCase{"HalfWidthKatakanaFolds", "ニュース", "ﾆｭｰｽ", true, true},
                      QueryCase{"CaseFolds", "rss", "RSS 2.0", true, true},
                      QueryCase{"FullWidthLettersFold", "ＲＳＳ", "rss", true, true},
                      QueryCase{"SpacesAreAlternatives", "apple orange", "only orange here", true, true},
                      QueryCase{"FullWidthSpaceSeparates", "apple　orange", "orange", true, true},
                      QueryCase{"NoAlternativeFound", "apple orange", "banana", false, false},
                      QueryCase{"StarNeedsPiecesInOrder", "apple*pie", "apple and cherry pie", true, true},
                      QueryCase{"StarOutOfOrderFails", "apple*pie", "pie with apple", false, false},
                      QueryCase{"StarPiecesMayOverlap", "abc*cde", "abcde", true, true},
                      QueryCase{"NegationExcludes", "apple !iphone", "apple iphone case", false, false},
                      QueryCase{"NegationLetsOthersThrough", "apple !iphone", "apple pie", true, true},
                      QueryCase{"QuotedPhraseWithOneSpace", "\"red apple\"", "a red apple tree", true, true},
                      QueryCase{"QuotedPhraseNotSplit", "\"red apple\"", "red green apple", false, false},
                      QueryCase{"UnclosedQuoteRunsToEnd", "\"red app", "red apple", true, true},
                      QueryCase{"OnlyNegationsNeverListed", "!iphone", "apple pie", false, true},
                      QueryCase{"OnlyNegationsDropMatches", "!iphone", "iphone case", false, false},
                      QueryCase{"BangAloneListsEverything", "!", "anything", true, true},
                      QueryCase{"SpacesAloneListEverything", "　 ", "anything", true, true},
                      QueryCase{"OnlyStarsArePlainText", "**", "a**b", true, true},
                      QueryCase{"DoubleByteNotSplit", "@", "院", false, false},
                      QueryCase{"DescriptionNotSearchedByDefault", "description", "title", false, false}),
    [](const ::testing::TestParamInfo<QueryCase>& info) { return std::string(info.param.name); });

TEST(SearchText, TakesTheRichestDescriptionWithTagsStripped) {
  settings::Settings settings = settings::DefaultSettings(0);
  settings.SearchDesc = true;
  settings.SearchCreate = false;
  settings.SearchCagory = false;
  store::TSiteRecord item;
  item.title = "Title";
  item.creator = "someone";
  item.desc = "plain";
  item.de_cd = "<p>marked</p>";
  item.en_cd = "   ";
  item.encoded = "<b>full</b> &amp; text";
  EXPECT_EQ(formats::BuildSearchText(item, settings), "TITLE   FULL & TEXT");
  settings.SearchTitle = false;
  item.encoded.clear();
  EXPECT_EQ(formats::BuildSearchText(item, settings), "MARKED");
}

}  // namespace
}  // namespace search
