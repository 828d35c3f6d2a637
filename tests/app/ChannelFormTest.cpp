// SPDX-License-Identifier: MIT
// The registration dialog's rules, its loop over a scripted form, and the property panel.
#include <gtest/gtest.h>

#include <deque>

#include "app/AddChannelDialog.h"
#include "app/ChannelProperties.h"
#include "settings/Credentials.h"
#include "store/TSiteList.h"
#include "support/ManualUiLock.h"
#include "support/ScriptedDialogs.h"
#include "support/TempDir.h"
#include "text/Literal.h"

namespace app {
namespace {

using store::TTreeNodeExt;

std::string Rss(bool enclosure) {
  return std::string(
             "<?xml version=\"1.0\"?><rss version=\"2.0\"><channel><title>Local</title><link>http://x/</link>") +
         "<item><title>a</title><link>http://x/a</link>" +
         (enclosure ? "<enclosure url=\"http://x/a.mp3\" length=\"1\" type=\"audio/mpeg\"/>" : "") +
         "</item></channel></rss>";
}

TEST(ChannelFormRulesTest, TheAddressBoxDecidesTheButtonsAndThePrefill) {
  EXPECT_FALSE(AddressAccepted(""));
  EXPECT_FALSE(AddressAccepted("http://"));
  EXPECT_TRUE(AddressAccepted("http://x"));
  EXPECT_TRUE(AddressAccepted("https://"));
  const std::pair<const char*, const char*> prefills[] = {
      {"  http://example.jp/rss.xml ", "http://example.jp/rss.xml"},
      {"http://example.jp/index.HTML", "http://"},
      {"http://r.jp/?u=http://example.jp/", "http://"},
      {"feed://example.jp/rss.xml", "//example.jp/rss.xml"},
      {"feed:http://example.jp/a.rdf", "http://example.jp/a.rdf"},
      {"some words", "http://"},
  };
  for (const auto& [clipboard, expected] : prefills) EXPECT_EQ(ClipboardPrefill(clipboard), expected) << clipboard;
}

TEST(ChannelFormRulesTest, ExtractionSettingsEnableEachOther) {
  ChannelFormValues values;
  values.address = "http://";
  ChannelFormEnabling enabling = FormEnabling(values);
  EXPECT_FALSE(enabling.ok);
  EXPECT_TRUE(enabling.dateCompare && enabling.credentials);
  EXPECT_FALSE(enabling.regexpr || enabling.refreshTime);
  values.htmlRss = true;
  enabling = FormEnabling(values);
  EXPECT_FALSE(enabling.dateCompare || enabling.credentials);
  EXPECT_TRUE(enabling.regexpr);
  values.regexpr = "<a>(.*)</a>";
  values.refresh = true;
  enabling = FormEnabling(values);
  EXPECT_TRUE(enabling.credentials && enabling.refreshTime);
}

TEST(ChannelFormRulesTest, TheRecordTakesClampedValuesAndAScrambledCredential) {
  ChannelFormValues values;
  values.itemMax = 12000;
  values.dateMax = -5;
  values.refreshTime = 5;
  formats::TDefParamType record = DefaultsFromForm(values);
  EXPECT_EQ(record.Present, 1);
  EXPECT_EQ(record.itemmax, kItemMaxLimit);
  EXPECT_EQ(record.datemax, 0);
  EXPECT_EQ(record.refresh, 0) << "unchecked: no interval of its own";
  EXPECT_TRUE(record.authorize.empty());
  values.refresh = true;
  values.password = "secret";
  record = DefaultsFromForm(values);
  EXPECT_EQ(record.refresh, kRefreshTimeMin);
  EXPECT_EQ(settings::ReadCredential(record.authorize), (settings::Credential{"", "secret"}));
}

TEST(ChannelFormRulesTest, ShortcutFilesGiveTheirAddress) {
  EXPECT_EQ(InternetShortcutAddress(
                "[Other]\r\nURL=http://no/\r\n[InternetShortcut]\r\nIconIndex=0\r\nurl= http://x/rss \r\n"),
            "http://x/rss");
  EXPECT_EQ(InternetShortcutAddress("URL=http://outside/\n[InternetShortcut]\n"), std::nullopt);
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "a.url", "[InternetShortcut]\nURL=http://y/\n");
  EXPECT_EQ(ReadInternetShortcut(dir / "a.url"), "http://y/");
  EXPECT_EQ(ReadInternetShortcut(dir / "none.url"), std::nullopt);
  EXPECT_EQ(BloglinesListAddress(false), "");
  EXPECT_EQ(BloglinesListAddress(true), "http://rpc.bloglines.com/listsubs");
}

// A form the test fills in: each showing takes the next script entry.
class ScriptedForm : public InputFormView {
 public:
  struct Showing {
    bool ok;
    std::string address;
    int treeEntry;
  };
  // What the dialog was given, kept beyond the form's life.
  struct Given {
    std::string caption;
    size_t entryCount = 0;
    std::vector<std::string> list;
  };
  ScriptedForm(std::deque<Showing>& script, std::vector<ChannelFormValues>& shownValues, Given& given)
      : script_(script), shownValues_(shownValues), given_(given) {}
  void SetTexts(const FormTexts& texts) override { given_.caption = texts.caption; }
  void SetTreeEntries(const std::vector<TreeEntry>& entries, int selected) override {
    given_.entryCount = entries.size();
    selected_ = selected;
  }
  void SetAddressList(const std::vector<std::string>& feeds) override { given_.list = feeds; }
  void SetValues(const ChannelFormValues& values) override { values_ = values; }
  void SetAutoDownloadVisible(bool) override {}
  void SetDetailShown(bool shown) override { detail_ = shown; }
  bool ShowModal() override {
    shownValues_.push_back(values_);
    if (script_.empty()) return false;
    const Showing next = script_.front();
    script_.pop_front();
    values_.address = next.address;
    if (next.treeEntry >= 0) selected_ = next.treeEntry;
    return next.ok;
  }
  ChannelFormValues Values() const override { return values_; }
  int SelectedTreeEntry() const override { return selected_; }
  bool DetailShown() const override { return detail_; }

