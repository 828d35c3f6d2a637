// SPDX-License-Identifier: MIT
// The headline list on screen: clicks, keys, focus and selection reach the list, and what
// the list asks of its window reaches the view.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <functional>
#include <vector>

#include "HeadlineUiFixture.h"

namespace ui::testing {
namespace {

// Whether the sort arrow drawn in the section points up (▲): its narrowest row of dark
// pixels is at the top.
bool ArrowPointsUp(QHeaderView& header, int section) {
  const QImage image =
      header.grab(QRect(header.sectionViewportPosition(section), 0, header.sectionSize(section), header.height()))
          .toImage();
  const int background = qGray(image.pixel(2, 2));
  int first = -1;
  int last = -1;
  std::vector<int> widths(static_cast<size_t>(image.height()), 0);
  // The arrow sits at the right end of the section, inside its frame.
  for (int y = 2; y < image.height() - 2; ++y) {
    for (int x = image.width() - 24; x < image.width() - 2; ++x) {
      if (background - qGray(image.pixel(x, y)) > 60) ++widths[static_cast<size_t>(y)];
    }
    if (widths[static_cast<size_t>(y)] > 0) {
      if (first < 0) first = y;
      last = y;
    }
  }
  EXPECT_GE(first, 0) << "no sort arrow drawn";
  if (first < 0) return false;
  return widths[static_cast<size_t>(first)] < widths[static_cast<size_t>(last)];
}

using store::kStateProtected;
using store::kStateRead;
using store::kStateUnread;

using HeadlineListViewTest = HeadlineUiFixture;

// A window holding a stand-in for the channel tree above the list. The list view belongs
// to the fixture, so it leaves the window before the window goes.
class TreeAndList {
 public:
  explicit TreeAndList(QWidget& listView) : listView_(listView) {
    auto* layout = new QVBoxLayout(&frame);
    tree = new QLineEdit(&frame);
    layout->addWidget(tree);
    layout->addWidget(&listView);
  }
  ~TreeAndList() { listView_.setParent(nullptr); }

  QWidget frame;
  QLineEdit* tree = nullptr;

 private:
  QWidget& listView_;
};

int RowOf(const std::vector<QString>& titles, const QString& title) {
  const auto it = std::find(titles.begin(), titles.end(), title);
  return it == titles.end() ? -1 : static_cast<int>(it - titles.begin());
}

TEST_F(HeadlineListViewTest, HeaderClickSortsAndKeepsTheSelectedItem) {
  for (const char* title : {"beta", "Alpha", "gamma", "delta"}) Add(chanA, title);
  ShowView();
  list.SelectNode(chanA);
  QHeaderView* header = view.horizontalHeader();
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellCenter(RowOf(ShownTitles(), "beta"), 2));
  const QPoint titleHeader(header->sectionViewportPosition(present::kColumnTitle) + 10, header->height() / 2);

  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, titleHeader);
  EXPECT_EQ(settings.SortNum, present::kColumnTitle);
  const bool ascending = settings.SortUpDown;
  const std::vector<QString> sorted = {"Alpha", "beta", "delta", "gamma"};
  const std::vector<QString> reversed(sorted.rbegin(), sorted.rend());
  EXPECT_EQ(ShownTitles(), ascending ? sorted : reversed);
  EXPECT_EQ(header->sortIndicatorSection(), present::kColumnTitle);
  EXPECT_EQ(ArrowPointsUp(*header, present::kColumnTitle), ascending);
  int beta = RowOf(ShownTitles(), "beta");
  EXPECT_EQ(list.FocusedRow(), beta);
  EXPECT_EQ(ShownSelection(), std::vector<int>{beta});
  EXPECT_EQ(view.currentIndex().row(), beta);

  // The second click turns the order round; the item stays selected at its new row.
  QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, titleHeader);
  EXPECT_EQ(settings.SortUpDown, !ascending);
  EXPECT_EQ(ShownTitles(), ascending ? reversed : sorted);
  EXPECT_EQ(ArrowPointsUp(*header, present::kColumnTitle), !ascending);
  beta = RowOf(ShownTitles(), "beta");
  EXPECT_EQ(list.Item(static_cast<size_t>(list.FocusedRow()))->title, "beta");
  EXPECT_EQ(ShownSelection(), std::vector<int>{beta});
}

