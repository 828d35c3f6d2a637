// SPDX-License-Identifier: MIT
// The channel tree view: the keys that rename and delete, the drag with its insertion
// mark, auto-expand and drop, and the expansion kept in step with the store.
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScrollBar>
#include <QTest>

#include "ChannelTreeFixture.h"
#include "support/ManualEventLoop.h"
#include "ui/ChannelTreeView.h"

namespace ui {
namespace {

using store::DropPosition;
using store::TTreeNodeExt;

class ChannelTreeViewTest : public ChannelTreeFixture {
 protected:
  ChannelTreeViewTest() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    view.resize(300, 400);
    view.show();
    QCoreApplication::processEvents();
  }

  QPoint RowPoint(const TTreeNodeExt* node, double fraction) {
    const QRect row = view.visualRect(model->IndexOf(node));
    return QPoint(row.center().x(), row.top() + static_cast<int>(row.height() * fraction));
  }

  void Drag(QEvent::Type type, const QPoint& at, const QMimeData* mime) {
    if (type == QEvent::DragEnter) {
      QDragEnterEvent event(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(view.viewport(), &event);
    } else if (type == QEvent::DragMove) {
      QDragMoveEvent event(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(view.viewport(), &event);
      lastAccepted = event.isAccepted();
    } else {
      QDropEvent event(at, Qt::MoveAction, mime, Qt::LeftButton, Qt::NoModifier);
      QCoreApplication::sendEvent(view.viewport(), &event);
      lastAccepted = event.isAccepted();
    }
  }

  // The open caption editor (closed ones linger until their deferred deletion).
  QLineEdit* CaptionEditor() {
    for (QLineEdit* line : view.findChildren<QLineEdit*>()) {
      if (line->isVisible()) return line;
    }
    return nullptr;
  }

  // The program opens RootNode at start-up; the fixture does the same before the view.
  bool rootOpen = (store.Tree().SetExpanded(Root(), true), true);
  testsupport::ManualEventLoop loop;
  ChannelTreeView view{*model, loop};
  bool lastAccepted = false;
};

TEST_F(ChannelTreeViewTest, KeepsExpansionInStepWithTheStoreBothWays) {
  view.expand(model->IndexOf(news));
  EXPECT_TRUE(news->Expanded());
  view.collapse(model->IndexOf(news));
  EXPECT_FALSE(news->Expanded());
  store.Tree().SetExpanded(groupB, true);
  EXPECT_TRUE(view.isExpanded(model->IndexOf(groupB)));

  // A view made later opens what the store has open; selecting from outside opens the
  // ancestors and reports the node.
  ChannelTreeView second(*model, loop);
  EXPECT_TRUE(second.isExpanded(model->IndexOf(groupB)));
  std::vector<TTreeNodeExt*> selected;
  QObject::connect(&view, &ChannelTreeView::nodeSelected, [&](TTreeNodeExt* node) { selected.push_back(node); });
  view.SelectNode(feed);
  EXPECT_TRUE(news->Expanded());
  EXPECT_EQ(selected, std::vector<TTreeNodeExt*>{feed});
}

TEST_F(ChannelTreeViewTest, TreeOpenByFocusOpensTheFocusedGroupAndClosesTheOneLeft) {
  settings.TreeOpen = 2;
  view.SelectNode(news);
  EXPECT_TRUE(news->Expanded());
  view.SelectNode(feed);  // inside the group: it stays open
  EXPECT_TRUE(news->Expanded());
  view.SelectNode(news);
  view.SelectNode(groupB);
  EXPECT_FALSE(news->Expanded());
  EXPECT_TRUE(groupB->Expanded());
}

TEST_F(ChannelTreeViewTest, RenameKeysEditInPlaceAndEndThroughTheEditor) {
  view.SelectNode(feed);
  QTest::keyClick(&view, Qt::Key_F2);
  ASSERT_TRUE(view.IsEditing());
  EXPECT_EQ(Shown(news), QString::fromUtf8("ニュース"));  // bare captions while editing
  auto* line = CaptionEditor();
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->text(), QString::fromUtf8("日本語チャンネル"));
  line->setText(QString::fromUtf8("改名"));
  QTest::keyClick(line, Qt::Key_Return);
  QCoreApplication::processEvents();
  EXPECT_EQ(feed->Caption(), text::J("改名"));
  EXPECT_FALSE(store.Tree().CaptionEditing());
  EXPECT_EQ(Shown(news), QString::fromUtf8("ニュース (3/12)"));

  // Ctrl+A, then Escape: nothing changes and the counts come back.
  QTest::keyClick(&view, Qt::Key_A, Qt::ControlModifier);
  ASSERT_TRUE(view.IsEditing());
  line = CaptionEditor();
  ASSERT_NE(line, nullptr);
  line->setText(QString::fromUtf8("捨てる"));
  QTest::keyClick(line, Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_EQ(feed->Caption(), text::J("改名"));
  EXPECT_FALSE(store.Tree().CaptionEditing());

  // RootNode is never renamed.
  view.SelectNode(Root());
  QTest::keyClick(&view, Qt::Key_F2);
  EXPECT_FALSE(view.IsEditing());
  EXPECT_FALSE(store.Tree().CaptionEditing());
}

// The tree editor's host as the window's tree pane is to it: the editor selects a new
// node and edits its caption in the view.
class ViewEditHost : public store::TreeEditHost {
 public:
  explicit ViewEditHost(ChannelTreeView& view) : view_(view) {}
  void SelectNode(TTreeNodeExt* node) override { view_.SelectNode(node); }
  void StartCaptionEdit(TTreeNodeExt* node) override { view_.StartCaptionEdit(node); }

 private:
  ChannelTreeView& view_;
};

TEST_F(ChannelTreeViewTest, NewGroupOpensItsCaptionEditorThroughTheHost) {
  ViewEditHost treeHost(view);
  store::TreeEditor treeEditor(context, dialogs, searchCount, treeHost, lock);
  model->SetTreeEditor(&treeEditor);
  TTreeNodeExt* group = treeEditor.CreateGroupNode(news, false);
  ASSERT_NE(group, nullptr);
  EXPECT_EQ(view.CurrentNode(), group);
  ASSERT_TRUE(view.IsEditing());
  auto* line = CaptionEditor();
  ASSERT_NE(line, nullptr);
  EXPECT_EQ(line->text(), QString::fromUtf8("新しいグループ"));
  QTest::keyClick(line, Qt::Key_Escape);
  QCoreApplication::processEvents();
  EXPECT_FALSE(store.Tree().CaptionEditing());
  model->SetTreeEditor(&editor);
}

TEST_F(ChannelTreeViewTest, DeleteKeyAsksTheEditor) {
  view.SelectNode(feed);
  dialogs.Answer(false);
  QTest::keyClick(&view, Qt::Key_Delete);
  EXPECT_EQ(news->ChildCount(), 1u);
  dialogs.Answer(true);
  QTest::keyClick(&view, Qt::Key_Delete);
  EXPECT_EQ(news->ChildCount(), 0u);
  EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(ChannelTreeViewTest, DropPositionsFollowTheRowsThirds) {
  struct Case {
    TTreeNodeExt* node;
    double fraction;
    DropPosition expected;
  };
  for (const Case& c : {Case{news, 0.1, DropPosition::kBefore}, Case{news, 0.5, DropPosition::kInto},
                        Case{news, 0.9, DropPosition::kAfter}, Case{search, 0.3, DropPosition::kBefore},
                        Case{search, 0.8, DropPosition::kAfter}, Case{Root(), 0.1, DropPosition::kInto}}) {
    auto [index, position] = view.DropTargetAt(RowPoint(c.node, c.fraction));
    EXPECT_EQ(model->NodeAt(index), c.node);
    EXPECT_EQ(position, c.expected) << c.node->Caption() << " at " << c.fraction;
  }
}

TEST_F(ChannelTreeViewTest, DragShowsTheMarkOpensARestingGroupAndDrops) {
  std::unique_ptr<QMimeData> mime(model->mimeData({model->IndexOf(search)}));
  Drag(QEvent::DragEnter, RowPoint(news, 0.5), mime.get());
  Drag(QEvent::DragMove, RowPoint(news, 0.5), mime.get());
  EXPECT_TRUE(lastAccepted);
  EXPECT_EQ(view.InsertionMark(), std::make_pair(QModelIndex(model->IndexOf(news)), DropPosition::kInto));

  // The group opens once the pointer has rested on it for 1.5 s.
  loop.Advance(ChannelTreeView::kAutoExpandMs - 1);
  EXPECT_FALSE(news->Expanded());
  loop.Advance(1);
  EXPECT_TRUE(news->Expanded());

  // Moving to another row starts the wait again.
  Drag(QEvent::DragMove, RowPoint(groupB, 0.5), mime.get());
  loop.Advance(ChannelTreeView::kAutoExpandMs / 2);
  Drag(QEvent::DragMove, RowPoint(news, 0.5), mime.get());
  loop.Advance(ChannelTreeView::kAutoExpandMs / 2);
  Drag(QEvent::DragMove, RowPoint(groupB, 0.5), mime.get());
  loop.Advance(ChannelTreeView::kAutoExpandMs - 1);
  EXPECT_FALSE(groupB->Expanded());

  Drag(QEvent::Drop, RowPoint(feed, 0.9), mime.get());
  EXPECT_TRUE(lastAccepted);
  EXPECT_EQ(feed->NextSibling(), search);
  EXPECT_EQ(view.InsertionMark().second, DropPosition::kNone);
}

TEST_F(ChannelTreeViewTest, DragOntoItsOwnChildShowsNoMarkAndDropsNothing) {
  view.expand(model->IndexOf(news));
  std::unique_ptr<QMimeData> mime(model->mimeData({model->IndexOf(news)}));
  Drag(QEvent::DragEnter, RowPoint(feed, 0.5), mime.get());
  Drag(QEvent::DragMove, RowPoint(feed, 0.2), mime.get());
  EXPECT_FALSE(lastAccepted);
  EXPECT_FALSE(view.InsertionMark().first.isValid());
  Drag(QEvent::Drop, RowPoint(feed, 0.2), mime.get());
  EXPECT_FALSE(lastAccepted);
  EXPECT_EQ(news->Parent(), Root());
}

TEST_F(ChannelTreeViewTest, ScrollsALineAtATimeNearTheEdges) {
  for (int i = 0; i < 40; ++i) Channel(groupB, "Filler" + std::to_string(i), 0, 1);
  view.expand(model->IndexOf(groupB));
  QCoreApplication::processEvents();
  ASSERT_GT(view.verticalScrollBar()->maximum(), 2);
  std::unique_ptr<QMimeData> mime(model->mimeData({model->IndexOf(search)}));
  const QPoint nearBottom(10, view.viewport()->height() - 2);
  Drag(QEvent::DragEnter, nearBottom, mime.get());
  Drag(QEvent::DragMove, nearBottom, mime.get());
  loop.Advance(ChannelTreeView::kAutoScrollMs * 2);
  EXPECT_EQ(view.verticalScrollBar()->value(), 2);
  const QPoint middle(10, view.viewport()->height() / 2);
  Drag(QEvent::DragMove, middle, mime.get());
  loop.Advance(ChannelTreeView::kAutoScrollMs * 3);
  EXPECT_EQ(view.verticalScrollBar()->value(), 2);
}

}  // namespace
}  // namespace ui
