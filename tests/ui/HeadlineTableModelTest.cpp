// SPDX-License-Identifier: MIT
// The headline list's table model: cells, icons, fonts and colours asked of the list only
// for the rows on screen.
#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QFont>
#include <QIcon>
#include <QSignalSpy>
#include <algorithm>
#include <set>

#include "HeadlineUiFixture.h"
#include "text/Literal.h"

namespace ui::testing {
namespace {

using store::kStateProtected;
using store::kStateRead;
using store::kStateUnread;

using HeadlineTableModelTest = HeadlineUiFixture;

QString Cell(const QAbstractItemModel& model, int row, int column) {
  return model.data(model.index(row, column), Qt::DisplayRole).toString();
}

qint64 IconKey(const QAbstractItemModel& model, int row) {
  return model.data(model.index(row, present::kColumnState), Qt::DecorationRole).value<QIcon>().cacheKey();
}

TEST_F(HeadlineTableModelTest, ShowsTheColumnsCellsAndHeaderCaptionsOfTheList) {
  store::TSiteRecord* item = Add(chanA, text::J("日本語のタイトル①"));
  item->category = text::J("カテゴリＡ");
  item->creator = "Someone";
  item->modified = 45000.0 + (23 * 60 + 59) / 1440.0;  // 2023-03-15 23:59
  list.SelectNode(chanA);

  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_EQ(model.columnCount(), 6);
  EXPECT_FALSE(model.data(model.index(0, present::kColumnState), Qt::DisplayRole).isValid());
  EXPECT_EQ(Cell(model, 0, present::kColumnModified), QStringLiteral("03/15 23:59"));
  EXPECT_EQ(Cell(model, 0, present::kColumnTitle), QString::fromUtf8("日本語のタイトル①"));
  EXPECT_EQ(Cell(model, 0, present::kColumnChannel), QStringLiteral("ChanA")) << "the tree caption, not the feed";
  EXPECT_EQ(Cell(model, 0, present::kColumnCategory), QString::fromUtf8("カテゴリＡ"));
  EXPECT_EQ(Cell(model, 0, present::kColumnCreator), QStringLiteral("Someone"));
  EXPECT_FALSE(model.index(0, 0).flags().testFlag(Qt::ItemIsEditable));

  const char* const captions[] = {"", "更新日", "タイトル", "チャンネル", "カテゴリ", "作者"};
  for (int column = 0; column < 6; ++column) {
    EXPECT_EQ(model.headerData(column, Qt::Horizontal).toString(), QString::fromUtf8(captions[column])) << column;
  }
}

TEST_F(HeadlineTableModelTest, RowIconsFollowStateArchiveAndErrorEntries) {
  platform::CreateFolders(folder.Path() + "system/mhtml");
  testsupport::WriteFile(folder.Path() + "system/mhtml/a.mht", "x");
  struct Case {
    uint8_t read;
    bool archive;
    present::RowIcon icon;
  };
  const Case cases[] = {
      {kStateUnread, false, present::RowIcon::kUnread},
      {kStateRead, false, present::RowIcon::kRead},
      {kStateProtected, false, present::RowIcon::kProtected},
      {kStateUnread, true, present::RowIcon::kUnreadArchive},
      {kStateRead, true, present::RowIcon::kReadArchive},
      {kStateProtected, true, present::RowIcon::kProtectedArchive},
  };
  // Oldest first, so that sorting by date keeps the table's order.
  settings.SortNum = present::kColumnModified;
  settings.SortUpDown = true;
  double age = 10;
  for (const Case& c : cases) Add(chanA, "item", c.read, age--)->mht = c.archive ? "a.mht" : "";
  list.SelectNode(chanA);
  ASSERT_EQ(model.rowCount(), 6);

  std::set<qint64> distinct;
  for (int row = 0; row < 6; ++row) {
    const QIcon& expected = model.RowIconImage(cases[row].icon);
    EXPECT_FALSE(expected.isNull()) << "image of row " << row << " was not loaded";
    EXPECT_EQ(IconKey(model, row), expected.cacheKey()) << row;
    distinct.insert(expected.cacheKey());
    EXPECT_FALSE(model.data(model.index(row, present::kColumnTitle), Qt::DecorationRole).isValid());
  }
  EXPECT_EQ(distinct.size(), 6u);

  store::TSiteRecord entry;
  entry.title = "failed";
  entry.StatusEntry = 1;
  store::TTreeNodeExt* errorLog = store.Tree().EnsureErrorLogNode();
  store.AddItemToChannel(*errorLog->Data(), entry);
  list.SelectNode(errorLog);
  ASSERT_EQ(model.rowCount(), 1);
  EXPECT_FALSE(model.RowIconImage(present::RowIcon::kError).isNull());
  EXPECT_EQ(IconKey(model, 0), model.RowIconImage(present::RowIcon::kError).cacheKey());
}

TEST_F(HeadlineTableModelTest, MissingImagesLeaveTheIconEmptyButTheRowShown) {
  RecordingTableModel bare(list, settings, folder.Path() + "nowhere/");
  Add(chanA, "still shown");
  list.SelectNode(chanA);
  bare.ResetRows();
  ASSERT_EQ(bare.rowCount(), 1);
  EXPECT_TRUE(bare.RowIconImage(present::RowIcon::kUnread).isNull());
  EXPECT_EQ(Cell(bare, 0, present::kColumnTitle), QStringLiteral("still shown"));
}

TEST_F(HeadlineTableModelTest, UnreadRowsAreBoldOnlyWithListBold) {
  Add(chanA, "unread", kStateUnread, 1);
  Add(chanA, "read", kStateRead, 2);
  Add(chanA, "protected", kStateProtected, 3);
  settings.ListFontSize = 13;
  view.ApplySettings();
  list.SelectNode(chanA);
  ASSERT_EQ(ShownTitles(), (std::vector<QString>{"unread", "read", "protected"}));

  const QVariant bold = model.data(model.index(0, present::kColumnTitle), Qt::FontRole);
  ASSERT_TRUE(bold.isValid());
  EXPECT_TRUE(bold.value<QFont>().bold());
  EXPECT_EQ(bold.value<QFont>().pointSize(), 13) << "the list's own font, made bold";
  EXPECT_FALSE(model.data(model.index(1, present::kColumnTitle), Qt::FontRole).isValid());
  EXPECT_FALSE(model.data(model.index(2, present::kColumnTitle), Qt::FontRole).isValid());

  settings.ListBold = false;
  EXPECT_FALSE(model.data(model.index(0, present::kColumnTitle), Qt::FontRole).isValid());
}

TEST_F(HeadlineTableModelTest, BackgroundsColourEvenRowsOrTheSortColumn) {
  for (int i = 0; i < 4; ++i) Add(chanA, "item", kStateUnread, i + 1);
  settings.SortNum = present::kColumnTitle;
  list.SelectNode(chanA);
  ASSERT_EQ(model.rowCount(), 4);
  auto background = [this](int row, int column) {
    const QVariant value = model.data(model.index(row, column), Qt::BackgroundRole);
    return value.isValid() ? value.value<QBrush>().color().name() : QString();
  };
  for (bool rowColours : {true, false}) {
    settings.GridLineColor = rowColours;
    for (int row = 0; row < 4; ++row) {
      for (int column = 0; column < 6; ++column) {
        QString expected;
        if (rowColours && row % 2 == 0) expected = QStringLiteral("#e7e7e7");
        if (!rowColours && column == present::kColumnTitle) expected = QStringLiteral("#f3f3f3");
        EXPECT_EQ(background(row, column), expected) << "row " << row << " column " << column << " rows " << rowColours;
      }
    }
  }
}

// Qt's own checks of the model while the list is rebuilt, sorted, repainted and shrunk.
TEST_F(HeadlineTableModelTest, PassesTheModelTesterThroughTheListsChanges) {
  QStringList complaints;
  static QStringList* sink = nullptr;
  sink = &complaints;
  const QtMessageHandler previous =
      qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& message) {
        if (type != QtDebugMsg && type != QtInfoMsg) sink->append(message);
      });
  {
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Warning);
    Add(chanA, "b", kStateUnread, 1);
    Add(chanA, "a", kStateRead, 2);
    Add(chanB, "c", kStateUnread, 3);
    list.SelectNode(group);
    list.SortByColumn(present::kColumnTitle);
    list.SetRowState(0, kStateProtected, store::Protection::kOverride);
    settings.DialogQues = false;
    list.SelectRow(1);
    list.DeleteSelectedRows();
    list.SelectNode(chanC);
  }
  qInstallMessageHandler(previous);
  sink = nullptr;
  EXPECT_TRUE(complaints.isEmpty()) << complaints.join('\n').toStdString();
}

