// SPDX-License-Identifier: MIT
#include "ui/ChannelTreeView.h"

#include <QDragEnterEvent>
#include <QDragLeaveEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QUrl>

#include "store/ChannelTree.h"
#include "store/TTreeNodeExt.h"
#include "store/TreeEditor.h"
#include "ui/ChannelTreeModel.h"

namespace ui {

using store::DropPosition;
using store::TTreeNodeExt;

ChannelTreeView::ChannelTreeView(ChannelTreeModel& model, platform::EventLoop& loop, QWidget* parent)
    : QTreeView(parent),
      model_(model),
      expandTimer_(loop, kAutoExpandMs, platform::TimerKind::kOnce, [this] { ExpandHoveredGroup(); }),
      scrollTimer_(loop, kAutoScrollMs, platform::TimerKind::kRepeating, [this] { AutoScrollStep(); }) {
  setModel(&model_);
  setHeaderHidden(true);
  // Every row is one line high: a changed count repaints its row without the view
  // measuring the rows around it.
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  // Editing starts only through the tree editor's rules (F2, Ctrl+A, a new group).
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setDragEnabled(true);
  setAcceptDrops(true);
  setDragDropMode(QAbstractItemView::DragDrop);
  setDefaultDropAction(Qt::MoveAction);
  // The insertion mark, the auto-scroll and the auto-expand follow the tree's own rules
  // below, so Qt's are off.
  setDropIndicatorShown(false);
  setAutoScroll(false);
  setAutoExpandDelay(-1);

  store::TChannelTree& tree = model_.Tree();
  connect(this, &QTreeView::expanded, this, [this, &tree](const QModelIndex& index) {
    if (TTreeNodeExt* node = model_.NodeAt(index)) tree.SetExpanded(node, true);
  });
  connect(this, &QTreeView::collapsed, this, [this, &tree](const QModelIndex& index) {
    if (TTreeNodeExt* node = model_.NodeAt(index)) tree.SetExpanded(node, false);
  });
  connect(&model_, &ChannelTreeModel::nodeExpansionChanged, this,
          [this](const QModelIndex& index, bool expanded) { setExpanded(index, expanded); });
  connect(&model_, &QAbstractItemModel::modelReset, this, &ChannelTreeView::ApplyStoredExpansion);
  ApplyStoredExpansion();
}

ChannelTreeView::~ChannelTreeView() = default;

TTreeNodeExt* ChannelTreeView::CurrentNode() const {
  return model_.NodeAt(currentIndex());
}

void ChannelTreeView::ApplyStoredExpansion() {
  ApplyExpansionBelow(QModelIndex());
}

void ChannelTreeView::ApplyExpansionBelow(const QModelIndex& parent) {
  for (int row = 0; row < model_.rowCount(parent); ++row) {
    const QModelIndex index = model_.index(row, 0, parent);
    if (const TTreeNodeExt* node = model_.NodeAt(index); node != nullptr && node->Expanded()) expand(index);
    ApplyExpansionBelow(index);
  }
}

void ChannelTreeView::SelectNode(TTreeNodeExt* node) {
  const QModelIndex index = model_.IndexOf(node);
  if (!index.isValid()) return;
  // Scrolling to a node opens its ancestors, as selecting it in the tree always did.
  scrollTo(index);
  setCurrentIndex(index);
}

bool ChannelTreeView::StartRename(TTreeNodeExt* node) {
  store::TreeEditor* editor = model_.TreeEditor();
  if (editor == nullptr || !editor->BeginRename(node)) return false;
  return StartCaptionEdit(node);
}

bool ChannelTreeView::StartCaptionEdit(TTreeNodeExt* node) {
  const QModelIndex index = model_.IndexOf(node);
  model_.BeginCaptionEdit(node);
  if (index.isValid()) {
    scrollTo(index);
    setCurrentIndex(index);
    if (edit(index, QAbstractItemView::AllEditTriggers, nullptr)) return true;
  }
  model_.EndCaptionEdit();
  return false;
}

void ChannelTreeView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  QTreeView::closeEditor(editor, hint);
  // A committed caption has reached the editor through setData already; anything else
  // ends the edit as cancelled.
  model_.EndCaptionEdit();
}