 private:
  std::deque<Showing>& script_;
  std::vector<ChannelFormValues>& shownValues_;
  Given& given_;
  ChannelFormValues values_;
  int selected_ = 0;
  bool detail_ = false;
};

class CountingSearch : public store::SearchCountControl {
 public:
  void Stop() override { ++stops; }
  void Restart() override { ++restarts; }
  int stops = 0;
  int restarts = 0;
};

class AddChannelDialogTest : public ::testing::Test, public AddChannelHost {
 protected:
  TTreeNodeExt* SelectedNode() const override { return selected; }
  void ExpandNode(TTreeNodeExt* node) override { expanded.push_back(node); }
  std::unique_ptr<InputFormView> CreateInputForm() override {
    return std::make_unique<ScriptedForm>(script, shown, given);
  }

  AddChannelDialog Dialog() {
    AddChannelServices services{settings, store, dialogs, registration, search, *this, lock};
    services.PeriodicTimer = [this](bool on) { timer.push_back(on); };
    services.FoundFeeds = [] { return std::vector<std::string>{"http://found/rss.xml"}; };
    services.PodhallInstalled = [] { return true; };
    return AddChannelDialog(services);
  }

  settings::Settings settings;
  store::ChannelStore store{settings};
  testsupport::ScriptedDialogs dialogs;
  formats::XmlContext xml;
  formats::UpdateRunTotals totals;
  formats::FeedProcessor processor{[this] {
    formats::FeedServices services{store, settings, dialogs, xml};
    services.Totals = &totals;
    services.Media.PodhallInstalled = true;
    return services;
  }()};
  formats::LocalFileSource files;
  fetch::RegistrationView registrationView;
  fetch::ChannelRegistration registration{
      fetch::RegistrationServices{store, settings, dialogs, xml, processor, totals, files, registrationView}};
  CountingSearch search;
  testsupport::TempDir dir;
  std::deque<ScriptedForm::Showing> script;
  std::vector<ChannelFormValues> shown;
  ScriptedForm::Given given;
  std::vector<bool> timer;
  std::vector<TTreeNodeExt*> expanded;
  TTreeNodeExt* selected = nullptr;
  testsupport::ManualUiLock lock;
};

TEST_F(AddChannelDialogTest, AFailedRegistrationShowsTheDialogAgainUntilOneSucceeds) {
  settings.TrayRefreshMode = settings::TrayMode::kResidentPeriodic;
  TTreeNodeExt* group = store.Tree().AddChild(store.Tree().RootNode(), "g", store::kKindGroup, nullptr);
  TTreeNodeExt* sub = store.Tree().AddChild(group, "sub", store::kKindGroup, nullptr);
  selected = sub;
  testsupport::WriteFile(dir / "feed.rss", Rss(true));
  script = {{true, dir / "missing.rss", -1}, {true, dir / "feed.rss", 1}};
  dialogs.Answer(true);  // Podhall from now on
  EXPECT_TRUE(Dialog().Run("http://typed/", sub, false, false));
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0].address, "http://typed/");
  EXPECT_EQ(shown[1].address, dir / "missing.rss") << "the contents stay";
  EXPECT_EQ(given.caption, text::J("チャンネル(Feed/OPML)の追加"));
  EXPECT_EQ(given.entryCount, 3u);
  EXPECT_EQ(given.list, std::vector<std::string>{"http://found/rss.xml"});
  // The user picked "g" (entry 1) in place of the preselected "sub".
  ASSERT_EQ(group->ChildCount(), 2u);
  TTreeNodeExt* channel = group->FirstChild();
  EXPECT_EQ(channel->Data()->Site.rdfurl, dir / "feed.rss");
  EXPECT_EQ(channel->Data()->encflag, 1);
  EXPECT_EQ(expanded, std::vector<TTreeNodeExt*>{group});
  EXPECT_EQ(timer, (std::vector<bool>{false, true}));
  EXPECT_EQ(search.stops, 2);
  EXPECT_EQ(search.restarts, 1);
  ASSERT_EQ(dialogs.shown.size(), 2u);  // the failure, then the enclosure question
  EXPECT_EQ(dialogs.shown[1].kind, "yesno");
  EXPECT_EQ(text::J(dialogs.shown[1].text), EnclosureQuestion());
}

