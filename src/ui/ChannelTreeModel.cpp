// SPDX-License-Identifier: MIT
#include "ui/ChannelTreeModel.h"

#include <QApplication>
#include <QDataStream>
#include <QFont>
#include <QIODevice>
#include <QMimeData>
#include <QStyle>
#include <algorithm>

#include "store/ChannelTree.h"
#include "store/TTreeNodeExt.h"
#include "store/TreeEditor.h"
#include "ui/QtText.h"

namespace ui {

namespace {

using store::TTreeNodeExt;

// The program has no tree images of its own yet, so each image index is shown with one of
// the style's standard icons. The Bloglines images (11 to 17) stand for a channel read
// through the service: the plain ones get the network icon, the passing states keep the
// icon of the state. A stopped subscription is paused, not broken: it gets the pause icon,
// never one that reads as an error.
struct ImageIcon {
  int imageIndex;
  QStyle::StandardPixmap pixmap;
};

constexpr ImageIcon kImageIcons[] = {
    {store::kKindGroup, QStyle::SP_DirIcon},
    {store::kKindChannel, QStyle::SP_FileIcon},
    {store::kKindStopped, QStyle::SP_MediaPause},
    {store::kKindSearch, QStyle::SP_FileDialogContentsView},
    {store::kKindErrorLog, QStyle::SP_MessageBoxWarning},
    {store::kKindUpdating, QStyle::SP_BrowserReload},
    {store::kKindError, QStyle::SP_MessageBoxCritical},
    {11, QStyle::SP_DriveNetIcon},
    {12, QStyle::SP_MediaPause},
    {13, QStyle::SP_BrowserReload},
    {14, QStyle::SP_MessageBoxCritical},
    {15, QStyle::SP_DriveNetIcon},
    {16, QStyle::SP_BrowserReload},
    {17, QStyle::SP_MessageBoxCritical},
};

const QList<int> kAllRoles = {Qt::DisplayRole, Qt::EditRole, Qt::FontRole, Qt::DecorationRole};

}  // namespace

ChannelTreeModel::ChannelTreeModel(store::TChannelTree& tree, QObject* parent)
    : QAbstractItemModel(parent), tree_(tree) {
  Rebuild();
  tree_.AddObserver(this);
}

ChannelTreeModel::~ChannelTreeModel() {
  tree_.RemoveObserver(this);
}

void ChannelTreeModel::Rebuild() {
  topLevel_.clear();
  branches_.clear();
  for (size_t i = 0; i < tree_.TopLevelCount(); ++i) {
    TTreeNodeExt* node = tree_.TopLevelNode(i);
    topLevel_.push_back(node);
    AddBranch(node);
  }
}

void ChannelTreeModel::AddBranch(TTreeNodeExt* node) {
  Branch& branch = branches_[node];
  branch.parent = node->Parent();
  branch.children.clear();
  for (size_t i = 0; i < node->ChildCount(); ++i) {
    branch.children.push_back(node->Child(i));
    AddBranch(node->Child(i));
  }
}

bool ChannelTreeModel::Knows(const TTreeNodeExt* node) const {
  return node != nullptr && branches_.count(node) != 0;
}

const std::vector<TTreeNodeExt*>& ChannelTreeModel::ChildrenOf(const TTreeNodeExt* parent) const {
  if (parent == nullptr) return topLevel_;
  return branches_.at(parent).children;
}

std::vector<TTreeNodeExt*>* ChannelTreeModel::MutableChildrenOf(const TTreeNodeExt* parent) {
  if (parent == nullptr) return &topLevel_;
  auto found = branches_.find(parent);
  return found == branches_.end() ? nullptr : &found->second.children;
}

int ChannelTreeModel::RowOf(const TTreeNodeExt* node) const {
  const std::vector<TTreeNodeExt*>& siblings = ChildrenOf(branches_.at(node).parent);
  return static_cast<int>(std::find(siblings.begin(), siblings.end(), node) - siblings.begin());
}

TTreeNodeExt* ChannelTreeModel::NodeAt(const QModelIndex& index) const {
  if (!index.isValid() || index.model() != this) return nullptr;
  return static_cast<TTreeNodeExt*>(index.internalPointer());
}

QModelIndex ChannelTreeModel::IndexOf(const TTreeNodeExt* node) const {
  if (!Knows(node)) return QModelIndex();
  return createIndex(RowOf(node), 0, const_cast<TTreeNodeExt*>(node));
}

QModelIndex ChannelTreeModel::index(int row, int column, const QModelIndex& parent) const {
  if (column != 0 || row < 0 || (parent.isValid() && parent.column() != 0)) return QModelIndex();
  const TTreeNodeExt* parentNode = NodeAt(parent);
  if (parent.isValid() && !Knows(parentNode)) return QModelIndex();
  const std::vector<TTreeNodeExt*>& children = ChildrenOf(parentNode);
  if (static_cast<size_t>(row) >= children.size()) return QModelIndex();
  return createIndex(row, 0, children[static_cast<size_t>(row)]);
}

QModelIndex ChannelTreeModel::parent(const QModelIndex& child) const {
  const TTreeNodeExt* node = NodeAt(child);
  if (!Knows(node)) return QModelIndex();
  return IndexOf(branches_.at(node).parent);
}

int ChannelTreeModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(topLevel_.size());
  const TTreeNodeExt* node = NodeAt(parent);
  if (parent.column() != 0 || !Knows(node)) return 0;
  return static_cast<int>(branches_.at(node).children.size());
}

