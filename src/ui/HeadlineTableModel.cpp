// SPDX-License-Identifier: MIT
#include "ui/HeadlineTableModel.h"

#include <QApplication>
#include <QBrush>
#include <QColor>
#include <QPixmap>
#include <QStyle>
#include <algorithm>
#include <limits>

#include "present/HeadlineList.h"
#include "settings/Settings.h"
#include "ui/QtText.h"

namespace ui {

namespace {

// Every other row when the rows are coloured, else the cells of the sort column.
const QColor kEvenRowColor(0xE7, 0xE7, 0xE7);
const QColor kSortColumnColor(0xF3, 0xF3, 0xF3);

// The image file of each state icon, in the order of present::RowIcon; the error icon is
// the style's own.
struct IconFile {
  present::RowIcon icon;
  const char* fileName;
};
constexpr IconFile kIconFiles[] = {
    {present::RowIcon::kUnread, "flag_u.gif"},     {present::RowIcon::kRead, "flag_r.gif"},
    {present::RowIcon::kProtected, "flag_p.gif"},  {present::RowIcon::kUnreadArchive, "mht_u.gif"},
    {present::RowIcon::kReadArchive, "mht_r.gif"}, {present::RowIcon::kProtectedArchive, "mht_p.gif"},
};

// Qt counts rows in an int.
int ClampedRowCount(size_t rows) {
  return static_cast<int>(std::min<size_t>(rows, std::numeric_limits<int>::max()));
}

size_t IconSlot(present::RowIcon icon) {
  return static_cast<size_t>(icon);
}

}  // namespace

HeadlineTableModel::HeadlineTableModel(const present::HeadlineList& list, const settings::Settings& settings,
                                       const std::string& imageFolder, QObject* parent)
    : QAbstractTableModel(parent), list_(list), settings_(settings), rowCount_(ClampedRowCount(list.RowCount())) {
  for (int column = 0; column < present::kColumnCount; ++column) {
    captions_[static_cast<size_t>(column)] = ToQString(present::ColumnCaption(column));
  }
  for (const IconFile& file : kIconFiles) {
    // An image that cannot be read leaves its cells without an icon; the row still shows.
    QPixmap image;
    if (image.load(PathToQString(imageFolder + file.fileName))) icons_[IconSlot(file.icon)] = QIcon(image);
  }
  icons_[IconSlot(present::RowIcon::kError)] = QApplication::style()->standardIcon(QStyle::SP_MessageBoxCritical);
  SetListFont(QFont());
}

int HeadlineTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rowCount_;
}

int HeadlineTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : present::kColumnCount;
}

QVariant HeadlineTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount_) return QVariant();
  const size_t row = static_cast<size_t>(index.row());
  const int column = index.column();
  switch (role) {
    case Qt::DisplayRole:
      if (column == present::kColumnState) return QVariant();
      list_.CellText(row, column, cell_);
      return ToQString(cell_);
    case Qt::DecorationRole:
      if (column != present::kColumnState) return QVariant();
      return icons_[IconSlot(list_.Icon(row))];
    case Qt::FontRole:
      return list_.RowBold(row) ? QVariant(boldFont_) : QVariant();
    case Qt::BackgroundRole:
      return Background(index.row(), column);
    default:
      return QVariant();
  }
}

QVariant HeadlineTableModel::Background(int row, int column) const {
  if (settings_.GridLineColor) {
    return row % 2 == 0 ? QVariant(QBrush(kEvenRowColor)) : QVariant();
  }
  return column == list_.SortColumn() ? QVariant(QBrush(kSortColumnColor)) : QVariant();
}

QVariant HeadlineTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
  if (section < 0 || section >= present::kColumnCount) return QVariant();
  return captions_[static_cast<size_t>(section)];
}

Qt::ItemFlags HeadlineTableModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void HeadlineTableModel::ResetRows() {
  beginResetModel();
  rowCount_ = ClampedRowCount(list_.RowCount());
  endResetModel();
}

void HeadlineTableModel::RepaintRow(size_t row) {
  if (row >= static_cast<size_t>(rowCount_)) return;
  const int at = static_cast<int>(row);
  emit dataChanged(index(at, 0), index(at, present::kColumnCount - 1));
}

void HeadlineTableModel::SetListFont(const QFont& font) {
  boldFont_ = font;
  boldFont_.setBold(true);
  if (rowCount_ > 0) emit dataChanged(index(0, 0), index(rowCount_ - 1, present::kColumnCount - 1), {Qt::FontRole});
}

const QIcon& HeadlineTableModel::RowIconImage(present::RowIcon icon) const {
  return icons_[IconSlot(icon)];
}

}  // namespace ui