TEST_F(AddChannelDialogTest, NothingOpensWhileARunHoldsTheWindowAndCancelRegistersNothing) {
  lock.locked = true;
  EXPECT_FALSE(Dialog().Run("http://x/", nullptr, false, false));
  EXPECT_TRUE(shown.empty());
  EXPECT_TRUE(timer.empty());
  lock.locked = false;
  EXPECT_FALSE(Dialog().Run("http://x/", nullptr, true, false));
  EXPECT_EQ(given.caption, text::J("Bloglines 全チャンネルの追加"));
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_EQ(search.restarts, 0);
  EXPECT_EQ(store.Tree().RootNode()->ChildCount(), 0u);
}

class ChannelPropertiesTest : public ::testing::Test {
 protected:
  TTreeNodeExt* AddChannel() {
    auto list = std::make_unique<store::TSiteList>();
    list->Site.rdfurl = "http://old/rss.xml";
    list->authorize = settings::StoreCredential({"me", "pw"});
    return store.Tree().AddChild(store.Tree().RootNode(), "chan", store::kKindChannel, std::move(list));
  }
  settings::Settings settings;
  store::ChannelStore store{settings};
  testsupport::ScriptedDialogs dialogs;
  formats::XmlContext xml;
  formats::LocalFileSource files;
  testsupport::TempDir dir;
  ChannelProperties properties{settings, store, dialogs, xml, files};
};

