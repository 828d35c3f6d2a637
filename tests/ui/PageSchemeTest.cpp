// SPDX-License-Identifier: MIT
// The program's pages show the program's images, but neither they nor web pages get at
// anything else on the disk through the page scheme.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <functional>
#include <memory>

#include "support/LoopbackServer.h"
#include "support/TempDir.h"
#include "ui/PageScheme.h"
#include "ui/QtText.h"

namespace ui {
namespace {

// The smallest GIF there is: one transparent pixel.
constexpr unsigned char kPixel[] = {0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80,
                                    0x00, 0x00, 0xff, 0xff, 0xff, 0x00, 0x00, 0x00, 0x21, 0xf9, 0x04,
                                    0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x00, 0x00, 0x01,
                                    0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b};

// Each request tried from the page: "ok" when it was answered, "failed" otherwise.
constexpr char kProbe[] =
    "<html><body><img name=flag src='plover://page/system/flag_u.gif'><img name=outside "
    "src='plover://page/system/../secret.txt'><script>"
    "function probe(address){var x=new XMLHttpRequest();try{x.open('GET',address,false);x.send();"
    "return x.status==200?'ok':'failed';}catch(e){return 'failed';}}"
    "</script></body></html>";

QVariant RunScript(QWebEnginePage& page, const QString& script) {
  QVariant result;
  bool done = false;
  page.runJavaScript(script, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  QElapsedTimer waited;
  waited.start();
  while (!done && waited.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return result;
}

bool Load(QWebEnginePage& page, const QUrl& address) {
  bool finished = false;
  bool ok = false;
  QObject::connect(&page, &QWebEnginePage::loadFinished, [&](bool success) {
    finished = true;
    ok = success;
  });
  page.setUrl(address);
  QElapsedTimer waited;
  waited.start();
  while (!finished && waited.elapsed() < 15000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  return ok;
}

class PageSchemeTest : public testing::Test {
 protected:
  PageSchemeTest() {
    testsupport::WriteFile(dir / "system/flag_u.gif",
                           std::string(reinterpret_cast<const char*>(kPixel), sizeof kPixel));
    testsupport::WriteFile(dir / "secret.txt", "secret");
    handler = new PageSchemeHandler(dir.Path() + "system", &profile);
    handler->SetPage(QStringLiteral("/summary"), kProbe);
    profile.installUrlSchemeHandler(kPageScheme, handler);
  }

  testsupport::TempDir dir;
  QWebEngineProfile profile;
  PageSchemeHandler* handler = nullptr;
};

TEST_F(PageSchemeTest, TheSummaryShowsSystemImagesButReadsNothingElse) {
  QWebEnginePage page(&profile);
  ASSERT_TRUE(Load(page, QUrl(QStringLiteral("plover://page/summary"))));
  EXPECT_EQ(RunScript(page, QStringLiteral("document.images['flag'].naturalWidth")).toInt(), 1);
  EXPECT_EQ(RunScript(page, QStringLiteral("document.images['outside'].naturalWidth")).toInt(), 0);
  EXPECT_EQ(RunScript(page, QStringLiteral("probe('plover://page/system/flag_u.gif')")).toString(), "ok");
  for (const char* address : {"file:///etc/hostname", "plover://page/system/%2e%2e/secret.txt",
                              "plover://page/system/%2E%2E%2Fsecret.txt", "plover://other/system/flag_u.gif"}) {
    EXPECT_EQ(RunScript(page, QStringLiteral("probe('%1')").arg(QLatin1String(address))).toString(), "failed")
        << address;
  }
}

TEST(PageSchemeStartTest, TheSummaryIsAnEmptyPageUntilTheFirstIsMade) {
  testsupport::TempDir dir;
  QWebEngineProfile profile;
  profile.installUrlSchemeHandler(kPageScheme, new PageSchemeHandler(dir.Path() + "system", &profile));
  QWebEnginePage page(&profile);
  ASSERT_TRUE(Load(page, QUrl(QStringLiteral("plover://page/summary"))));
  EXPECT_EQ(RunScript(page, QStringLiteral("document.body.innerHTML")).toString(), QString());
}

TEST_F(PageSchemeTest, AWebPageCannotShowOrReadTheProgramsPages) {
  testsupport::LoopbackServer server;
  server.Routes().Get("/", [](const httplib::Request&, httplib::Response& response) {
    response.set_content("<html><body><img name=flag src='plover://page/system/flag_u.gif'></body></html>",
                         "text/html");
  });
  server.Start();
  QWebEnginePage page(&profile);
  ASSERT_TRUE(Load(page, QUrl(QString::fromStdString(server.Url("/")))));
  EXPECT_EQ(RunScript(page, QStringLiteral("document.images['flag'].naturalWidth")).toInt(), 0);
}

}  // namespace
}  // namespace ui
