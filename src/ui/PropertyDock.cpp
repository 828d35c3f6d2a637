// SPDX-License-Identifier: MIT
#include "ui/PropertyDock.h"

#include <QAction>
#include <QDockWidget>
#include <QMainWindow>

#include "app/ChannelProperties.h"
#include "ui/BrowserPane.h"
#include "ui/ChannelSettingsFields.h"
#include "ui/ChannelTreeView.h"
#include "ui/HeadlineListView.h"
#include "ui/PropertyPanel.h"
#include "ui/QtText.h"

namespace ui {

PropertyDock::PropertyDock(QMainWindow& window, app::ChannelProperties& properties, ChannelTreeView& tree,
                           HeadlineListView& list, BrowserPane& browser)
    : QObject(&window), properties_(properties), tree_(tree), list_(list), browser_(browser) {
  panel_ = new PropertyPanel(&window);
  dock_ = new QDockWidget(J("プロパティ"), &window);
  dock_->setObjectName(QStringLiteral("PL_PropertySet"));
  dock_->setWidget(panel_);
  dock_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                     QDockWidget::DockWidgetFloatable);
  window.addDockWidget(Qt::RightDockWidgetArea, dock_);
  // Docked, the panel would take its width from the headline list and cut its columns:
  // it floats over the browser side until the user docks it.
  dock_->setFloating(true);
  dock_->hide();
  toggle_ = dock_->toggleViewAction();
  toggle_->setText(J("プロパティ"));
  toggle_->setObjectName(QStringLiteral("SB_PropertySet"));
  connect(dock_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (!visible) return;
    if (dock_->isFloating() && !placed_) {
      // The first time, at the top right of the browser pane, where it hides no headline.
      placed_ = true;
      dock_->adjustSize();
      const QPoint corner = browser_.mapToGlobal(QPoint(browser_.width(), 0));
      dock_->move(corner.x() - dock_->width(), corner.y());
    }
    Show();
  });
  connect(panel_, &PropertyPanel::ApplyRequested, this, [this] {
    properties_.ApplyChannelProperties(list_.FocusedItem(), tree_.CurrentNode(), panel_->Values());
    Show();
  });
  connect(&tree_, &ChannelTreeView::nodeSelected, this, [this] { Show(); });
  connect(&list_, &HeadlineListView::RowSelectionChanged, this, [this] { Show(); });
}

void PropertyDock::Show() {
  if (!dock_->isVisible()) return;
  panel_->Show(properties_.Fill(list_.FocusedItem(), tree_.CurrentNode()));
  panel_->Fields().SetAutoDownloadHint(ToQString(properties_.AutoDownloadHint()));
}

}  // namespace ui