TEST_F(ChannelPropertiesTest, ThePanelShowsTheChannelOfTheSelection) {
  settings.TrayRefreshTime = 90;
  TTreeNodeExt* channel = AddChannel();
  EXPECT_EQ(properties.Fill(nullptr, nullptr), std::nullopt);
  EXPECT_EQ(properties.Fill(nullptr, store.Tree().RootNode()), std::nullopt);
  const std::optional<ChannelFormValues> values = properties.Fill(nullptr, channel);
  ASSERT_TRUE(values);
  EXPECT_FALSE(values->refresh);
  EXPECT_EQ(values->refreshTime, 90);
  EXPECT_EQ(values->user, "me");
  EXPECT_EQ(values->password, "pw");
  // A headline of a search result shows the channel it came from.
  store::TSiteRecord item;
  item.Owner = channel->Data();
  EXPECT_EQ(properties.PanelChannel(&item, store.Tree().RootNode()), channel->Data());
}

TEST_F(ChannelPropertiesTest, AChangedAddressThatDoesNotLoadStaysOnlyWhenConfirmed) {
  TTreeNodeExt* channel = AddChannel();
  ChannelFormValues values = *properties.Fill(nullptr, channel);
  values.address = dir / "missing.xml";
  values.itemMax = 20;
  dialogs.Answer(false);
  EXPECT_FALSE(properties.ApplyChannelProperties(nullptr, channel, values));
  EXPECT_EQ(channel->Data()->Site.rdfurl, "http://old/rss.xml");
  EXPECT_EQ(channel->Data()->itemmax, 0);

  testsupport::WriteFile(dir / "good.xml", Rss(false));
  values.address = " " + (dir / "good.xml") + " ";
  values.user.clear();
  values.password.clear();
  values.refresh = true;
  values.refreshTime = 45;
  channel->Data()->authsite = "http://old/";  // held since a move: applying confirms
  EXPECT_TRUE(properties.ApplyChannelProperties(nullptr, channel, values));
  EXPECT_EQ(channel->Data()->authsite, "");
  EXPECT_EQ(channel->Data()->Site.rdfurl, dir / "good.xml");
  EXPECT_EQ(channel->Data()->itemmax, 20);
  EXPECT_EQ(channel->Data()->refresh, 45);
  EXPECT_TRUE(channel->Data()->authorize.empty());
  EXPECT_EQ(text::J(dialogs.shown.back().text), text::J("変更内容を〝chan〟に適用しました。"));
  EXPECT_EQ(dialogs.shown.size(), 2u);
}

// The panel shows every option of the channel and applying what it shows gives the same
// options back; the Bloglines address, which the panel has no field for, stays, and the
// filter loses the spaces around it.
TEST_F(ChannelPropertiesTest, ApplyingTheShownValuesKeepsEveryOption) {
  TTreeNodeExt* channel = AddChannel();
  store::TSiteList& list = *channel->Data();
  store::ChannelOptions options;
  options.itemmax = 25;
  options.datemax = 30;
  options.refresh = 45;
  options.noread = 1;
  options.datecomp = 1;
  options.keyword = "k";
  options.authorize = list.authorize;
  options.htmlrss = 1;
  options.regexpr = "<a>(.*)</a>";
  options.encflag = 1;
  options.entojp = 1;
  options.linkop = 1;
  options.clone = "http://clone/";
  list.Options() = options;
  ChannelFormValues values = *properties.Fill(nullptr, channel);
  EXPECT_EQ(values.filter, "k");
  values.filter = "  k ";
  ASSERT_TRUE(properties.ApplyChannelProperties(nullptr, channel, values));
  EXPECT_EQ(list.Options(), options);
}

}  // namespace
}  // namespace app