TEST_F(HeadlineListViewTest, ClickOnTheIconCyclesTheStateOfThatRowShiftBackwards) {
  store::TSiteRecord* first = Add(chanA, "first", kStateUnread, 1);
  store::TSiteRecord* second = Add(chanA, "second", kStateUnread, 2);
  ShowView();
  list.SelectNode(chanA);
  ASSERT_EQ(ShownTitles(), (std::vector<QString>{"first", "second"}));

  const QPoint secondIcon = CellCenter(1, present::kColumnState);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, secondIcon);
  EXPECT_EQ(list.FocusedRow(), 1);
  EXPECT_EQ(second->read, kStateRead);
  EXPECT_EQ(first->read, kStateUnread);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, secondIcon);
  EXPECT_EQ(second->read, kStateProtected);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, secondIcon);
  EXPECT_EQ(second->read, kStateUnread);
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, secondIcon);
  EXPECT_EQ(second->read, kStateProtected) << "Shift goes unread -> protected";
  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ShiftModifier, secondIcon);
  EXPECT_EQ(second->read, kStateRead);

  // A click elsewhere in a row only selects it.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellCenter(0, present::kColumnTitle));
  EXPECT_EQ(list.FocusedRow(), 0);
  EXPECT_EQ(first->read, kStateUnread);
  EXPECT_EQ(store.Tree().RootNode()->UnreadTotal(), 1) << "the counts moved with the states";
}

TEST_F(HeadlineListViewTest, SelectionIsTheSameOnBothSidesWithoutEchoes) {
  for (int i = 0; i < 4; ++i) Add(chanA, "item " + std::to_string(i), kStateUnread, i + 1);
  ShowView();
  list.SelectNode(chanA);
  EXPECT_EQ(ShownSelection(), std::vector<int>{0});
  EXPECT_EQ(renderer.summaries.size(), 1u);

  // From the list to the view: one page for one selection, nothing sent back.
  list.SelectRow(2);
  EXPECT_EQ(ShownSelection(), std::vector<int>{2});
  EXPECT_EQ(view.currentIndex().row(), 2);
  EXPECT_EQ(renderer.summaries.size(), 2u);

  // From the view to the list: a click shows its row after the click's short delay.
  QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, CellCenter(1, present::kColumnTitle));
  EXPECT_EQ(list.FocusedRow(), 1);
  EXPECT_EQ(list.SelectedCount(), 1u);
  EXPECT_EQ(renderer.summaries.size(), 2u);
  loop.Advance(HeadlineListView::kListDelayClickMs);
  ASSERT_EQ(renderer.summaries.size(), 3u);
  EXPECT_EQ(renderer.summaries.back(), list.Item(1));

  QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::ControlModifier, CellCenter(3, present::kColumnTitle));
  EXPECT_EQ(list.SelectedCount(), 2u);
  EXPECT_TRUE(list.IsSelected(1) && list.IsSelected(3));
  EXPECT_EQ(list.FocusedRow(), 3);
  loop.Advance(500);
  EXPECT_EQ(renderer.summaries.size(), 3u) << "several selected rows show no page";

  // Moving with the keyboard uses the keyboard's display delay.
  QTest::keyClick(&view, Qt::Key_Up);
  EXPECT_EQ(list.FocusedRow(), 2);
  EXPECT_EQ(list.SelectedCount(), 1u);
  EXPECT_EQ(list.ListDisplayDelay(), present::HeadlineList::kListDelayKeyboardMs);
  loop.Advance(present::HeadlineList::kListDelayKeyboardMs - 1);
  EXPECT_EQ(renderer.summaries.size(), 3u);
  loop.Advance(1);
  EXPECT_EQ(renderer.summaries.back(), list.Item(2));

  // Rows rebuilt by the list keep the list's selection on screen.
  list.SelectRows({0, 1}, 1);
  list.SortByColumn(present::kColumnState);
  EXPECT_EQ(ShownSelection().size(), 2u);
  EXPECT_EQ(view.currentIndex().row(), list.FocusedRow());
}