int ChannelTreeModel::columnCount(const QModelIndex& /*parent*/) const {
  return 1;
}

QIcon ChannelTreeModel::IconFor(int imageIndex) const {
  // The style reads its icons from image files each time it is asked, and an update run
  // repaints rows thousands of times a second: each icon is made once.
  const auto kept = icons_.find(imageIndex);
  if (kept != icons_.end()) return kept->second;
  QIcon icon;
  for (const ImageIcon& entry : kImageIcons) {
    if (entry.imageIndex == imageIndex) icon = QApplication::style()->standardIcon(entry.pixmap);
  }
  icons_.emplace(imageIndex, icon);
  return icon;
}

QVariant ChannelTreeModel::data(const QModelIndex& index, int role) const {
  const TTreeNodeExt* node = NodeAt(index);
  if (!Knows(node)) return QVariant();
  switch (role) {
    case Qt::DisplayRole:
      return ToQString(tree_.DisplayedCaption(node));
    case Qt::EditRole:
      return ToQString(node->Caption());
    case Qt::FontRole: {
      if (!node->Bold()) return QVariant();
      // Only the weight is set, so the view's own family and size stay.
      QFont font;
      font.setBold(true);
      return font;
    }
    case Qt::DecorationRole:
      return IconFor(node->ImageIndex());
    default:
      return QVariant();
  }
}

bool ChannelTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  TTreeNodeExt* node = NodeAt(index);
  if (role != Qt::EditRole || !Knows(node) || editor_ == nullptr || !editor_->CanRename(node)) return false;
  if (renaming_ == node) renaming_ = nullptr;
  const bool changed = editor_->RenameNode(node, FromQString(value.toString()));
  // The editor's end of the edit brings the counts back on every row.
  RepaintAll();
  return changed;
}

Qt::ItemFlags ChannelTreeModel::flags(const QModelIndex& index) const {
  const TTreeNodeExt* node = NodeAt(index);
  if (!Knows(node)) return Qt::NoItemFlags;
  Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (editor_ == nullptr) return flags;
  if (editor_->CanRename(node)) flags |= Qt::ItemIsEditable;
  // A node that could be dropped on RootNode may be dragged at all; whether a particular
  // row takes it is decided while it is dragged.
  if (editor_->CanDrop(node, tree_.RootNode())) flags |= Qt::ItemIsDragEnabled;
  if (!node->Deleting() && node->IsSameOrBelow(tree_.RootNode())) flags |= Qt::ItemIsDropEnabled;
  return flags;
}

QStringList ChannelTreeModel::mimeTypes() const {
  return {QString::fromLatin1(kNodeMimeType)};
}

QMimeData* ChannelTreeModel::mimeData(const QModelIndexList& indexes) const {
  // One node is dragged at a time: the tree selects a single node.
  const TTreeNodeExt* node = indexes.isEmpty() ? nullptr : NodeAt(indexes.front());
  if (!Knows(node)) return nullptr;
  QByteArray payload;
  QDataStream stream(&payload, QIODevice::WriteOnly);
  stream << static_cast<qint64>(QCoreApplication::applicationPid())
         << static_cast<quint64>(reinterpret_cast<quintptr>(this))
         << static_cast<quint64>(reinterpret_cast<quintptr>(node));
  auto* mime = new QMimeData;
  mime->setData(QString::fromLatin1(kNodeMimeType), payload);
  return mime;
}

