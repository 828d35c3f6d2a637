// SPDX-License-Identifier: MIT
#include "ui/HeadlineListView.h"

#include <QApplication>
#include <QFocusEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>
#include <optional>

#include "present/HeadlineList.h"
#include "settings/Settings.h"
#include "ui/HeadlineBrowserPane.h"
#include "ui/HeadlineTableModel.h"
#include "ui/QtText.h"

namespace ui {

namespace {

// Rows are never lower than the state icons.
constexpr int kIconHeight = 16;
constexpr int kRowPadding = 4;

// The keys the list handles itself; every other key moves through the rows as usual.
std::optional<present::ListKey> ListKeyOf(int key) {
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return present::ListKey::kEnter;
    case Qt::Key_Space:
      return present::ListKey::kSpace;
    case Qt::Key_Left:
      return present::ListKey::kLeft;
    case Qt::Key_Right:
      return present::ListKey::kRight;
    case Qt::Key_Delete:
      return present::ListKey::kDelete;
    default:
      return std::nullopt;
  }
}

present::KeyModifiers ModifiersOf(Qt::KeyboardModifiers modifiers) {
  present::KeyModifiers out;
  out.shift = modifiers.testFlag(Qt::ShiftModifier);
  out.ctrl = modifiers.testFlag(Qt::ControlModifier);
  out.alt = modifiers.testFlag(Qt::AltModifier);
  return out;
}

bool HasFocusWithin(const QWidget* widget) {
  const QWidget* focused = QApplication::focusWidget();
  return widget != nullptr && focused != nullptr && (focused == widget || widget->isAncestorOf(focused));
}

}  // namespace

HeadlineListView::HeadlineListView(settings::Settings& settings, QWidget* parent)
    : QTableView(parent), settings_(settings) {
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setWordWrap(false);
  setTabKeyNavigation(false);
  setCornerButtonEnabled(false);
  setSortingEnabled(false);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  // Every row has the same height, so the view never measures rows it does not show.
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  QHeaderView* header = horizontalHeader();
  header->setSectionsClickable(true);
  header->setHighlightSections(false);
  header->setSortIndicatorShown(true);
  header->setStretchLastSection(false);
  // Stored widths are taken as they are, the narrow icon column among them.
  header->setMinimumSectionSize(0);
  header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  connect(header, &QHeaderView::sectionClicked, this, &HeadlineListView::HeaderClicked);
}

HeadlineListView::~HeadlineListView() = default;

store::TTreeNodeExt* HeadlineListView::SelectedNode() const {
  return list_ != nullptr ? list_->SelectedNode() : nullptr;
}

void HeadlineListView::ReloadList() {
  if (list_ != nullptr && list_->SelectedNode() != nullptr) list_->ShowNode(list_->SelectedNode(), true);
}

void HeadlineListView::SetLeaveRuleSuspended(bool suspend) {
  if (list_ != nullptr) list_->SetLeaveRuleSuspended(suspend);
}

store::TSiteRecord* HeadlineListView::FocusedItem() const {
  if (list_ == nullptr) return nullptr;
  const int row = list_->FocusedRow();
  return row >= 0 && list_->SelectedCount() > 0 ? list_->Item(static_cast<size_t>(row)) : nullptr;
}

void HeadlineListView::Attach(present::HeadlineList& list, HeadlineTableModel& model) {
  list_ = &list;
  model_ = &model;
  syncing_ = true;
  setModel(&model);
  syncing_ = false;
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { SelectionToList(false); });
  // A click moves the current row before it selects; only a move that leaves several
  // rows (or none) selected is the list's business on its own.
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { SelectionToList(true); });
  horizontalHeader()->setSectionResizeMode(present::kColumnState, QHeaderView::Fixed);
  ApplySettings();
  ShowSortIndicator();
  SelectionChanged();
}

void HeadlineListView::SetFocusPartners(QWidget* tree, QWidget* browser) {
  tree_ = tree;
  browser_ = browser;
}

