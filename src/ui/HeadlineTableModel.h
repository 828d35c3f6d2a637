// SPDX-License-Identifier: MIT
#pragma once

#include <QAbstractTableModel>
#include <QFont>
#include <QIcon>
#include <QString>
#include <array>
#include <string>

#include "present/HeadlineColumns.h"

namespace present {
class HeadlineList;
}
namespace settings {
struct Settings;
}

namespace ui {

// The headline list as a Qt table: six columns whose cells are asked of the list only
// when a row is drawn, so that a list of a hundred thousand items costs no more to show
// than a list of ten. The model decides nothing: texts, icons, the bold rule and the sort
// column all come from the list.
class HeadlineTableModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // `imageFolder` holds the state images (flag_u.gif … mht_p.gif): the data folder's
  // "system/" folder, or the sources' "data/" folder. It ends with "/".
  HeadlineTableModel(const present::HeadlineList& list, const settings::Settings& settings,
                     const std::string& imageFolder, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

  // The list rebuilt or re-sorted its rows: everything is asked again.
  void ResetRows();
  // One row's item changed: only that row is drawn again.
  void RepaintRow(size_t row);
  // The font of the list; unread rows are drawn in its bold form.
  void SetListFont(const QFont& font);

  // The image a row icon is drawn with (a null icon when its file could not be read).
  const QIcon& RowIconImage(present::RowIcon icon) const;

 private:
  QVariant Background(int row, int column) const;

  const present::HeadlineList& list_;
  const settings::Settings& settings_;
  int rowCount_ = 0;  // changes only between beginResetModel and endResetModel
  std::array<QString, present::kColumnCount> captions_;
  std::array<QIcon, 7> icons_;  // indexed by present::RowIcon
  QFont boldFont_;
  mutable std::string cell_;  // one buffer for every cell text
};

}  // namespace ui