TTreeNodeExt* ChannelTreeModel::NodeFromMime(const QMimeData* data) const {
  if (data == nullptr || !data->hasFormat(QString::fromLatin1(kNodeMimeType))) return nullptr;
  QByteArray payload = data->data(QString::fromLatin1(kNodeMimeType));
  QDataStream stream(&payload, QIODevice::ReadOnly);
  qint64 pid = 0;
  quint64 model = 0;
  quint64 address = 0;
  stream >> pid >> model >> address;
  if (stream.status() != QDataStream::Ok || pid != QCoreApplication::applicationPid() ||
      model != static_cast<quint64>(reinterpret_cast<quintptr>(this))) {
    return nullptr;
  }
  // The address is only looked up, never followed, until it is known to be a live node of
  // this tree.
  auto found = branches_.find(reinterpret_cast<const TTreeNodeExt*>(static_cast<quintptr>(address)));
  return found == branches_.end() ? nullptr : const_cast<TTreeNodeExt*>(found->first);
}

bool ChannelTreeModel::CanDropAt(const TTreeNodeExt* node, const QModelIndex& target,
                                 store::DropPosition position) const {
  const TTreeNodeExt* targetNode = NodeAt(target);
  if (editor_ == nullptr || node == nullptr || !Knows(targetNode) || position == store::DropPosition::kNone) {
    return false;
  }
  // Before and after need the target's parent; the top-level row takes drops only into it.
  if (position != store::DropPosition::kInto && targetNode->Parent() == nullptr) return false;
  return editor_->CanDrop(node, targetNode);
}

bool ChannelTreeModel::DropNode(const QMimeData* data, const QModelIndex& target, store::DropPosition position) {
  TTreeNodeExt* node = NodeFromMime(data);
  if (!CanDropAt(node, target, position)) return false;
  return editor_->MoveNode(node, NodeAt(target), position);
}

namespace {

// Qt's drop place (a row under a parent, or the parent itself for row -1) in the tree
// editor's terms: in front of the child at that row, behind the last child, or into the
// parent as its first child.
std::pair<QModelIndex, store::DropPosition> EditorDropPlace(const QAbstractItemModel& model, int row,
                                                            const QModelIndex& parent) {
  if (row < 0) return {parent, store::DropPosition::kInto};
  const int count = model.rowCount(parent);
  if (row < count) return {model.index(row, 0, parent), store::DropPosition::kBefore};
  if (count == 0) return {parent, store::DropPosition::kInto};
  return {model.index(count - 1, 0, parent), store::DropPosition::kAfter};
}

}  // namespace

bool ChannelTreeModel::canDropMimeData(const QMimeData* data, Qt::DropAction action, int row, int /*column*/,
                                       const QModelIndex& parent) const {
  if (action != Qt::MoveAction) return false;
  auto [target, position] = EditorDropPlace(*this, row, parent);
  return CanDropAt(NodeFromMime(data), target, position);
}

bool ChannelTreeModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int /*column*/,
                                    const QModelIndex& parent) {
  if (action != Qt::MoveAction) return false;
  auto [target, position] = EditorDropPlace(*this, row, parent);
  return DropNode(data, target, position);
}

void ChannelTreeModel::BeginCaptionEdit(TTreeNodeExt* node) {
  renaming_ = node;
  RepaintAll();
}

void ChannelTreeModel::EndCaptionEdit() {
  if (renaming_ != nullptr && editor_ != nullptr) {
    TTreeNodeExt* node = renaming_;
    renaming_ = nullptr;
    editor_->RenameNode(node, std::nullopt);
  }
  RepaintAll();
}

void ChannelTreeModel::RepaintChildren(const TTreeNodeExt* parent) {
  const std::vector<TTreeNodeExt*>& children = ChildrenOf(parent);
  if (children.empty()) return;
  emit dataChanged(IndexOf(children.front()), IndexOf(children.back()), kAllRoles);
  for (const TTreeNodeExt* child : children) RepaintChildren(child);
}

void ChannelTreeModel::RepaintAll() {
  RepaintChildren(nullptr);
}

