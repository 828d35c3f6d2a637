// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "formats/feeds/private/BloglinesRepair.h"

namespace formats {
namespace {

TEST(BloglinesRepair, ItemListEntitiesAndCData) {
  EXPECT_EQ(RepairBloglinesItems("<title>a &amp;amp; b &lt;i&gt;</title>\r\n<x><![CDATA[c]]></x>\n"),
            "<title><![CDATA[a &amp; b <i>]]></title>\r\n<x>c</x>\r\n");
  EXPECT_EQ(RepairBloglinesItems("<description>one</description><description>two"),
            "<description><![CDATA[one]]></description><description><![CDATA[two\r\n");
}

TEST(BloglinesRepair, ItemTextCutInsideACharacter) {
  // "あい" in UTF-8 with the last byte missing.
  EXPECT_EQ(RepairBloglinesItems("<title>\xE3\x81\x82\xE3\x81</title>"),
            "<title><![CDATA[\xE3\x81\x82\xE2\x80\xA6]]></title>\r\n");
}

TEST(BloglinesRepair, SubscriptionTitles) {
  const std::string cut = "<outline title=\"\xE3\x81\x82\xE3\x81\x84\xE3\x81\" htmlUrl=\"h\"/>";
  // The broken character goes with the last two bytes, one more character for the ellipsis.
  EXPECT_EQ(RepairBloglinesList(cut), "<outline title=\"\xE3\x81\x82\xE2\x80\xA6\" htmlUrl=\"h\"/>\r\n");
  EXPECT_EQ(RepairBloglinesList("<outline title=\"\" BloglinesSubId=\"1\"/>"),
            "<outline title=\"\xE5\x90\x8D\xE7\xA7\xB0\xE4\xB8\x8D\xE2\x80\xA6\" BloglinesSubId=\"1\"/>\r\n");
  const std::string fine = "<outline title=\"short\" htmlUrl=\"h\"/>";
  EXPECT_EQ(RepairBloglinesList(fine), fine + "\r\n");
  const std::string longTitle(60, 'x');
  EXPECT_EQ(RepairBloglinesList("<o title=\"" + longTitle + "\" htmlUrl=\"h\"/>"),
            "<o title=\"" + std::string(58, 'x') + "\xE2\x80\xA6\" htmlUrl=\"h\"/>\r\n");
}

TEST(BloglinesRepair, OnlyForTheServiceAddresses) {
  std::string document = "<title>a &amp;amp; b</title>";
  EXPECT_FALSE(RepairBloglinesDocument(document, "http://example.com/getitems?s=1", true));
  EXPECT_FALSE(RepairBloglinesDocument(document, "http://rpc.bloglines.com/getitems?s=1", false));
  EXPECT_TRUE(RepairBloglinesDocument(document, "http://rpc.bloglines.com/getitems?s=1", true));
  EXPECT_EQ(document, "<title><![CDATA[a &amp; b]]></title>\r\n");
}

}  // namespace
}  // namespace formats
