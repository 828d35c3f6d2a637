// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "formats/FeedTestSupport.h"
#include "settings/Credentials.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace formats::testing {
namespace {

using text::J;

const std::string kFeed =
    "<rss version=\"2.0\"><channel><title>Feed</title><link>http://site/</link>"
    "<item><title>a</title><link>http://site/a</link></item>"
    "<item><title>b</title><link>http://site/b</link></item></channel></rss>";

// A network that answers from a script and remembers what it was asked.
class ScriptedNetwork : public DocumentSource {
 public:
  FetchResult FetchDocument(const FetchRequest& request) override {
    requests.push_back(request);
    return answer;
  }
  FetchResult answer = FetchResult::Failed();
  std::vector<FetchRequest> requests;
};

class Processing : public FeedFixture, public ::testing::Test {
 protected:
  // A processor that also has the scripted network.
  FeedProcessor WithNetwork() {
    FeedServices services = Services();
    services.Network = &network;
    return FeedProcessor(services);
  }

  // Writes a document into the temporary folder and gives its path.
  std::string LocalFile(const std::string& name, const std::string& bytes) {
    testsupport::WriteFile(dir / name, bytes);
    return dir / name;
  }

  size_t RootChildren() const { return store.Tree().RootNode()->ChildCount(); }