TEST_F(HeadlineTableModelTest, RepaintRowChangesThatRowOnly) {
  for (int i = 0; i < 3; ++i) Add(chanA, "item", kStateUnread, i + 1);
  list.SelectNode(chanA);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  ASSERT_TRUE(list.SetRowState(1, kStateRead, store::Protection::kOverride));
  ASSERT_EQ(changed.count(), 1);
  const QModelIndex topLeft = changed.at(0).at(0).value<QModelIndex>();
  const QModelIndex bottomRight = changed.at(0).at(1).value<QModelIndex>();
  EXPECT_EQ(topLeft, model.index(1, 0));
  EXPECT_EQ(bottomRight, model.index(1, present::kColumnCount - 1));
  EXPECT_EQ(reset.count(), 0);
  EXPECT_EQ(IconKey(model, 1), model.RowIconImage(present::RowIcon::kRead).cacheKey());
}

// A hundred thousand items under the root: the view asks only for the rows it shows.
TEST_F(HeadlineTableModelTest, HundredThousandRowsAreDrawnOnDemand) {
  constexpr int kItems = 100000;
  store::TSiteRecord record;
  record.modified = kNow - 1;
  for (int i = 0; i < kItems; ++i) {
    record.title = "item " + std::to_string(i);
    record.modified = kNow - 1 - i / 1440.0;  // one minute older each
    store.AddItemToChannel(*(i % 2 == 0 ? chanA : chanC)->Data(), record);
  }
  ShowView();
  model.askedRows.clear();
  list.SelectNode(Root());
  view.viewport()->repaint();
  QCoreApplication::processEvents();

  EXPECT_EQ(model.rowCount(), kItems);
  EXPECT_EQ(list.FocusedRow(), 0);
  EXPECT_EQ(Cell(model, 0, present::kColumnTitle), QStringLiteral("item 0")) << "newest first";
  ASSERT_FALSE(model.askedRows.empty()) << "nothing was drawn";
  const int deepest = *std::max_element(model.askedRows.begin(), model.askedRows.end());
  const std::set<int> distinct(model.askedRows.begin(), model.askedRows.end());
  EXPECT_LT(deepest, 100) << "rows far below the visible ones were asked for";
  EXPECT_LT(distinct.size(), 100u);

  // Jumping to the end asks for the rows there, not for the rows between.
  model.askedRows.clear();
  list.SelectRow(kItems - 1, true);
  view.viewport()->repaint();
  ASSERT_FALSE(model.askedRows.empty());
  EXPECT_GT(*std::min_element(model.askedRows.begin(), model.askedRows.end()), kItems - 100);
  EXPECT_EQ(Cell(model, kItems - 1, present::kColumnTitle), QStringLiteral("item 99999"));
}

}  // namespace
}  // namespace ui::testing
