// SPDX-License-Identifier: MIT
// The desktop program's edge to Qt: its event loop, its texts and its file filters.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <atomic>
#include <thread>
#include <vector>

#include "text/Literal.h"
#include "ui/QtDialogs.h"
#include "ui/QtEventLoop.h"
#include "ui/QtText.h"

namespace ui {
namespace {

// Processes Qt's events until `done` holds or `timeoutMs` passed.
bool ProcessUntil(const std::function<bool()>& done, int timeoutMs = 60000) {
  QElapsedTimer waited;
  waited.start();
  while (!done() && waited.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  return done();
}

TEST(QtEventLoopTest, PostedTasksRunOnTheMainThreadInOrder) {
  QtEventLoop loop;
  std::vector<int> order;
  std::atomic<bool> otherThreadRan{false};
  const std::thread::id mainThread = std::this_thread::get_id();
  bool ranOnMain = false;
  loop.Post([&] { order.push_back(1); });
  std::thread worker([&] {
    loop.Post([&] {
      ranOnMain = std::this_thread::get_id() == mainThread;
      order.push_back(2);
    });
    otherThreadRan = true;
  });
  worker.join();
  EXPECT_TRUE(order.empty());  // nothing runs inside Post
  ASSERT_TRUE(ProcessUntil([&] { return order.size() == 2; }));
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  EXPECT_TRUE(ranOnMain);
}

TEST(QtEventLoopTest, TimersFireOnceOrRepeatAndStopFromInside) {
  QtEventLoop loop;
  int once = 0;
  int repeated = 0;
  const int64_t start = loop.TickMs();
  loop.StartTimer(20, platform::TimerKind::kOnce, [&] { ++once; });
  platform::EventLoop::TimerId repeating = 0;
  repeating = loop.StartTimer(10, platform::TimerKind::kRepeating, [&] {
    if (++repeated == 3) loop.StopTimer(repeating);
  });
  const platform::EventLoop::TimerId stopped =
      loop.StartTimer(10, platform::TimerKind::kOnce, [&] { ADD_FAILURE() << "stopped timer ran"; });
  loop.StopTimer(stopped);
  loop.StopTimer(stopped);  // a second stop is ignored
  ASSERT_TRUE(ProcessUntil([&] { return once == 1 && repeated == 3; }));
  ProcessUntil([] { return false; }, 60);
  EXPECT_EQ(once, 1);
  EXPECT_EQ(repeated, 3);
  EXPECT_GE(loop.TickMs() - start, 30);
}

TEST(QtTextTest, CodePageTextAndQtStrings) {
  // Japanese text, and a character code page 932 has no code for (kept as a reference).
  const std::string cp932 = text::J("日本語と①") + "&#128512;";
  const QString shown = ToQString(cp932);
  EXPECT_EQ(shown, QString::fromUtf8("日本語と①\xF0\x9F\x98\x80"));
  EXPECT_EQ(FromQString(shown), cp932);
  EXPECT_EQ(PathFromQString(PathToQString("/tmp/\xE6\x97\xA5.xml")), "/tmp/\xE6\x97\xA5.xml");
}

TEST(QtDialogsTest, QtsOwnButtonsSpeakJapaneseWhateverTheLocale) {
  QMessageBox box(QMessageBox::Question, QStringLiteral("Plover"), QStringLiteral("?"),
                  QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Yes)->text(), QString::fromUtf8("はい(&Y)"));
  EXPECT_EQ(box.button(QMessageBox::No)->text(), QString::fromUtf8("いいえ(&N)"));
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QString::fromUtf8("キャンセル"));
}

TEST(QtDialogsTest, FileFiltersInQtsForm) {
  EXPECT_EQ(QtFileFilter("OPML (*.opml)|*.opml|All (*)|*"), QStringLiteral("OPML (*.opml);;All (*)"));
  EXPECT_EQ(QtFileFilter(text::J("スタイル|*.hrstyle;*.css")), QString::fromUtf8("スタイル (*.hrstyle *.css)"));
  EXPECT_EQ(QtFileFilter(""), QString());
}

}  // namespace
}  // namespace ui