namespace {

bool RenameKey(const QKeyEvent& event) {
  return (event.key() == Qt::Key_F2 && event.modifiers() == Qt::NoModifier) ||
         (event.key() == Qt::Key_A && event.modifiers() == Qt::ControlModifier);
}

}  // namespace

bool ChannelTreeView::event(QEvent* event) {
  // F2 is the window's update key everywhere but here: with the focus in the tree it
  // renames, as in every tree people know, so the key is kept from the window's shortcut.
  if (event->type() == QEvent::ShortcutOverride && state() != QAbstractItemView::EditingState &&
      RenameKey(*static_cast<QKeyEvent*>(event))) {
    event->accept();
    return true;
  }
  return QTreeView::event(event);
}

void ChannelTreeView::keyPressEvent(QKeyEvent* event) {
  const bool plain = event->modifiers() == Qt::NoModifier;
  const bool renameKey = RenameKey(*event);
  if (state() != QAbstractItemView::EditingState && renameKey) {
    StartRename(CurrentNode());
    event->accept();
    return;
  }
  if (event->key() == Qt::Key_Delete && plain) {
    store::TreeEditor* editor = model_.TreeEditor();
    if (editor != nullptr && !editor->UiLocked()) editor->DeleteNode(CurrentNode());
    event->accept();
    return;
  }
  QTreeView::keyPressEvent(event);
}

void ChannelTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  QTreeView::currentChanged(current, previous);
  FollowFocus(current, previous);
  emit nodeSelected(model_.NodeAt(current));
}

void ChannelTreeView::FollowFocus(const QModelIndex& current, const QModelIndex& previous) {
  // With TreeOpen 2 groups open and close with the focus: the node that gets it opens, and
  // the one that loses it closes unless the new node lies inside it.
  if (model_.Tree().Settings().TreeOpen != 2) return;
  const TTreeNodeExt* node = model_.NodeAt(current);
  const TTreeNodeExt* old = model_.NodeAt(previous);
  if (old != nullptr && (node == nullptr || !node->IsSameOrBelow(old))) collapse(previous);
  if (node != nullptr && node->HasChildren()) expand(current);
}

std::pair<QModelIndex, DropPosition> ChannelTreeView::DropTargetAt(const QPoint& viewportPos) const {
  const QModelIndex index = indexAt(viewportPos);
  const TTreeNodeExt* node = model_.NodeAt(index);
  if (node == nullptr) return {QModelIndex(), DropPosition::kNone};
  const QRect row = visualRect(index);
  const DropPosition position = store::DropPositionAt(node->Kind(), node->Parent() == nullptr, node->HasChildren(),
                                                      viewportPos.y() - row.top(), row.height());
  return {index, position};
}

void ChannelTreeView::dragEnterEvent(QDragEnterEvent* event) {
  if (model_.NodeFromMime(event->mimeData()) == nullptr && !ExternalDrop(*event->mimeData())) {
    event->ignore();
    return;
  }
  setState(QAbstractItemView::DraggingState);
  event->acceptProposedAction();
}