void HeadlineListView::ApplySettings() {
  QFont listFont = font();
  if (settings_.ListFontSize > 0) listFont.setPointSize(settings_.ListFontSize);
  setFont(listFont);
  verticalHeader()->setDefaultSectionSize(std::max(fontMetrics().height(), kIconHeight) + kRowPadding);
  setShowGrid(settings_.GridLines);
  horizontalHeader()->setVisible(settings_.ListHeader);
  if (model_ == nullptr) return;
  model_->SetListFont(listFont);
  setColumnWidth(present::kColumnState, kStateColumnWidth);
  for (size_t i = 0; i < settings_.LstWidth.size(); ++i) {
    setColumnWidth(static_cast<int>(i) + 1, std::max(settings_.LstWidth[i], 0));
  }
}

std::vector<int> HeadlineListView::ListColumnWidths() const {
  if (model_ == nullptr) return std::vector<int>(settings_.LstWidth.begin(), settings_.LstWidth.end());
  std::vector<int> widths;
  for (size_t i = 0; i < settings_.LstWidth.size(); ++i) widths.push_back(columnWidth(static_cast<int>(i) + 1));
  return widths;
}

void HeadlineListView::StoreColumnWidths() {
  const std::vector<int> widths = ListColumnWidths();
  std::copy_n(widths.begin(), std::min(widths.size(), settings_.LstWidth.size()), settings_.LstWidth.begin());
}

void HeadlineListView::RowsReset(size_t /*rowCount*/) {
  if (model_ == nullptr) return;
  syncing_ = true;
  model_->ResetRows();
  syncing_ = false;
  ShowSortIndicator();
  // The reset dropped the view's selection; the list still has its own.
  SelectionChanged();
}

void HeadlineListView::RepaintRow(size_t row) {
  if (model_ != nullptr) model_->RepaintRow(row);
}

void HeadlineListView::SelectionChanged() {
  if (syncing_ || list_ == nullptr || model_ == nullptr) return;
  const int rows = model_->rowCount();
  const int lastColumn = present::kColumnCount - 1;
  // Runs of selected rows become one range each, so a large selection stays small here.
  QItemSelection selection;
  int runStart = -1;
  for (int row = 0; row <= rows; ++row) {
    const bool selected = row < rows && list_->IsSelected(static_cast<size_t>(row));
    if (selected && runStart < 0) runStart = row;
    if (!selected && runStart >= 0) {
      selection.select(model_->index(runStart, 0), model_->index(row - 1, lastColumn));
      runStart = -1;
    }
  }
  syncing_ = true;
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  const int focused = list_->FocusedRow();
  if (focused >= 0 && focused < rows) {
    const int column = std::max(currentIndex().column(), 0);
    selectionModel()->setCurrentIndex(model_->index(focused, column), QItemSelectionModel::NoUpdate);
  } else {
    selectionModel()->clearCurrentIndex();
  }
  syncing_ = false;
  emit RowSelectionChanged();
}

void HeadlineListView::SelectionToList(bool currentOnly) {
  if (syncing_ || list_ == nullptr || model_ == nullptr) return;
  std::vector<size_t> rows;
  for (const QItemSelectionRange& range : selectionModel()->selection()) {
    for (int row = range.top(); row <= range.bottom(); ++row) rows.push_back(static_cast<size_t>(row));
  }
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  if (currentOnly && rows.size() == 1) return;
  const int focused = currentIndex().isValid() ? currentIndex().row() : -1;
  // Both signals of one click end here; the second finds the list agreeing already.
  const bool same = rows.size() == list_->SelectedCount() && focused == list_->FocusedRow() &&
                    std::all_of(rows.begin(), rows.end(), [this](size_t row) { return list_->IsSelected(row); });
  if (same) return;
  syncing_ = true;
  if (rows.size() == 1) {
    list_->SelectRow(rows.front());
  } else {
    list_->SelectRows(rows, focused);
  }
  syncing_ = false;
}

void HeadlineListView::ScrollIntoView(size_t row) {
  if (model_ == nullptr || row >= static_cast<size_t>(model_->rowCount())) return;
  // Only the rows scroll: the leftmost visible column stays where the user put it.
  scrollTo(model_->index(static_cast<int>(row), std::max(columnAt(0), 0)));
}