void ChannelTreeModel::RowChanged(const TTreeNodeExt* node, const QList<int>& roles) {
  const QModelIndex index = IndexOf(node);
  if (index.isValid()) emit dataChanged(index, index, roles);
}

void ChannelTreeModel::NodeAdded(TTreeNodeExt* node) {
  TTreeNodeExt* parent = node->Parent();
  std::vector<TTreeNodeExt*>* siblings = MutableChildrenOf(parent);
  if (siblings == nullptr || Knows(node)) return;
  size_t row = 0;
  if (parent != nullptr) {
    row = static_cast<size_t>(node->IndexInParent());
  } else {
    while (row < tree_.TopLevelCount() && tree_.TopLevelNode(row) != node) ++row;
  }
  row = std::min(row, siblings->size());
  beginInsertRows(IndexOf(parent), static_cast<int>(row), static_cast<int>(row));
  siblings->insert(siblings->begin() + static_cast<std::ptrdiff_t>(row), node);
  branches_[node] = Branch{parent, {}};
  endInsertRows();
}

void ChannelTreeModel::NodeRemoving(TTreeNodeExt* node) {
  if (!Knows(node)) return;
  if (removing_.empty()) {
    // The top of the deleted subtree: its row goes, the rows below it with it.
    beginRemoveRows(IndexOf(branches_.at(node).parent), RowOf(node), RowOf(node));
  }
  removing_.push_back(node);
  if (renaming_ == node) {
    // The edit cannot end through the editor any more; the tree shows counts again.
    renaming_ = nullptr;
    tree_.SetCaptionEditing(false);
  }
}

void ChannelTreeModel::NodeRemoved(TTreeNodeExt* /*parent*/, size_t /*index*/) {
  if (removing_.empty()) return;
  TTreeNodeExt* top = removing_.front();
  std::vector<TTreeNodeExt*>* siblings = MutableChildrenOf(branches_.at(top).parent);
  siblings->erase(std::find(siblings->begin(), siblings->end(), top));
  for (const TTreeNodeExt* node : removing_) branches_.erase(node);
  removing_.clear();
  endRemoveRows();
}

void ChannelTreeModel::NodeMoved(TTreeNodeExt* node, TTreeNodeExt* /*oldParent*/, size_t /*oldIndex*/) {
  TTreeNodeExt* newParent = node->Parent();
  if (!Knows(node) || MutableChildrenOf(newParent) == nullptr) return;
  TTreeNodeExt* oldParent = branches_.at(node).parent;
  const int oldRow = RowOf(node);
  const int newRow = static_cast<int>(node->IndexInParent());
  // Qt counts the destination among the rows before the move.
  const int destination = (oldParent == newParent && newRow > oldRow) ? newRow + 1 : newRow;
  if (!beginMoveRows(IndexOf(oldParent), oldRow, oldRow, IndexOf(newParent), destination)) return;
  std::vector<TTreeNodeExt*>* oldSiblings = MutableChildrenOf(oldParent);
  oldSiblings->erase(oldSiblings->begin() + oldRow);
  std::vector<TTreeNodeExt*>* newSiblings = MutableChildrenOf(newParent);
  newSiblings->insert(
      newSiblings->begin() + std::min<std::ptrdiff_t>(newRow, static_cast<std::ptrdiff_t>(newSiblings->size())), node);
  branches_.at(node).parent = newParent;
  endMoveRows();
}

void ChannelTreeModel::CaptionChanged(TTreeNodeExt* node) {
  RowChanged(node, {Qt::DisplayRole, Qt::EditRole});
}

void ChannelTreeModel::KindChanged(TTreeNodeExt* node) {
  RowChanged(node, {Qt::DecorationRole, Qt::DisplayRole});
}

void ChannelTreeModel::CountsChanged(TTreeNodeExt* node) {
  RowChanged(node, {Qt::DisplayRole});
}

void ChannelTreeModel::BoldChanged(TTreeNodeExt* node) {
  RowChanged(node, {Qt::FontRole});
}

void ChannelTreeModel::ExpandedChanged(TTreeNodeExt* node) {
  const QModelIndex index = IndexOf(node);
  if (index.isValid()) emit nodeExpansionChanged(index, node->Expanded());
}

void ChannelTreeModel::BulkUpdateEnded() {
  // Nodes are added, moved and removed with their own signals even under the paint lock;
  // only the counts were held back, so a repaint of every row is all that is missing.
  RepaintAll();
}

}  // namespace ui
