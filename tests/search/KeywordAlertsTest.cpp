// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "SearchFixture.h"
#include "search/KeywordAlerts.h"
#include "search/QuerySet.h"
#include "store/TTreeNodeExt.h"

namespace search::testing {
namespace {

using KeywordAlertsTest = SearchFixture;

TEST_F(KeywordAlertsTest, ScopeIsFoundAmongTheAncestorsOnly) {
  store::TTreeNodeExt* inner = store.Tree().AddChild(group, "Inner", store::kKindGroup);
  store::TTreeNodeExt* deep = Channel(inner, "Deep");
  EXPECT_TRUE(ScopeContains(group, deep));
  EXPECT_TRUE(ScopeContains(group, chanA));
  EXPECT_FALSE(ScopeContains(group, chanC));
  EXPECT_FALSE(ScopeContains(group, group));  // the walk starts at the parent
  EXPECT_FALSE(ScopeContains(inner, chanA));
  EXPECT_TRUE(ScopeContains(nullptr, chanC));
  EXPECT_TRUE(ScopeContains(inner, nullptr));
}

TEST_F(KeywordAlertsTest, CompilesEverySearchItemInTreeOrder) {
  QuerySet queries;
  EXPECT_EQ(queries.CompileAlertQueries(store.Tree()), -1);
  Search(group, "apple");
  Search(store.Tree().RootNode(), "  ");
  Search(store.Tree().RootNode(), "pie !cherry");
  ASSERT_EQ(queries.CompileAlertQueries(store.Tree()), 0);
  ASSERT_EQ(queries.Groups().size(), 2u);
  EXPECT_EQ(queries.Groups()[0].Scope, group);
  EXPECT_EQ(queries.Groups()[0].Keywords.Terms[0].Text, "APPLE");
  EXPECT_EQ(queries.Groups()[1].Scope, store.Tree().RootNode());
  EXPECT_TRUE(queries.Groups()[1].Keywords.HasNegation);
  // Compiling again starts from an empty set.
  ASSERT_EQ(queries.CompileAlertQueries(store.Tree()), 0);
  EXPECT_EQ(queries.Groups().size(), 2u);
}

// A new item of a channel, tested the way an update run tests it: scoped to its channel's
// node, or to nothing when SearchAll is on.
struct AlertCase {
  const char* name;
  bool searchAll;
  bool inGroupChannel;
  bool matches;
};

class AlertScope : public SearchFixture, public ::testing::WithParamInterface<AlertCase> {};

TEST_P(AlertScope, MatchesWhereTheSearchLooks) {
  settings.SearchAll = GetParam().searchAll;
  Search(group, "apple");
  KeywordAlerts alerts(store.Tree(), settings);
  ASSERT_EQ(alerts.CompileAlertQueries(), 0);
  store::TTreeNodeExt* channel = GetParam().inGroupChannel ? chanB : chanC;
  const store::TSiteRecord* item = Add(channel, "Apple news");
  const store::TTreeNodeExt* node = settings.SearchAll ? nullptr : channel;
  EXPECT_EQ(alerts.MatchQuerySet(*item, node), GetParam().matches);
  EXPECT_FALSE(alerts.MatchQuerySet(*Add(channel, "banana"), node));
}

INSTANTIATE_TEST_SUITE_P(Scopes, AlertScope,
                         ::testing::Values(AlertCase{"OwnGroup", false, true, true},
                                           AlertCase{"OtherGroup", false, false, false},
                                           AlertCase{"WholeTreeOwnGroup", true, true, true},
                                           AlertCase{"WholeTreeOtherGroup", true, false, true}),
                         [](const ::testing::TestParamInfo<AlertCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace search::testing
