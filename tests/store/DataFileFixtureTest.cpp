// SPDX-License-Identifier: MIT
// A data file written by hand to the byte rules loads with every field, and saving the
// loaded tree gives the same bytes back.
#include <gtest/gtest.h>

#include "DataFileSupport.h"

namespace store::testing {
namespace {

using text::J;

class FixtureFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fixture = testsupport::ReadFile(FixturePath("fixture.plover.dat"));
    ASSERT_FALSE(fixture.empty());
    testsupport::WriteFile(dir / "plover.dat", fixture);
    ASSERT_TRUE(run.Load());
  }

  testsupport::TempDir dir;
  ProgramRun run{dir.Path()};
  std::string fixture;
};

TEST_F(FixtureFileTest, LoadsTheTreeWithCaptionsKindsAndExpansion) {
  TTreeNodeExt* root = run.Root();
  ASSERT_EQ(root->ChildCount(), 3u);
  TTreeNodeExt* news = root->Child(0);
  EXPECT_EQ(news->Caption(), J("ニュース"));
  EXPECT_EQ(news->Kind(), kKindGroup);
  EXPECT_TRUE(news->Expanded());
  ASSERT_EQ(news->ChildCount(), 2u);
  EXPECT_EQ(news->Child(0)->Caption(), J("技術ブログ"));
  EXPECT_EQ(news->Child(0)->Kind(), kKindChannel);
  TTreeNodeExt* nested = news->Child(1);
  EXPECT_EQ(nested->Caption(), J("入れ子のフォルダ"));
  EXPECT_FALSE(nested->Expanded());
  ASSERT_EQ(nested->ChildCount(), 1u);
  EXPECT_EQ(nested->Child(0)->Caption(), J("停止中のフィード"));
  EXPECT_EQ(nested->Child(0)->Kind(), kKindStopped);
  EXPECT_EQ(root->Child(1)->Caption(), J("ニュース AND 技術"));
  EXPECT_EQ(root->Child(1)->Kind(), kKindSearch);
  EXPECT_EQ(run.store.Tree().SearchItemCount(), 1);
  EXPECT_EQ(root->Child(2)->Caption(), "Plain feed");
  EXPECT_EQ(root->Child(2)->Data()->recovery, 7);

  // Totals: three items below the blog (one unread), one unread below the stopped feed.
  EXPECT_EQ(root->ItemTotal(), 4);
  EXPECT_EQ(root->UnreadTotal(), 2);
  EXPECT_EQ(news->ItemTotal(), 4);
  EXPECT_EQ(nested->UnreadTotal(), 1);
  EXPECT_TRUE(news->Bold());
  EXPECT_FALSE(run.store.DataModified());
  EXPECT_FALSE(run.guard.XmlParserMissing());
}

TEST_F(FixtureFileTest, LoadsEveryChannelField) {
  const TSiteList& blog = *run.Root()->Child(0)->Child(0)->Data();
  const TSiteRecord& site = blog.Site;
  EXPECT_EQ(site.rdfurl, "http://example.jp/rss.xml");
  EXPECT_EQ(site.imgurl, "http://example.jp/logo.png");
  EXPECT_EQ(site.imgtitle, J("ロゴ画像"));
  EXPECT_EQ(site.imglink, "http://example.jp/");
  EXPECT_EQ(site.title, J("技術ブログ - Example"));
  EXPECT_EQ(site.link, "http://example.jp/");
  EXPECT_EQ(site.desc, J("日々の記録") + "\r" + J("二行目"));
  EXPECT_EQ(site.de_cd, J("<p>日々の記録</p>"));
  EXPECT_EQ(site.encoded, J("全文です"));
  EXPECT_EQ(site.en_cd, J("<div>全文です</div>"));
  EXPECT_EQ(site.creator, J("山田太郎"));
  EXPECT_EQ(site.category, J("技術"));
  EXPECT_EQ(site.modified, 39449.5);
  EXPECT_EQ(site.pubdate, "Wed, 02 Jan 2008 12:00:00 +0900");
  EXPECT_EQ(blog.server, "Wed, 02 Jan 2008 03:00:00 GMT");
  EXPECT_EQ(blog.client, 39450.25);
  EXPECT_EQ(blog.authorize, "0A1B2C3D");
  EXPECT_EQ(blog.refresh, 60);
  EXPECT_EQ(blog.noread, 1);
  EXPECT_EQ(blog.datecomp, 1);
  EXPECT_EQ(blog.gonecount, 2);
  EXPECT_EQ(blog.gonedate, 39448.75);
  EXPECT_EQ(blog.itemmax, 50);
  EXPECT_EQ(blog.datemax, 30);
  EXPECT_EQ(blog.keyword, J("Linux カーネル"));
  EXPECT_EQ(blog.htmlrss, 1);
  EXPECT_EQ(blog.regexpr, "<a href=\"(.*?)\">(.*?)</a>");
  EXPECT_EQ(blog.encflag, 1);
  EXPECT_EQ(blog.entojp, 1);
  EXPECT_EQ(blog.linkop, 1);
  EXPECT_EQ(blog.clone, "http://example.jp/clone.xml");
  EXPECT_EQ(static_cast<uint32_t>(blog.recovery), 4294967295u);  // written unsigned
}

TEST_F(FixtureFileTest, LoadsEveryItemFieldInFileOrder) {
  const TSiteList& blog = *run.Root()->Child(0)->Child(0)->Data();
  ASSERT_EQ(blog.Count(), 3u);
  const TSiteRecord& first = *blog.ItemAt(0);
  EXPECT_EQ(first.read, kStateRead);
  EXPECT_EQ(first.title, J("最初の記事"));
  EXPECT_EQ(first.link, "http://example.jp/1");
  EXPECT_EQ(first.desc, J("一行目") + "\r" + J("二行目") + "\r" + J("三行目"));
  EXPECT_EQ(first.de_cd, J("<b>一行目</b>"));
  EXPECT_EQ(first.encoded, J("本文"));
  EXPECT_EQ(first.en_cd, J("<p>本文</p>"));
  EXPECT_EQ(first.creator, J("佐藤"));
  EXPECT_EQ(first.category, J("お知らせ"));
  EXPECT_EQ(first.commurl, "http://example.jp/1#comments");
  EXPECT_EQ(first.commnum, 12);
  EXPECT_EQ(first.enclose, "http://example.jp/1.mp3");
  EXPECT_EQ(first.xmlbase, "http://example.jp/base/");
  EXPECT_EQ(first.modified, 39449.5);
  EXPECT_EQ(first.pubdate, "2008-01-02T12:00:00+09:00");
  EXPECT_EQ(first.mht, "0001.mht");
  EXPECT_EQ(first.Owner, &blog);
  EXPECT_EQ(blog.ItemAt(1)->read, kStateUnread);
  EXPECT_DOUBLE_EQ(blog.ItemAt(1)->modified, 39450.0416666667);
  EXPECT_EQ(blog.ItemAt(2)->read, kStateProtected);
  EXPECT_EQ(blog.ItemAt(2)->title, J("保護した記事"));
}

TEST_F(FixtureFileTest, SavingTheLoadedTreeGivesTheSameBytes) {
  run.store.SetModified();
  ASSERT_EQ(run.Save(), SaveResult::kSaved);
  EXPECT_EQ(testsupport::ReadFile(dir / "plover.dat"), fixture);
  EXPECT_FALSE(testsupport::FileExists(dir / "plover.tmp"));
  EXPECT_FALSE(run.store.DataModified());
  EXPECT_TRUE(run.dialogs.shown.empty());
}

}  // namespace
}  // namespace store::testing
