// SPDX-License-Identifier: MIT
// Adding a channel from the window: a page that announces its feed colours the address
// box, the add command offers that feed and registers it, and the new channel is shown
// with its items; the property panel edits the channel shown.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include "WindowFixture.h"
#include "shell/BrowserTabs.h"
#include "store/TSiteList.h"
#include "support/LoopbackServer.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelSettingsFields.h"
#include "ui/ChannelTreeView.h"
#include "ui/InputForm.h"
#include "ui/PropertyPanel.h"
#include "ui/QtText.h"
#include "ui/WebTabs.h"

namespace ui {
namespace {

constexpr char kFeed[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?><rss version=\"2.0\"><channel><title>Local News</title>"
    "<link>http://example.jp/</link><description>d</description>"
    "<item><title>first</title><link>http://example.jp/1</link></item>"
    "<item><title>second</title><link>http://example.jp/2</link></item>"
    "</channel></rss>";

class ChannelWindowTest : public testing::Test {
 protected:
  ChannelWindowTest() {
    server.Routes().Get("/news/index.html", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(
          "<html><head><title>news</title>"
          "<link rel=\"alternate\" type=\"application/rss+xml\" title=\"RSS\" href=\"feed.rdf\"></head>"
          "<body>news</body></html>",
          "text/html");
    });
    server.Routes().Get("/news/feed.rdf", [](const httplib::Request&, httplib::Response& response) {
      response.set_content(kFeed, "application/rss+xml");
    });
    server.Start();
  }

  testsupport::LoopbackServer server;
  testsupport::TempDir dir;
  testsupport::ScriptedDialogs dialogs;
};

TEST_F(ChannelWindowTest, AFeedThePageAnnouncesIsRegisteredThroughTheDialogAndShown) {
  MakeFolderWithTwoItems(dir, dialogs);
  WindowOnFolder opened(dir, dialogs);
  MainWindow& window = opened.window;
  window.show();
  shell::BrowserTabs& tabs = window.Controller().Tabs();
  QComboBox& box = window.AddressBox();
  box.lineEdit()->setText(QString::fromStdString(server.Url("/news/index.html")));
  QTest::keyClick(box.lineEdit(), Qt::Key_Return);
  ASSERT_TRUE(ProcessUntil([&] { return !tabs.ActiveFoundFeeds().empty(); }));
  EXPECT_EQ(box.lineEdit()->palette().color(QPalette::Base), QColor(0xFF, 0xFF, 0xBE));

  // The dialog opens on the announced feed, yellow, with OK enabled; OK registers it.
  const std::string feed = server.Url("/news/feed.rdf");
  std::string offered;
  bool yellow = false;
  bool okEnabled = false;
  bool submittedByEnter = false;
  window.SetInputFormCreated([&](InputForm& form) {
    QTimer::singleShot(0, &form, [&] {
      offered = FromQString(form.AddressBox().currentText());
      yellow = form.AddressBox().lineEdit()->palette().color(QPalette::Base) == QColor(0xFF, 0xFF, 0xBE);
      okEnabled = form.OkButton().isEnabled();
      // Enter in the address box is the dialog's OK, as in every dialog.
      QTest::keyClick(form.AddressBox().lineEdit(), Qt::Key_Return);
      submittedByEnter = !form.isVisible();
      if (form.isVisible()) form.reject();
    });
  });
  QAction* add = window.FindCommand(QString::fromUtf8("チャンネル(Feed/OPML)の追加"));
  ASSERT_NE(add, nullptr);
  add->trigger();
  EXPECT_EQ(offered, feed);
  EXPECT_TRUE(yellow);
  EXPECT_TRUE(okEnabled);
  EXPECT_TRUE(submittedByEnter);

  store::TTreeNodeExt* root = opened.session.Tree().RootNode();
  store::TTreeNodeExt* channel = nullptr;
  for (store::TTreeNodeExt* node = root->FirstChild(); node != nullptr; node = node->NextSibling()) {
    if (node->Data() != nullptr && node->Data()->Site.rdfurl == feed) channel = node;
  }
  ASSERT_NE(channel, nullptr);
  EXPECT_EQ(channel->Caption(), "Local News");
  present::HeadlineList& list = window.Controller().Headlines();
  EXPECT_TRUE(ProcessUntil([&] { return list.SelectedNode() == channel && list.RowCount() == 2; }));
  EXPECT_EQ(window.TreeView().CurrentNode(), channel);
  EXPECT_TRUE(opened.Close());
}

TEST_F(ChannelWindowTest, ThePropertyPanelShowsTheChannelAndAppliesItsChanges) {
  MakeFolderWithTwoItems(dir, dialogs);
  WindowOnFolder opened(dir, dialogs);
  MainWindow& window = opened.window;
  window.show();
  store::TTreeNodeExt* channel = opened.session.Tree().RootNode()->FirstChild();
  PropertyPanel& panel = window.Properties();
  window.PropertyAction().trigger();
  window.TreeView().SelectNode(channel);
  ASSERT_TRUE(ProcessUntil([&] { return window.Controller().Headlines().SelectedNode() == channel; }));
  EXPECT_TRUE(ProcessUntil([&] { return panel.isEnabled(); }));

  panel.findChild<QLineEdit*>(QStringLiteral("ED_Filter"))->setText(QStringLiteral("apple"));
  QTest::mouseClick(&panel.ApplyButton(), Qt::LeftButton);
  EXPECT_EQ(channel->Data()->keyword, "apple");
  ASSERT_FALSE(dialogs.shown.empty());
  EXPECT_EQ(dialogs.shown.back().text, "変更内容を〝feed〟に適用しました。");

  // An empty group shows no channel: the panel goes blank and disabled.
  store::TTreeNodeExt* group =
      opened.session.Tree().AddChild(opened.session.Tree().RootNode(), "group", store::kKindGroup);
  window.TreeView().SelectNode(group);
  EXPECT_TRUE(ProcessUntil([&] { return !panel.isEnabled(); }));
  EXPECT_TRUE(panel.findChild<QLineEdit*>(QStringLiteral("ED_Filter"))->text().isEmpty());
  EXPECT_TRUE(opened.Close());
}

TEST(DroppedAddressTest, FilesLinksAndTextsGiveTheirAddresses) {
  testsupport::TempDir dir;
  testsupport::WriteFile(dir / "site.url", "[InternetShortcut]\r\nURL=http://example.jp/rss.xml\r\n");
  testsupport::WriteFile(dir / "feed.xml", "<rss/>");
  const struct {
    const char* name;
    std::function<void(QMimeData&)> fill;
    QString expected;
  } cases[] = {
      {"shortcut file", [&](QMimeData& data) { data.setUrls({QUrl::fromLocalFile(PathToQString(dir / "site.url"))}); },
       QStringLiteral("http://example.jp/rss.xml")},
      {"other file", [&](QMimeData& data) { data.setUrls({QUrl::fromLocalFile(PathToQString(dir / "feed.xml"))}); },
       PathToQString(dir / "feed.xml")},
      {"link", [](QMimeData& data) { data.setUrls({QUrl(QStringLiteral("http://example.jp/a.rdf"))}); },
       QStringLiteral("http://example.jp/a.rdf")},
      {"text up to NUL",
       [](QMimeData& data) {
         data.setText(QStringLiteral("http://example.jp/b.rss") + QChar(0) + QStringLiteral("x"));
       },
       QStringLiteral("http://example.jp/b.rss")},
  };
  for (const auto& entry : cases) {
    QMimeData data;
    entry.fill(data);
    EXPECT_EQ(DroppedAddress(data), entry.expected) << entry.name;
  }
}

}  // namespace
}  // namespace ui