  testsupport::TempDir dir;
  ScriptedNetwork network;
};

TEST_F(Processing, ResultCodesOfAnUpdate) {
  store::TTreeNodeExt* node = AddChannel();
  EXPECT_EQ(Update(node, kFeed), kFeedNewItems);
  EXPECT_EQ(lastOutNode, node);
  EXPECT_EQ(ChannelOf(node).Count(), 2u);
  EXPECT_EQ(Update(node, kFeed), kFeedUnchanged);
  EXPECT_EQ(ChannelOf(node).Count(), 2u);
  ChannelOf(node).noread = 1;
  // The new item comes first: past half of the known items the rest is not read.
  std::string more = kFeed;
  more.insert(more.find("<item>"), "<item><title>c</title></item>");
  EXPECT_EQ(Update(node, more), kFeedChanged);
  EXPECT_EQ(ChannelOf(node).Count(), 3u);
  EXPECT_EQ(node->UnreadTotal(), 2);
  EXPECT_EQ(ChannelOf(node).Site.title, "Feed");
}

TEST_F(Processing, NoNodeDoesNothingAndAGroupIsNoChannel) {
  store::TTreeNodeExt* out = nullptr;
  EXPECT_EQ(processor.ProcessFeedDocument(nullptr, out, kFeed, "", kFeedUpdate, false, {}), kFeedNothingDone);
  store::TTreeNodeExt* group = store.Tree().AddChild(store.Tree().RootNode(), "g", store::kKindGroup);
  EXPECT_EQ(Update(group, kFeed), kFeedInternalError);
  EXPECT_EQ(group->ChildCount(), 0u);
}

struct UnreadableCase {
  const char* name;
  const char* document;
  uint8_t result;
};

class UnreadableDocument : public Processing, public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(UnreadableDocument, LeavesTheChannelAsItWasAndAsksInFullNextTime) {
  store::TTreeNodeExt* node = AddChannel();
  ASSERT_EQ(Update(node, kFeed), kFeedNewItems);
  store::TSiteList& channel = ChannelOf(node);
  channel.server = "Sat, 01 Jun 2024 00:00:00 GMT";
  const store::TSiteRecord header = channel.Site;
  EXPECT_EQ(Update(node, GetParam().document), GetParam().result);
  EXPECT_EQ(lastOutNode, nullptr);
  EXPECT_EQ(channel.Count(), 2u);
  EXPECT_EQ(channel.Site.title, header.title);
  EXPECT_EQ(channel.Site.link, header.link);
  EXPECT_EQ(channel.server, "");
}

INSTANTIATE_TEST_SUITE_P(
    Processing, UnreadableDocument,
    ::testing::Values(UnreadableCase{"BadXml", "<rss><channel></rss>", kFeedBadXml},
                      UnreadableCase{"Empty", "", kFeedBadXml},
                      UnreadableCase{"HtmlRoot", "<html><body><rss/></body></html>", kFeedNotAFeed},
                      UnreadableCase{"NegativeVersion", "<rss version=\"-2\"><channel><title>x</title></channel></rss>",
                                     kFeedNotAFeed},
                      UnreadableCase{"EmptyOpml", "<opml version=\"1.1\"><head/><body/></opml>", kFeedNotAFeed}),
    [](const ::testing::TestParamInfo<UnreadableCase>& info) { return std::string(info.param.name); });

TEST_F(Processing, BadXmlReportsTheFirstLoadError) {
  store::TTreeNodeExt* node = AddChannel();
  EXPECT_EQ(Update(node, std::string("<rss><channel>\x01</rss>")), kFeedBadXml);
  EXPECT_NE(xml.ParseError.ErrorCode, 0);
  EXPECT_EQ(xml.ParseError.Line, 1);
}

TEST_F(Processing, NulByteIsRepairedBeforeReading) {
  store::TTreeNodeExt* node = AddChannel();
  std::string document = kFeed;
  document.insert(document.find("<title>a") + 8, std::string(1, '\0'));
  EXPECT_EQ(Update(node, document), kFeedNewItems);
  ASSERT_EQ(ChannelOf(node).Count(), 2u);
  EXPECT_EQ(ChannelOf(node).ItemAt(1)->title, "a");
}

TEST_F(Processing, FeedWithoutLinkPointsAtTheFolderOfItsAddress) {
  store::TTreeNodeExt* node = AddChannel("http://host/dir/feed.rdf");
  EXPECT_EQ(Update(node, "<rss><channel><title>t</title></channel></rss>"), kFeedUnchanged);
  EXPECT_EQ(ChannelOf(node).Site.link, "http://host/dir/");
  EXPECT_EQ(ChannelOf(node).Site.rdfurl, "http://host/dir/feed.rdf");
}

TEST_F(Processing, RegisterFirstChildFromALocalFile) {
  const std::string path = LocalFile("feed.xml", kFeed);
  store::TTreeNodeExt* group = store.Tree().AddChild(store.Tree().RootNode(), "g", store::kKindGroup);
  store.Tree().AddChild(group, "existing", store::kKindGroup);
  store.ClearModified();
  EXPECT_EQ(Register(group, path, kFeedRegisterFirst), kFeedNewItems);
  store::TTreeNodeExt* created = group->FirstChild();
  EXPECT_EQ(lastOutNode, created);
  EXPECT_EQ(processor.CreatedNode(), created);
  EXPECT_EQ(created->Caption(), "Feed");
  EXPECT_EQ(created->Kind(), store::kKindChannel);
  EXPECT_EQ(ChannelOf(created).Site.rdfurl, path);
  EXPECT_EQ(group->ItemTotal(), 2);
  EXPECT_TRUE(store.DataModified());
}

TEST_F(Processing, RegisteredFeedWithoutTitleKeepsItsAddressAsCaption) {
  const std::string path = LocalFile("untitled.xml", "<rss version=\"2.0\"><channel></channel></rss>");
  EXPECT_EQ(Register(store.Tree().RootNode(), path, kFeedRegisterFirst), kFeedUnchanged);
  ASSERT_EQ(RootChildren(), 1u);
  EXPECT_EQ(store.Tree().RootNode()->FirstChild()->Caption(), path);
}

TEST_F(Processing, RegisterBeforeANodeWithTheDefaults) {
  const std::string path = LocalFile("feed.xml", kFeed);
  store::TTreeNodeExt* sibling = AddChannel("http://other/");
  TDefParamType defaults;
  defaults.Present = 1;
  defaults.itemmax = 1;
  defaults.keyword = "zzz !nothing";
  defaults.datecomp = 1;
  defaults.clone = "http://clone/";
  defaults.OverrideTitle = 1;
  defaults.title = J("私の題");
  defaults.link = "http://mine/";
  EXPECT_EQ(Register(sibling, "file://" + path, kFeedRegisterBefore, defaults), kFeedUnchanged);
  store::TTreeNodeExt* created = sibling->PrevSibling();
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->Caption(), J("私の題"));
  const store::TSiteList& channel = ChannelOf(created);
  EXPECT_EQ(channel.Site.title, J("私の題"));
  EXPECT_EQ(channel.Site.link, "http://mine/");
  EXPECT_EQ(channel.itemmax, 1);
  EXPECT_EQ(channel.datecomp, 1);
  EXPECT_EQ(channel.clone, "http://clone/");
  EXPECT_EQ(channel.Count(), 0u);  // the keyword let nothing through
}

