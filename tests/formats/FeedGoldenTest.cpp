// SPDX-License-Identifier: MIT
// Whole documents of every format and version, in the encodings Japanese sites use, read
// into an empty channel and written out field by field. The golden files beside the
// fixtures are the reviewed result; PLOVER_UPDATE_GOLDEN=1 rewrites them.
#include <gtest/gtest.h>

#include "formats/FeedTestSupport.h"

namespace formats::testing {
namespace {

struct GoldenCase {
  const char* name;
  const char* fixture;
  uint8_t result;
};

class FeedGolden : public FeedFixture, public ::testing::TestWithParam<GoldenCase> {};

TEST_P(FeedGolden, ReadsWholeDocument) {
  const GoldenCase& golden = GetParam();
  store::TTreeNodeExt* node = AddChannel("http://feeds.example.jp/path/feed");
  EXPECT_EQ(Update(node, ReadTestData(std::string("feeds/") + golden.fixture)), golden.result) << xml.ParseError.Reason;
  ExpectMatchesGolden(DescribeChannel(ChannelOf(node)), std::string("feeds/") + golden.fixture + ".golden");
  // Every item arrived unread, and the tree counts them.
  EXPECT_EQ(node->ItemTotal(), static_cast<int32_t>(ChannelOf(node).Count()));
  EXPECT_EQ(node->UnreadTotal(), node->ItemTotal());
}

INSTANTIATE_TEST_SUITE_P(Formats, FeedGolden,
                         ::testing::Values(GoldenCase{"Rss091Latin1", "rss091.xml", kFeedNewItems},
                                           GoldenCase{"Rss092Utf8Declared", "rss092.xml", kFeedNewItems},
                                           GoldenCase{"Rss10EucJp", "rss10-euc-jp.rdf", kFeedNewItems},
                                           GoldenCase{"Rss20ShiftJis", "rss20-shift_jis.xml", kFeedNewItems},
                                           GoldenCase{"Rss20Utf8Undeclared", "rss20-plain-utf8.xml", kFeedNewItems},
                                           GoldenCase{"Atom03", "atom03.xml", kFeedNewItems},
                                           GoldenCase{"Atom10Utf8Bom", "atom10-bom.xml", kFeedNewItems}),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace formats::testing