present::FocusArea HeadlineListView::Focus() const {
  if (HasFocusWithin(this)) return present::FocusArea::kList;
  if (HasFocusWithin(tree_)) return present::FocusArea::kTree;
  return present::FocusArea::kOther;
}

void HeadlineListView::FocusList() {
  setFocus(Qt::OtherFocusReason);
}

void HeadlineListView::FocusTree() {
  if (tree_ != nullptr) tree_->setFocus(Qt::OtherFocusReason);
}

void HeadlineListView::FocusBrowser() {
  if (browser_ != nullptr) browser_->setFocus(Qt::OtherFocusReason);
}

void HeadlineListView::SelectTreeNode(store::TTreeNodeExt* node) {
  emit TreeNodeSelectionRequested(node);
}

void HeadlineListView::ShowStatus(const std::string& panel, const std::string& progress, const std::string& tip) {
  emit StatusChanged(ToQString(panel), ToQString(progress), ToQString(tip));
}

void HeadlineListView::FiltersChanged() {
  emit FiltersShown();
}

bool HeadlineListView::BrowserShowsSummary() const {
  return pane_ != nullptr && pane_->ShowsSummary();
}

bool HeadlineListView::BrowserBusy() const {
  return pane_ != nullptr && pane_->Busy();
}

bool HeadlineListView::BrowserShowsPage(int64_t pageId) const {
  return pane_ != nullptr && pane_->ShowsPage(pageId);
}

int HeadlineListView::BrowserClientHeight() const {
  return pane_ != nullptr ? pane_->ClientHeight() : 0;
}

int HeadlineListView::BrowserScrollTop() const {
  return pane_ != nullptr ? pane_->ScrollTop() : 0;
}

void HeadlineListView::ScrollBrowserBy(int pixels) {
  if (pane_ != nullptr) pane_->ScrollBy(pixels);
}

void HeadlineListView::SetTreeSelectionDelay(int ms) {
  emit TreeSelectionDelayRequested(ms);
}

void HeadlineListView::keyPressEvent(QKeyEvent* event) {
  if (list_ != nullptr) {
    if (std::optional<present::ListKey> key = ListKeyOf(event->key())) {
      if (list_->ListViewKeyDown(*key, ModifiersOf(event->modifiers()))) {
        event->accept();
        return;
      }
    } else {
      // A row reached with the keyboard is shown after the keyboard's delay, so that
      // holding an arrow key does not open every row on the way.
      list_->SetListDisplayDelay(present::HeadlineList::kListDelayKeyboardMs);
    }
  }
  QTableView::keyPressEvent(event);
}

void HeadlineListView::mousePressEvent(QMouseEvent* event) {
  if (list_ != nullptr) list_->SetListDisplayDelay(kListDelayClickMs);
  QTableView::mousePressEvent(event);
  if (list_ == nullptr || event->button() != Qt::LeftButton) return;
  const QModelIndex index = indexAt(event->position().toPoint());
  if (!index.isValid() || index.column() != present::kColumnState) return;
  // The icon cycles the state of the row under it, which the click has just made the
  // focused row; Shift cycles backwards.
  SelectionToList(false);
  if (list_->FocusedRow() == index.row()) list_->ToggleRowState(!event->modifiers().testFlag(Qt::ShiftModifier));
}

void HeadlineListView::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  // Coming back to the window or closing a menu does not count as entering the list.
  const Qt::FocusReason reason = event->reason();
  if (list_ != nullptr && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
    list_->ListFocusGained();
  }
}

void HeadlineListView::HeaderClicked(int column) {
  if (list_ != nullptr) list_->SortByColumn(column);
}

void HeadlineListView::ShowSortIndicator() {
  if (list_ == nullptr) return;
  // The header draws Qt's ascending order as a downward arrow (the old Windows habit);
  // people read the arrow as the way the values grow: ▲ ascending, ▼ descending.
  horizontalHeader()->setSortIndicator(list_->SortColumn(),
                                       list_->SortAscending() ? Qt::DescendingOrder : Qt::AscendingOrder);
}

}  // namespace ui