TEST_F(HeadlineListViewTest, RowKeysGoToTheListWithTheirModifiers) {
  struct Case {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    uint8_t stateAfter;
  };
  const Case cases[] = {
      {"Right", Qt::Key_Right, Qt::NoModifier, kStateRead},
      {"Left", Qt::Key_Left, Qt::NoModifier, kStateProtected},
      {"Shift+Right", Qt::Key_Right, Qt::ShiftModifier, kStateUnread},
      {"Ctrl+Left", Qt::Key_Left, Qt::ControlModifier, kStateUnread},
  };
  store::TSiteRecord* item = Add(chanA, "a", kStateUnread, 1);
  Add(chanA, "b", kStateUnread, 2);
  for (const Case& c : cases) {
    list.SelectNode(chanA);
    QTest::keyClick(&view, c.key, c.modifiers);
    EXPECT_EQ(item->read, c.stateAfter) << c.name;
    list.SelectRow(0);
    list.SetRowState(0, kStateUnread, store::Protection::kOverride);
  }

  TestPane pane;
  view.SetBrowserPane(&pane);
  // Space pages through the browser pane while it shows another page.
  QTest::keyClick(&view, Qt::Key_Space);
  EXPECT_EQ(pane.scrollTop, 500 - 80);
  // Enter while the pane shows the summary opens the row's own page and marks it read.
  pane.showsSummary = true;
  QTest::keyClick(&view, Qt::Key_Return);
  EXPECT_EQ(opener.opened, std::vector<std::string>{"http://ChanA.example/a"});
  EXPECT_EQ(item->read, kStateRead);
  // Without the pane the list answers as if it showed another page that cannot scroll:
  // Enter shows the summary again.
  view.SetBrowserPane(nullptr);
  const size_t summaries = renderer.summaries.size();
  QTest::keyClick(&view, Qt::Key_Enter);
  EXPECT_EQ(renderer.summaries.size(), summaries + 1);

  settings.DialogQues = false;
  QTest::keyClick(&view, Qt::Key_Delete);
  EXPECT_EQ(model.rowCount(), 1);
  EXPECT_EQ(ShownTitles(), std::vector<QString>{"b"});
  lock.locked = true;
  QTest::keyClick(&view, Qt::Key_Delete);
  EXPECT_EQ(model.rowCount(), 1) << "nothing is deleted while an update run locks the window";
}

TEST_F(HeadlineListViewTest, FocusStatusAndTreeRequestsReachTheWindow) {
  settings.KidokuTime = 0;
  store::TSiteRecord* item = Add(chanA, "a", kStateUnread, 1);
  Add(chanB, "b", kStateUnread, 1);
  TreeAndList window(view);
  view.SetFocusPartners(window.tree, nullptr);
  window.frame.show();
  window.frame.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window.frame));
  view.FocusTree();
  EXPECT_EQ(view.Focus(), present::FocusArea::kTree);

  // Selected while the tree has the focus: read 400 ms later; entering the list starts
  // its own 200 ms instead.
  list.SelectNode(chanA);
  view.FocusList();
  EXPECT_EQ(view.Focus(), present::FocusArea::kList);
  loop.Advance(199);
  EXPECT_EQ(item->read, kStateUnread);
  loop.Advance(1);
  EXPECT_EQ(item->read, kStateRead);

  QSignalSpy status(&view, &HeadlineListView::StatusChanged);
  list.StatusText();
  ASSERT_EQ(status.count(), 1);
  EXPECT_EQ(status.at(0).at(0).toString(), QStringLiteral(" http://ChanA.example/a"));
  EXPECT_EQ(status.at(0).at(2).toString(), QString::fromUtf8("1/1件 未読 0件"));

  // Ctrl+J's walk into the next channel asks the tree to show it.
  settings.KidokuTime = -1;
  store::TTreeNodeExt* requested = nullptr;
  QObject::connect(&view, &HeadlineListView::TreeNodeSelectionRequested, &view,
                   [&requested](store::TTreeNodeExt* node) { requested = node; });
  ASSERT_TRUE(list.SeekNextUnread(true));
  EXPECT_EQ(requested, chanB);

  QSignalSpy filters(&view, &HeadlineListView::FiltersShown);
  list.SetReadFilter(present::kReadFilterUnread);
  EXPECT_EQ(filters.count(), 1);
}

TEST_F(HeadlineListViewTest, ColumnWidthsHeaderAndGridComeFromTheSettingsAndGoBack) {
  settings.LstWidth = {90, 300, 80, 70, 60};
  settings.GridLines = true;
  settings.ListHeader = false;
  view.ApplySettings();
  EXPECT_EQ(view.columnWidth(present::kColumnState), HeadlineListView::kStateColumnWidth);
  for (int column = 1; column < 6; ++column) {
    EXPECT_EQ(view.columnWidth(column), settings.LstWidth[static_cast<size_t>(column - 1)]) << column;
  }
  EXPECT_TRUE(view.showGrid());
  EXPECT_TRUE(view.horizontalHeader()->isHidden());

  view.setColumnWidth(present::kColumnTitle, 250);
  EXPECT_EQ(view.ListColumnWidths(), (std::vector<int>{90, 250, 80, 70, 60}));
  view.StoreColumnWidths();
  EXPECT_EQ(settings.LstWidth[1], 250);
}

}  // namespace
}  // namespace ui::testing
