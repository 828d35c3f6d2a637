// SPDX-License-Identifier: MIT
// The channel tree model: what each row shows, and the exact signals that keep a view in
// step while the store's tree changes under it.
#include <QFont>
#include <QIcon>
#include <QMimeData>
#include <QSignalSpy>
#include <set>

#include "ChannelTreeFixture.h"
#include "ui/QtText.h"

namespace ui {
namespace {

using store::DropPosition;
using store::TTreeNodeExt;

class ChannelTreeModelTest : public ChannelTreeFixture {
 protected:
  // The model's rows must be the store's tree, node for node, in order.
  void ExpectMirrors(const QModelIndex& parent, const std::vector<TTreeNodeExt*>& nodes) {
    ASSERT_EQ(model->rowCount(parent), static_cast<int>(nodes.size()));
    for (size_t i = 0; i < nodes.size(); ++i) {
      const QModelIndex index = model->index(static_cast<int>(i), 0, parent);
      ASSERT_EQ(model->NodeAt(index), nodes[i]) << "row " << i;
      std::vector<TTreeNodeExt*> children;
      for (size_t c = 0; c < nodes[i]->ChildCount(); ++c) children.push_back(nodes[i]->Child(c));
      ExpectMirrors(index, children);
    }
  }
  void ExpectMirrorsStore() {
    std::vector<TTreeNodeExt*> top;
    for (size_t i = 0; i < store.Tree().TopLevelCount(); ++i) top.push_back(store.Tree().TopLevelNode(i));
    ExpectMirrors(QModelIndex(), top);
  }