void ChannelTreeView::dragMoveEvent(QDragMoveEvent* event) {
  const TTreeNodeExt* dragged = model_.NodeFromMime(event->mimeData());
  dragPos_ = event->position().toPoint();
  auto [index, position] = DropTargetAt(dragPos_);
  HoverRow(index);
  if (AutoScrollDirection() != 0 && !scrollTimer_.Enabled()) scrollTimer_.Start();
  if (dragged == nullptr && ExternalDrop(*event->mimeData())) {
    // An address or a file for registration: any row of the tree takes it.
    const bool onRow = index.isValid();
    if (onRow)
      event->acceptProposedAction();
    else
      event->ignore();
    return;
  }
  const bool accepted = model_.CanDropAt(dragged, index, position);
  markIndex_ = accepted ? QPersistentModelIndex(index) : QPersistentModelIndex();
  markPosition_ = accepted ? position : DropPosition::kNone;
  viewport()->update();
  if (accepted) {
    event->setDropAction(Qt::MoveAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void ChannelTreeView::dragLeaveEvent(QDragLeaveEvent* event) {
  ClearDrag();
  event->accept();
}

void ChannelTreeView::dropEvent(QDropEvent* event) {
  auto [index, position] = DropTargetAt(event->position().toPoint());
  ClearDrag();
  const QMimeData& data = *event->mimeData();
  if (model_.NodeFromMime(&data) == nullptr && ExternalDrop(data)) {
    if (model_.NodeAt(index) == nullptr) {
      event->ignore();
      return;
    }
    event->acceptProposedAction();
    const bool file = data.hasUrls() && !data.urls().isEmpty() && data.urls().front().isLocalFile();
    const QString dropped = file                                       ? data.urls().front().toLocalFile()
                            : data.hasUrls() && !data.urls().isEmpty() ? data.urls().front().toString()
                                                                       : data.text();
    // The registration dialog is modal: it opens once the drop has ended.
    QMetaObject::invokeMethod(
        this,
        [this, dropped, file, row = QPersistentModelIndex(index)] {
          if (TTreeNodeExt* node = model_.NodeAt(row)) emit addressDropped(dropped, file, node);
        },
        Qt::QueuedConnection);
    return;
  }
  // The model moves the node itself and removes no rows afterwards, so the drag's source
  // may treat this as the move it is.
  if (model_.DropNode(event->mimeData(), index, position)) {
    event->setDropAction(Qt::MoveAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void ChannelTreeView::ClearDrag() {
  expandTimer_.Stop();
  scrollTimer_.Stop();
  hovered_ = QPersistentModelIndex();
  markIndex_ = QPersistentModelIndex();
  markPosition_ = DropPosition::kNone;
  setState(QAbstractItemView::NoState);
  viewport()->update();
}

void ChannelTreeView::HoverRow(const QModelIndex& index) {
  if (index == QModelIndex(hovered_)) return;
  hovered_ = index;
  // Resting means staying on one row: every new row starts the wait again.
  if (index.isValid()) {
    expandTimer_.Start();
  } else {
    expandTimer_.Stop();
  }
}

bool ChannelTreeView::ExternalDrop(const QMimeData& data) {
  return data.hasUrls() || data.hasText();
}

void ChannelTreeView::ExpandHoveredGroup() {
  // Shift keeps the groups closed while dragging over them.
  if (QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier)) return;
  const TTreeNodeExt* node = model_.NodeAt(hovered_);
  if (node != nullptr && node->Kind() == store::kKindGroup && node->HasChildren()) expand(hovered_);
}

int ChannelTreeView::AutoScrollDirection() const {
  const int margin = fontMetrics().height();
  if (dragPos_.y() < margin) return -1;
  if (dragPos_.y() >= viewport()->height() - margin) return 1;
  return 0;
}

void ChannelTreeView::AutoScrollStep() {
  const int direction = AutoScrollDirection();
  if (direction == 0 || state() != QAbstractItemView::DraggingState) {
    scrollTimer_.Stop();
    return;
  }
  QScrollBar* bar = verticalScrollBar();
  bar->setValue(bar->value() + direction * bar->singleStep());
}

void ChannelTreeView::paintEvent(QPaintEvent* event) {
  QTreeView::paintEvent(event);
  if (!markIndex_.isValid() || markPosition_ == DropPosition::kNone) return;
  const QRect row = visualRect(markIndex_);
  QPainter painter(viewport());
  painter.setPen(QPen(palette().color(QPalette::Text), 2));
  switch (markPosition_) {
    case DropPosition::kBefore:
      painter.drawLine(row.left(), row.top(), row.right(), row.top());
      break;
    case DropPosition::kAfter:
      painter.drawLine(row.left(), row.bottom(), row.right(), row.bottom());
      break;
    case DropPosition::kInto:
      painter.drawRect(row.adjusted(0, 0, -1, -1));
      break;
    case DropPosition::kNone:
      break;
  }
}

}  // namespace ui