struct FailedRegistrationCase {
  const char* name;
  const char* document;  // written to a local file; nullptr: no file
  uint8_t result;
};

class FailedRegistration : public Processing, public ::testing::WithParamInterface<FailedRegistrationCase> {};

TEST_P(FailedRegistration, LeavesNoNodeBehind) {
  const std::string path = GetParam().document ? LocalFile("feed.xml", GetParam().document) : dir / "missing.xml";
  store.ClearModified();
  EXPECT_EQ(Register(store.Tree().RootNode(), path, kFeedRegisterFirst), GetParam().result);
  EXPECT_EQ(RootChildren(), 0u);
  EXPECT_EQ(lastOutNode, nullptr);
  EXPECT_EQ(processor.CreatedNode(), nullptr);
  EXPECT_EQ(store.Tree().RootNode()->ItemTotal(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Processing, FailedRegistration,
    ::testing::Values(FailedRegistrationCase{"MissingLocalFile", nullptr, kFeedFetchFailed},
                      FailedRegistrationCase{"BadXml", "<rss>", kFeedBadXml},
                      FailedRegistrationCase{"HtmlRoot", "<html><head><title>x</title></head></html>", kFeedNotAFeed},
                      FailedRegistrationCase{"NegativeVersion",
                                             "<rss version=\"-1\"><channel><title>x</title></channel></rss>",
                                             kFeedNotAFeed},
                      FailedRegistrationCase{"OpmlWithoutEntries", "<opml><head><title>t</title></head><body/></opml>",
                                             kFeedNotAFeed}),
    [](const ::testing::TestParamInfo<FailedRegistrationCase>& info) { return std::string(info.param.name); });

TEST_F(Processing, RegisterBeforeTheRootIsAnInternalError) {
  const std::string path = LocalFile("feed.xml", kFeed);
  EXPECT_EQ(Register(store.Tree().RootNode(), path, kFeedRegisterBefore), kFeedInternalError);
  EXPECT_EQ(store.Tree().TopLevelCount(), 1u);
}

const char* const kOpml =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><opml version=\"1.1\"><head><title>購読リスト</title></head><body>"
    "<outline text=\"One\" xmlUrl=\"http://one/feed\" htmlUrl=\"http://one/\"/>"
    "<outline text=\"Two\" xmlUrl=\"http://two/feed\"/></body></opml>";

TEST_F(Processing, OpmlTurnsTheChannelIntoAGroup) {
  store::TTreeNodeExt* node = AddChannel();
  ASSERT_EQ(Update(node, kFeed), kFeedNewItems);
  EXPECT_EQ(Update(node, kOpml), kFeedTreeChanged);
  EXPECT_EQ(lastOutNode, nullptr);
  EXPECT_EQ(node->Kind(), store::kKindGroup);
  EXPECT_EQ(node->Data(), nullptr);  // a group holds no channel list
  EXPECT_EQ(node->Caption(), J("購読リスト"));
  ASSERT_EQ(node->ChildCount(), 2u);
  EXPECT_EQ(node->Child(0)->Caption(), "One");
  EXPECT_EQ(node->ItemTotal(), 0);
  EXPECT_EQ(node->UnreadTotal(), 0);
  EXPECT_EQ(store.Tree().RootNode()->UnreadTotal(), 0);
}

TEST_F(Processing, OpmlRegistrationKeepsTheNewGroup) {
  const std::string path = LocalFile("list.opml",
                                     "<opml><head><ownerName>owner</ownerName></head><body>"
                                     "<outline text=\"One\" xmlUrl=\"http://one/feed\"/></body></opml>");
  EXPECT_EQ(Register(store.Tree().RootNode(), path, kFeedRegisterFirst), kFeedTreeChanged);
  ASSERT_EQ(RootChildren(), 1u);
  store::TTreeNodeExt* group = store.Tree().RootNode()->FirstChild();
  EXPECT_EQ(group->Kind(), store::kKindGroup);
  EXPECT_EQ(group->Caption(), "owner");
  EXPECT_EQ(group->ChildCount(), 1u);
}

TEST_F(Processing, FetchSendsTheStoredDateAndCredentialsAndKeepsTheNewDate) {
  FeedProcessor fetching = WithNetwork();
  store::TTreeNodeExt* node = AddChannel("http://host/feed.xml");
  store::TSiteList& channel = ChannelOf(node);
  channel.server = "old date";
  channel.authorize = settings::StoreCredential({"user", "secret"});
  network.answer = FetchResult::Document(kFeed, "new date");
  store::TTreeNodeExt* out = nullptr;
  EXPECT_EQ(fetching.ProcessFeedDocument(node, out, std::nullopt, "", kFeedUpdate, true, {}), kFeedNewItems);
  ASSERT_EQ(network.requests.size(), 1u);
  EXPECT_EQ(network.requests[0].address, "http://host/feed.xml");
  EXPECT_EQ(network.requests[0].lastModified, "old date");
  EXPECT_EQ(network.requests[0].authorization, "user:secret");
  EXPECT_EQ(channel.server, "new date");

  network.answer = FetchResult::NotModified("new date");
  EXPECT_EQ(fetching.ProcessFeedDocument(node, out, std::nullopt, "", kFeedUpdate, false, {}), kFeedNoDocument);
  EXPECT_EQ(network.requests[1].lastModified, "");

  network.answer = FetchResult::Failed(J("URLを開くことができませんでした。"));
  EXPECT_EQ(fetching.ProcessFeedDocument(node, out, std::nullopt, "", kFeedUpdate, true, {}), kFeedFetchFailed);
  EXPECT_EQ(fetching.FetchErrorMessage(), J("URLを開くことができませんでした。"));

  // A page that is no feed: the next fetch asks for it in full, with this fetch's date.
  network.answer = FetchResult::Document("<html/>", "html date");
  EXPECT_EQ(fetching.ProcessFeedDocument(node, out, std::nullopt, "", kFeedUpdate, true, {}), kFeedNotAFeed);
  EXPECT_EQ(channel.server, "html date");
  EXPECT_EQ(channel.Count(), 2u);
}

TEST_F(Processing, WithoutNetworkOnlyLocalFilesAreRead) {
  store::TTreeNodeExt* node = AddChannel("http://host/feed.xml");
  EXPECT_EQ(Register(node, "http://host/feed.xml", kFeedRegisterBefore), kFeedFetchFailed);
  EXPECT_EQ(processor.FetchErrorMessage(), J("URLを開くことができませんでした。"));
}

TEST_F(Processing, HtmlChannelsWithoutTheHtmlLayer) {
  store::TTreeNodeExt* node = AddChannel("http://host/page.html");
  ChannelOf(node).htmlrss = 1;
  // A page without a pattern reads as a page without links.
  EXPECT_EQ(Register(node, "", kFeedUpdate), kFeedNoDocument);
  // A pattern cannot be applied, which reads as a pattern without fields.
  ChannelOf(node).regexpr = "<a href=\"({link}.*?)\">({title}.*?)</a>";
  EXPECT_EQ(Update(node, "<html/>"), kFeedNotAFeed);
  EXPECT_EQ(node->Kind(), store::kKindChannel);
}

TEST_F(Processing, BloglinesItemsGetTheFlagAndAPlaceholderOnFailure) {
  settings.BloglinesSync = true;
  settings.BloglinesFlag = false;
  FeedProcessor fetching = WithNetwork();
  TDefParamType defaults;
  defaults.OverrideTitle = 1;
  defaults.title = "Blog & co";
  defaults.link = "http://blog/";
  const std::string address = "http://rpc.bloglines.com/getitems?s=42";
  store::TTreeNodeExt* out = nullptr;
  EXPECT_EQ(fetching.ProcessFeedDocument(store.Tree().RootNode(), out, std::nullopt, address, kFeedRegisterFirst, false,
                                         defaults),
            kFeedUnchanged);
  ASSERT_EQ(network.requests.size(), 1u);
  EXPECT_EQ(network.requests[0].address, address + "&n=0");
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(ChannelOf(out).Site.title, "Blog & co");
  EXPECT_EQ(ChannelOf(out).Site.rdfurl, address);
}

TEST_F(Processing, BloglinesItemListIsRepairedWhenItDoesNotLoad) {
  settings.BloglinesSync = true;
  store::TTreeNodeExt* node = AddChannel("http://rpc.bloglines.com/getitems?s=7");
  const std::string broken =
      "<rss version=\"2.0\"><channel><title>A & B</title>\n"
      "<item><title>x < y</title><link>http://l/1</link></item></channel></rss>";
  EXPECT_EQ(Update(node, broken), kFeedNewItems);
  EXPECT_EQ(ChannelOf(node).Site.title, "A & B");
  ASSERT_EQ(ChannelOf(node).Count(), 1u);
  EXPECT_EQ(ChannelOf(node).ItemAt(0)->title, "x < y");
}

TEST_F(Processing, ItemsAreSortedByDateAfterAChange) {
  store::TTreeNodeExt* node = AddChannel();
  Update(node,
         "<rss version=\"2.0\"><channel><title>t</title>"
         "<item><title>mid</title><pubDate>Tue, 21 May 2024 00:00:00 +0900</pubDate></item>"
         "<item><title>new</title><pubDate>Wed, 22 May 2024 00:00:00 +0900</pubDate></item>"
         "<item><title>old</title><pubDate>Mon, 20 May 2024 00:00:00 +0900</pubDate></item></channel></rss>");
  const store::TSiteList& channel = ChannelOf(node);
  ASSERT_EQ(channel.Count(), 3u);
  EXPECT_EQ(channel.ItemAt(0)->title, "old");
  EXPECT_EQ(channel.ItemAt(1)->title, "mid");
  EXPECT_EQ(channel.ItemAt(2)->title, "new");
}

TEST(LocalFileAddress, TellsLocalFromRemote) {
  EXPECT_TRUE(IsLocalFileAddress("/home/u/feed.xml"));
  EXPECT_TRUE(IsLocalFileAddress("feed.xml"));
  EXPECT_TRUE(IsLocalFileAddress("file:///home/u/feed.xml"));
  EXPECT_TRUE(IsLocalFileAddress("FILE:/x"));
  EXPECT_TRUE(IsLocalFileAddress("dir/a b://c"));
  EXPECT_FALSE(IsLocalFileAddress("http://host/feed"));
  EXPECT_FALSE(IsLocalFileAddress("https://host/"));
  EXPECT_FALSE(IsLocalFileAddress("ftp://host/x"));
  EXPECT_EQ(LocalFilePath("/home/u/feed.xml"), "/home/u/feed.xml");
  EXPECT_EQ(LocalFilePath("file:///home/u/a%20b.xml"), "/home/u/a b.xml");
  EXPECT_EQ(LocalFilePath("file://localhost/tmp/x"), "/tmp/x");
  EXPECT_EQ(LocalFilePath("file:/tmp/x"), "/tmp/x");
  EXPECT_EQ(LocalFilePath(J("/データ/フィード.xml")), "/データ/フィード.xml");
}

}  // namespace
}  // namespace formats::testing