  // The rows one batch of dataChanged signals touched; every signal must cover one row.
  std::multiset<const TTreeNodeExt*> ChangedRows(const QSignalSpy& spy) {
    std::multiset<const TTreeNodeExt*> rows;
    for (const QList<QVariant>& signal : spy) {
      const QModelIndex first = signal.at(0).toModelIndex();
      EXPECT_EQ(first, signal.at(1).toModelIndex()) << "a signal covered more than one row";
      rows.insert(model->NodeAt(first));
    }
    return rows;
  }
};

TEST_F(ChannelTreeModelTest, ShowsTheStoresCaptionsCountsBoldAndImages) {
  ExpectMirrorsStore();
  EXPECT_EQ(Shown(Root()), QString::fromUtf8("ヘッドライン (4/13)"));
  EXPECT_EQ(Shown(news), QString::fromUtf8("ニュース (3/12)"));
  EXPECT_EQ(Shown(feed), QString::fromUtf8("日本語チャンネル (3/12)"));
  EXPECT_EQ(model->IndexOf(feed).data(Qt::EditRole).toString(), QString::fromUtf8("日本語チャンネル"));
  EXPECT_EQ(Shown(search), QString::fromUtf8("query"));

  EXPECT_TRUE(model->IndexOf(news).data(Qt::FontRole).value<QFont>().bold());
  store::SetItemState(context, other->Data()->Items().front().get(), store::kStateRead, store::Protection::kOverride);
  EXPECT_FALSE(model->IndexOf(groupB).data(Qt::FontRole).value<QFont>().bold());

  for (const TTreeNodeExt* node : {Root(), feed, search}) {
    EXPECT_FALSE(model->IndexOf(node).data(Qt::DecorationRole).value<QIcon>().isNull());
  }

  // The error log stands beside RootNode and is neither renamed nor dragged nor a target.
  TTreeNodeExt* errorLog = store.Tree().EnsureErrorLogNode();
  ASSERT_EQ(model->rowCount(), 2);
  EXPECT_EQ(model->index(1, 0).data().toString(), QString::fromUtf8("エラーログ"));
  const Qt::ItemFlags logFlags = model->flags(model->IndexOf(errorLog));
  EXPECT_FALSE(logFlags & (Qt::ItemIsEditable | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled));
  const Qt::ItemFlags rootFlags = model->flags(model->IndexOf(Root()));
  EXPECT_FALSE(rootFlags & (Qt::ItemIsEditable | Qt::ItemIsDragEnabled));
  EXPECT_TRUE(rootFlags & Qt::ItemIsDropEnabled);
  EXPECT_TRUE(model->flags(model->IndexOf(feed)) & (Qt::ItemIsEditable | Qt::ItemIsDragEnabled));
}

TEST_F(ChannelTreeModelTest, CountsRepaintExactlyTheRowsThatChanged) {
  QSignalSpy spy(model.get(), &QAbstractItemModel::dataChanged);
  store::SetItemState(context, feed->Data()->Items().front().get(), store::kStateRead, store::Protection::kOverride);
  EXPECT_EQ(ChangedRows(spy), (std::multiset<const TTreeNodeExt*>{feed, news, Root()}));
  EXPECT_EQ(Shown(feed), QString::fromUtf8("日本語チャンネル (2/12)"));

  // The last unread item of B's channel also takes the bold state off it and off B.
  spy.clear();
  store::SetItemState(context, other->Data()->Items().front().get(), store::kStateRead, store::Protection::kOverride);
  EXPECT_EQ(ChangedRows(spy), (std::multiset<const TTreeNodeExt*>{other, other, groupB, groupB, Root()}));

  // Under the paint lock counts are held back; its end repaints every row once.
  spy.clear();
  store.Tree().LockTreePaint(true);
  store::SetItemState(context, feed->Data()->Items().back().get(), store::kStateUnread, store::Protection::kOverride);
  EXPECT_EQ(spy.count(), 0);
  store.Tree().LockTreePaint(false);
  EXPECT_EQ(Shown(feed), QString::fromUtf8("日本語チャンネル (3/12)"));
  std::set<const TTreeNodeExt*> repainted;
  for (const QList<QVariant>& signal : spy) {
    const QModelIndex first = signal.at(0).toModelIndex();
    for (int row = first.row(); row <= signal.at(1).toModelIndex().row(); ++row) {
      repainted.insert(model->NodeAt(model->index(row, 0, first.parent())));
    }
  }
  EXPECT_EQ(repainted, (std::set<const TTreeNodeExt*>{Root(), news, feed, groupB, other, search}));
}

TEST_F(ChannelTreeModelTest, FollowsAddsMovesAndDeletesWithTheTesterWatching) {
  QPersistentModelIndex otherRow = model->IndexOf(other);
  TTreeNodeExt* added = editor.CreateGroupNode(feed, false);  // in front of the channel
  ASSERT_NE(added, nullptr);
  ExpectMirrorsStore();
  editor.RenameNode(added, std::nullopt);  // no view here to edit the new caption

  // Into a group, down among the same parent's rows (Qt counts the old rows), and up.
  ASSERT_TRUE(editor.MoveNode(other, news, DropPosition::kInto));
  ExpectMirrorsStore();
  EXPECT_EQ(QModelIndex(otherRow), model->IndexOf(other));
  QPersistentModelIndex newsRow = model->IndexOf(news);
  QPersistentModelIndex searchRow = model->IndexOf(search);
  ASSERT_TRUE(editor.MoveNode(news, search, DropPosition::kAfter));
  ExpectMirrorsStore();
  // What a view holds on to (its current row, its open rows) moves along exactly.
  EXPECT_EQ(QModelIndex(newsRow), model->IndexOf(news));
  EXPECT_EQ(QModelIndex(searchRow), model->IndexOf(search));
  ASSERT_TRUE(editor.MoveNode(search, groupB, DropPosition::kBefore));
  ExpectMirrorsStore();
  EXPECT_EQ(Shown(groupB), QString::fromUtf8("B"));
  EXPECT_EQ(Shown(news), QString::fromUtf8("ニュース (4/13)"));

  // A whole subtree goes with one removal of its top row.
  QSignalSpy removals(model.get(), &QAbstractItemModel::rowsRemoved);
  dialogs.Answer(true);
  ASSERT_TRUE(editor.DeleteNode(news));
  EXPECT_EQ(removals.count(), 1);
  EXPECT_FALSE(otherRow.isValid());
  ExpectMirrorsStore();
  EXPECT_EQ(Shown(Root()), QString::fromUtf8("ヘッドライン"));

  store.Tree().EnsureErrorLogNode();
  ExpectMirrorsStore();
  dialogs.Answer(true);
  ASSERT_TRUE(editor.DeleteNode(store.Tree().ErrorLogNode()));
  ExpectMirrorsStore();
  store.ClearUserTree();
  ExpectMirrorsStore();
}

TEST_F(ChannelTreeModelTest, RenamesThroughSetDataOnlyWhereTheEditorAllows) {
  const QString renamed = QString::fromUtf8("新しい名前");
  EXPECT_TRUE(model->setData(model->IndexOf(feed), renamed));
  EXPECT_EQ(feed->Caption(), text::J("新しい名前"));
  EXPECT_TRUE(store.DataModified());
  EXPECT_EQ(Shown(feed), QString::fromUtf8("新しい名前 (3/12)"));
  EXPECT_FALSE(model->setData(model->IndexOf(feed), renamed));  // the same caption changes nothing

  EXPECT_FALSE(model->setData(model->IndexOf(Root()), renamed));
  EXPECT_EQ(Root()->Caption(), text::J("ヘッドライン"));
  lock.locked = true;  // an update run holds the user interface
  EXPECT_FALSE(model->flags(model->IndexOf(news)) & Qt::ItemIsEditable);
  EXPECT_FALSE(model->setData(model->IndexOf(news), renamed));
  EXPECT_EQ(news->Caption(), text::J("ニュース"));
}

TEST_F(ChannelTreeModelTest, DropsOnlyWhatTheEditorAcceptsFromThisModel) {
  std::unique_ptr<QMimeData> dragged(model->mimeData({model->IndexOf(news)}));
  ASSERT_EQ(model->NodeFromMime(dragged.get()), news);
  for (DropPosition position : {DropPosition::kBefore, DropPosition::kInto, DropPosition::kAfter}) {
    EXPECT_FALSE(model->DropNode(dragged.get(), model->IndexOf(feed), position));
  }
  EXPECT_FALSE(model->DropNode(dragged.get(), model->IndexOf(news), DropPosition::kInto));
  EXPECT_FALSE(model->DropNode(dragged.get(), model->IndexOf(Root()), DropPosition::kBefore));
  EXPECT_EQ(news->Parent(), Root());

  // Another model's drag names no node of this one.
  ChannelTreeModel otherModel(store.Tree());
  EXPECT_EQ(otherModel.NodeFromMime(dragged.get()), nullptr);

  // Qt's own drop place: row -1 under a parent is into it.
  EXPECT_TRUE(model->dropMimeData(dragged.get(), Qt::MoveAction, -1, 0, model->IndexOf(groupB)));
  EXPECT_EQ(groupB->FirstChild(), news);
  ExpectMirrorsStore();

  // A node deleted while it was dragged is not followed.
  std::unique_ptr<QMimeData> stale(model->mimeData({model->IndexOf(other)}));
  dialogs.Answer(true);
  ASSERT_TRUE(editor.DeleteNode(other));
  EXPECT_EQ(model->NodeFromMime(stale.get()), nullptr);
  EXPECT_FALSE(model->dropMimeData(stale.get(), Qt::MoveAction, 0, 0, model->IndexOf(Root())));
}

}  // namespace
}  // namespace ui
